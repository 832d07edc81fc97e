// userlistctl remove beside a component that offers the contract's slots
// only, and on an MD5 that both tables hold.

#include <map>
#include <string>

#include "common/ModulePath.h"
#include "store/ORBDBSqliteConn.h"
#include "tests/support/contract_component/ContractComponentFiles.h"
#include "tests/userlistctl/CtlFixture.h"

using namespace ctltest;

namespace {

class ContractOnlyCtlTest : public CtlFixture {
protected:
    void SetUp() override {
        CtlFixture::SetUp();
        SetEnvironmentVariableW(kContractComponentStateVariable, State().c_str());
        m_environment.componentLibrary = GetModuleFolder(nullptr) + kContractComponentName;
    }
    void TearDown() override {
        SetEnvironmentVariableW(kContractComponentStateVariable, nullptr);
        CtlFixture::TearDown();
    }
    std::wstring State() const { return m_dir.File(L"contract.lists"); }
};

class RemoveCommandTest : public CtlFixture {};

} // namespace

TEST_F(ContractOnlyCtlTest, RemoveTakesTheFileOffTheComponentWithoutItsFifthSlot) {
    const std::wstring tool = AddPe(L"tool.exe", "tool");
    ASSERT_EQ(kCliOk, Ctl({L"trust", tool}).code);
    EXPECT_EQ((std::map<std::string, char>{{Md5(tool), 'T'}}), ReadContractLists(State()));

    const CtlResult run = Ctl({L"remove", Utf8ToWide(Md5(tool))});
    EXPECT_EQ(kCliOk, run.code) << run.err;
    EXPECT_EQ("removed\ttrusted\t" + Md5(tool) + "\n", run.out);
    EXPECT_TRUE(ReadContractLists(State()).empty()); // the component no longer trusts it
    for (const std::string& call : ReadContractCalls(State()))
        EXPECT_NE(0u, call.rfind("Slot5", 0)) << call;

    const CtlResult check = Ctl({L"check"});
    EXPECT_NE(std::string::npos, check.out.find("component lookup\tnot offered"));
}

TEST_F(RemoveCommandTest, AnMd5BothTablesHoldIsTakenOffBoth) {
    const std::string md5 = "00112233445566778899aabbccddeeff";
    {
        ORBDBSqliteConn store(m_dir.File(L"UserSign.dat"));
        store.Open();
        store.InitUserBlackTable();
        store.InitUserTrustedTable();
        const UserListRecord record = MakeUserListRecord(md5.c_str(), "1700000000", "C:\\a.exe");
        ASSERT_NE(-1, store.AddUserTrustedData(&record));
        ASSERT_NE(-1, store.AddUserBlackData(&record));
    }
    const CtlResult run = Ctl({L"remove", Utf8ToWide(md5)});
    EXPECT_EQ(kCliOk, run.code) << run.err;
    EXPECT_EQ("removed\ttrusted\t" + md5 + "\nremoved\tblack\t" + md5 + "\n", run.out);
    EXPECT_EQ("", Ctl({L"list"}).out);
    EXPECT_EQ(kCliNotFound, Ctl({L"remove", Utf8ToWide(md5)}).code);
    EXPECT_NE(std::string::npos, Ctl({L"check"}).out.find("component lookup\toffered"));
}
