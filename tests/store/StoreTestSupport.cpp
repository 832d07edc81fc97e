#include "tests/store/StoreTestSupport.h"

#include <cstdio>
#include <sstream>

namespace testsupport {

std::vector<std::string> StdoutCapture::Lines() {
    m_taken = true;
    std::istringstream text(testing::internal::GetCapturedStdout());
    std::vector<std::string> lines;
    for (std::string line; std::getline(text, line);)
        lines.push_back(line);
    return lines;
}

std::unique_ptr<ORBDBSqliteConn> StoreTest::OpenStore(int busyTimeoutMs) {
    auto store = std::make_unique<ORBDBSqliteConn>(DbPath(), busyTimeoutMs);
    store->Open();
    store->InitUserBlackTable();
    store->InitUserTrustedTable();
    return store;
}

long long StoreTest::Scalar(const std::string& sql) const {
    SqlDatabase db;
    OpenRaw(db);
    SqlQuery rows = db.RunQuery(sql.c_str());
    return rows.AtEnd() ? -1 : rows.Int64Column("v", -1);
}

std::string StoreTest::SchemaSql(const std::string& name) const {
    SqlDatabase db;
    OpenRaw(db);
    const std::string sql = "SELECT sql FROM sqlite_master WHERE name = '" + name + "'";
    SqlQuery rows = db.RunQuery(sql.c_str());
    return rows.AtEnd() ? std::string() : rows.TextColumn("sql");
}

UserListRecord Record(const char* md5, const char* time, const char* path) {
    return MakeUserListRecord(md5, time, path);
}

std::string Md5Of(int n) {
    char text[33];
    std::snprintf(text, sizeof text, "%032x", static_cast<unsigned>(n));
    return text;
}

} // namespace testsupport
