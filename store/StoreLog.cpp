#include "store/StoreLog.h"

#include <iostream>

#include "store/SqlException.h"

void LogStoreLine(const std::string& text) {
    std::cout << text << std::endl;
}

void LogStoreFailure(const char* operation, const std::string& statement,
                     const SqlException& error) {
    LogStoreLine(std::string("[ORBDBSqliteConn::") + operation + "()] " + statement +
                 " execute error: " + error.Message());
}
