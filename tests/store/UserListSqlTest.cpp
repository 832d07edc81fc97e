// The statement texts of the store, exactly as other programs expect them.

#include "store/UserListSql.h"
#include "tests/support/GTest.h"

TEST(UserListSql, TableStatementsKeepTheirExactTexts) {
    EXPECT_EQ("Create Table UserBlack(ID \t\tINTEGER PRIMARY KEY AUTOINCREMENT,Md5\t\tvarchar(33) "
              "NOT NULL,Path\t\tvarchar(260) NOT NULL,Time\t\tvarchar(21) NOT NULL)",
              CreateTableStatement(ListKind::Black));
    EXPECT_EQ("Create Table UserTrusted(ID \t\tINTEGER PRIMARY KEY AUTOINCREMENT,Md5\t\t"
              "varchar(33) NOT NULL,Path\t\tvarchar(260) NOT NULL,Time\t\tvarchar(21) NOT NULL)",
              CreateTableStatement(ListKind::Trusted));
    EXPECT_EQ("SELECT COUNT(*) FROM UserBlack LIMIT 1", ProbeStatement(ListKind::Black));
    EXPECT_EQ("SELECT ID, Md5, Path, Time FROM UserTrusted ORDER BY Time",
              LoadStatement(ListKind::Trusted));
    EXPECT_EQ("SELECT ID FROM UserBlack ORDER BY ID DESC LIMIT 1",
              LastIdStatement(ListKind::Black));
}

TEST(UserListSql, ValuesAreSplicedBetweenQuotesInTheFixedPieces) {
    const UserListRecord record =
        MakeUserListRecord("0123456789abcdef0123456789abcdef", "1700000000", "C:\\a.exe");
    EXPECT_EQ("INSERT INTO UserBlack(Md5, Path, Time) VALUES('0123456789abcdef0123456789abcdef', "
              "'C:\\a.exe', '1700000000')",
              InsertStatement(ListKind::Black, record));
    EXPECT_EQ("DELETE FROM UserTrusted WHERE Md5 ='abc'",
              DeleteStatement(ListKind::Trusted, "abc"));
    EXPECT_EQ("SELECT ID, Md5 FROM UserBlack WHERE Md5= 'abc'",
              ExistsStatement(ListKind::Black, "abc"));
}

TEST(UserListSql, QuotesInsideValuesAreDoubled) {
    EXPECT_EQ("''", SqlQuoted(""));
    EXPECT_EQ("'C:\\a''b\\x.exe'", SqlQuoted("C:\\a'b\\x.exe"));
    EXPECT_EQ("''''''", SqlQuoted("''"));
    EXPECT_EQ("'C:\\x''); DROP TABLE UserTrusted;--.exe'",
              SqlQuoted("C:\\x'); DROP TABLE UserTrusted;--.exe"));
}

TEST(UserListRecord, FieldsAreCutToFitAndAlwaysEnded) {
    const std::string longTime(40, '9');
    const std::string longPath(300, 'p');
    const UserListRecord record = MakeUserListRecord(nullptr, longTime.c_str(), longPath.c_str());
    EXPECT_STREQ("", record.Md5);
    EXPECT_EQ(std::string(21, '9'), record.Time);
    EXPECT_EQ(std::string(259, 'p'), record.Path);
}
