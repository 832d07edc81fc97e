#pragma once
// One stored file of the user-list database: narrow, NUL-terminated fields
// of fixed size, in this order.

#include <cstddef>
#include <cstring>
#include <vector>

struct UserListRecord {
    char Md5[33];  // 32 hexadecimal characters
    char Time[22]; // decimal seconds since 1970-01-01 00:00:00 UTC
    char Path[260];
};

using UserListRecords = std::vector<UserListRecord>;

// Copies a text into a fixed field, cutting it to fit and always ending it
// with a NUL. A null text gives an empty field.
template <std::size_t N> void CopyRecordField(char (&field)[N], const char* text) {
    std::size_t length = 0;
    if (text) {
        while (length + 1 < N && text[length] != '\0')
            ++length;
        std::memcpy(field, text, length);
    }
    field[length] = '\0';
}

// A record of the three texts.
UserListRecord MakeUserListRecord(const char* md5, const char* time, const char* path);
