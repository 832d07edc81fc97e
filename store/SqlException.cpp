#include "store/SqlException.h"

#include <sqlite3.h>

namespace {

const char* const kEngineNames[] = {
    "SQLITE_OK",       "SQLITE_ERROR",   "SQLITE_INTERNAL", "SQLITE_PERM",     "SQLITE_ABORT",
    "SQLITE_BUSY",     "SQLITE_LOCKED",  "SQLITE_NOMEM",    "SQLITE_READONLY", "SQLITE_INTERRUPT",
    "SQLITE_IOERR",    "SQLITE_CORRUPT", "SQLITE_NOTFOUND", "SQLITE_FULL",     "SQLITE_CANTOPEN",
    "SQLITE_PROTOCOL", "SQLITE_EMPTY",   "SQLITE_SCHEMA",   "SQLITE_TOOBIG",   "SQLITE_CONSTRAINT",
    "SQLITE_MISMATCH", "SQLITE_MISUSE",  "SQLITE_NOLFS",    "SQLITE_AUTH",     "SQLITE_FORMAT",
    "SQLITE_RANGE",
};

std::string FormatMessage(int code, const char* detail) {
    std::string message = SqlException::ErrorName(code);
    message += '[';
    message += std::to_string(code);
    message += "]: ";
    if (detail)
        message += detail;
    return message;
}

} // namespace

SqlException::SqlException(int code, char* detail, bool releaseDetail)
    : m_code(code), m_message(FormatMessage(code, detail)) {
    if (releaseDetail && detail)
        sqlite3_free(detail);
}

SqlException::SqlException(int code, const char* detail)
    : m_code(code), m_message(FormatMessage(code, detail)) {}

const char* SqlException::ErrorName(int code) {
    constexpr int kNamedCount = static_cast<int>(sizeof(kEngineNames) / sizeof(kEngineNames[0]));
    if (code >= 0 && code < kNamedCount)
        return kEngineNames[code];
    switch (code) {
    case 100:
        return "SQLITE_ROW";
    case 101:
        return "SQLITE_DONE";
    case kAccessError:
        return "SQLACCESS_ERROR";
    default:
        return "UNKNOWN_ERROR";
    }
}
