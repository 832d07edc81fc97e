#pragma once
// The store's log: one line per failure on standard output, flushed at once,
// "[ORBDBSqliteConn::<operation>()] <statement> execute error: <message>".

#include <string>

class SqlException;

void LogStoreLine(const std::string& text);
void LogStoreFailure(const char* operation, const std::string& statement,
                     const SqlException& error);
