#include "store/UserListRecord.h"

UserListRecord MakeUserListRecord(const char* md5, const char* time, const char* path) {
    UserListRecord record;
    CopyRecordField(record.Md5, md5);
    CopyRecordField(record.Time, time);
    CopyRecordField(record.Path, path);
    return record;
}
