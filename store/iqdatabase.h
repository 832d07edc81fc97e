#pragma once
// The user-list store interface. The slot order is fixed: a virtual
// destructor, then the fifteen operations in this order.

#include <string>
#include <vector>

#include "store/UserListRecord.h"

class iqdatabase {
public:
    virtual ~iqdatabase() = default;

    // 0: the file existed and is open; -1: newly created (open all the same)
    // or not opened.
    virtual int Open() = 0;
    virtual int Close() = 0;
    virtual int Reserved() = 0;
    virtual int InitUserBlackTable() = 0;
    virtual int InitUserTrustedTable() = 0;
    // Replace `records` by the table's rows ordered by Time; an empty table
    // leaves them as they were.
    virtual int LoadUserBlackData(UserListRecords& records) = 0;
    virtual int LoadUserTrustedData(UserListRecords& records) = 0;
    // The new row's ID, or -1.
    virtual int AddUserBlackData(const UserListRecord* record) = 0;
    virtual int AddUserTrustedData(const UserListRecord* record) = 0;
    virtual int DelUserBlackData(const std::string& md5) = 0;
    virtual int DelUserTrustedData(const std::string& md5) = 0;
    // The ID of a matching row, or -1 when there is none or on failure.
    virtual int UserBlackExists(const std::string& md5) = 0;
    virtual int UserTrustedExists(const std::string& md5) = 0;
    virtual int ExecSqlList(const std::vector<std::string>& statements) = 0;
    virtual int ExecSql(const std::string& statement) = 0;
};
