#pragma once
// The one exception type of the SQL access layer: an engine result code (or
// 1000 for the layer's own errors) and the message "NAME[code]: detail".

#include <string>

class SqlException {
public:
    static constexpr int kAccessError = 1000;

    // Formats the message; when `releaseDetail` is set the detail text came
    // from the engine's allocator and is given back to it afterwards.
    SqlException(int code, char* detail, bool releaseDetail);
    SqlException(int code, const char* detail);
    virtual ~SqlException() = default;

    SqlException(const SqlException&) = default;
    SqlException& operator=(const SqlException&) = default;

    int Code() const { return m_code; }
    const char* Message() const { return m_message.c_str(); }

    // The name of a result code: the engine's names for 0 to 25, 100 and 101,
    // "SQLACCESS_ERROR" for 1000 and "UNKNOWN_ERROR" for anything else.
    static const char* ErrorName(int code);

private:
    int m_code;
    std::string m_message;
};
