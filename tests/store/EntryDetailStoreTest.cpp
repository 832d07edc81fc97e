// The entries' details beside the two lists: the schema brought forward
// from a store of release 1.5.0, a newer store left as it is, details
// written with their entries and read back by MD5 and SHA-256, and the
// lists' own tables and reads unchanged for other programs.

#include <windows.h>

#include "common/HexText.h"
#include "common/ModulePath.h"
#include "store/EntryDetailSql.h"
#include "tests/store/StoreTestSupport.h"

using testsupport::Md5Of;
using testsupport::Record;
using testsupport::StoreTest;

namespace {

const char kSha[] = "9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08";

EntryFacts SampleFacts() {
    EntryFacts facts;
    facts.sha256 = kSha;
    facts.size = 4096;
    facts.machine = 0x8664;
    facts.company = "Contoso 公司";
    facts.product = "Widget";
    facts.description = "Widget tool";
    facts.fileVersion = "1.2.3.4";
    facts.originalName = "widget.exe";
    return facts;
}

EntryOrigin SampleOrigin() {
    return {"alice", "PC-7", "window", "", "batch reason"};
}

class EntryDetails : public StoreTest {
protected:
    // A store opened as the tool opens it: tables, then the schema.
    std::unique_ptr<ORBDBSqliteConn> OpenPrepared() {
        std::unique_ptr<ORBDBSqliteConn> store = OpenStore();
        store->PrepareDetails();
        return store;
    }
    std::vector<StoredEntryDetails> Read(ORBDBSqliteConn& store, std::string_view key) {
        std::vector<StoredEntryDetails> entries;
        EXPECT_TRUE(store.ReadDetails(key, entries));
        return entries;
    }
    void Write(ORBDBSqliteConn& store, ListKind list, const UserListRecords& records,
               const std::vector<EntryAddition>& additions, const EntryOrigin* origin) {
        std::unique_ptr<UserListWriter> writer = store.OpenWriter(list);
        ASSERT_NE(nullptr, writer);
        ASSERT_TRUE(writer->Write(records, origin, &additions));
    }
    long long DetailRows() const {
        return Scalar(std::string("SELECT count(*) AS v FROM ") + kDetailTable);
    }
};

} // namespace

TEST_F(EntryDetails, AStoreOfRelease150IsBroughtForwardOnceAndKeepsItsListsAsTheyWere) {
    const std::wstring old = GetModuleFolder(nullptr) + L"UserSign-1.5.0.dat";
    ASSERT_TRUE(CopyFileW(old.c_str(), DbPath().c_str(), FALSE)) << "the kept store is missing";
    const std::string trusted = SchemaSql("UserTrusted");
    const std::string black = SchemaSql("UserBlack");
    ASSERT_EQ(0, Scalar("SELECT user_version AS v FROM pragma_user_version"));

    {
        std::unique_ptr<ORBDBSqliteConn> store = OpenStore();
        const StoreSchema& schema = store->PrepareDetails();
        EXPECT_EQ(SchemaState::Current, schema.state);
        EXPECT_EQ(0, schema.broughtFrom);
        EXPECT_TRUE(store->DetailsWritable());
        // Its entries show what is known: no details were ever written for them.
        const std::vector<StoredEntryDetails> found =
            Read(*store, "2E3F5E2088E04291D5020BB1268E6C40");
        ASSERT_EQ(1u, found.size());
        EXPECT_EQ(ListKind::Trusted, found[0].list);
        EXPECT_NE(std::string::npos, found[0].path.find("O'Brien\\one.exe"));
        EXPECT_FALSE(found[0].factsKnown);
        EXPECT_FALSE(found[0].originKnown);
    }
    EXPECT_EQ(kStoreSchemaVersion, Scalar("SELECT user_version AS v FROM pragma_user_version"));
    EXPECT_EQ(trusted, SchemaSql("UserTrusted"));
    EXPECT_EQ(black, SchemaSql("UserBlack"));
    EXPECT_EQ(2, Scalar("SELECT count(*) AS v FROM UserTrusted"));
    EXPECT_EQ(2, Scalar("SELECT count(*) AS v FROM UserBlack"));

    std::unique_ptr<ORBDBSqliteConn> again = OpenStore();
    const StoreSchema& schema = again->PrepareDetails();
    EXPECT_EQ(SchemaState::Current, schema.state);
    EXPECT_EQ(-1, schema.broughtFrom);
}

TEST_F(EntryDetails, DetailsAreWrittenWithTheirEntryAndFoundByEitherCaseOfMd5OrBySha256) {
    std::unique_ptr<ORBDBSqliteConn> store = OpenPrepared();
    const EntryFacts facts = SampleFacts();
    const EntryOrigin origin = SampleOrigin();
    const std::string md5 = Md5Of(7);
    Write(*store, ListKind::Trusted, {Record(md5.c_str(), "1700000000", "C:\\w\\widget.exe")},
          {{&facts, "own reason"}}, &origin);

    for (const std::string& key : {md5, AsciiUpper(md5), std::string(kSha)}) {
        const std::vector<StoredEntryDetails> found = Read(*store, key);
        ASSERT_EQ(1u, found.size()) << key;
        const StoredEntryDetails& entry = found[0];
        EXPECT_EQ("C:\\w\\widget.exe", entry.path);
        EXPECT_EQ("1700000000", entry.time);
        ASSERT_TRUE(entry.factsKnown);
        EXPECT_EQ(kSha, entry.facts.sha256);
        EXPECT_EQ(4096, entry.facts.size);
        EXPECT_EQ(0x8664, entry.facts.machine);
        EXPECT_EQ("Contoso 公司", entry.facts.company);
        EXPECT_EQ("1.2.3.4", entry.facts.fileVersion);
        EXPECT_EQ("widget.exe", entry.facts.originalName);
        ASSERT_TRUE(entry.originKnown);
        EXPECT_EQ("alice", entry.origin.user);
        EXPECT_EQ("PC-7", entry.origin.computer);
        EXPECT_EQ("window", entry.origin.how);
        EXPECT_EQ("own reason", entry.origin.note); // the entry's own, not the batch's
    }
    EXPECT_TRUE(Read(*store, Md5Of(8)).empty());
}

TEST_F(EntryDetails, AnEntryWithoutFactsKeepsItsOriginAndAMoveTakesTheOtherListsDetails) {
    std::unique_ptr<ORBDBSqliteConn> store = OpenPrepared();
    const EntryFacts facts = SampleFacts();
    const EntryOrigin origin = SampleOrigin();
    const std::string md5 = Md5Of(9);
    Write(*store, ListKind::Trusted, {Record(md5.c_str(), "1700000000", "C:\\a.exe")},
          {{&facts, {}}}, &origin);
    const EntryOrigin import = {"bob", "PC-8", "userlistctl import", "feed.csv", ""};
    Write(*store, ListKind::Black, {Record(md5.c_str(), "1700000100", "feed.csv")}, {}, &import);

    const std::vector<StoredEntryDetails> found = Read(*store, md5);
    ASSERT_EQ(1u, found.size());
    EXPECT_EQ(ListKind::Black, found[0].list);
    ASSERT_TRUE(found[0].factsKnown);
    EXPECT_TRUE(found[0].facts.sha256.empty()); // nothing invented for an imported MD5
    EXPECT_EQ(-1, found[0].facts.size);
    EXPECT_EQ(-1, found[0].facts.machine);
    EXPECT_EQ("bob", found[0].origin.user);
    EXPECT_EQ("feed.csv", found[0].origin.sourceFile);
    EXPECT_EQ("", found[0].origin.note);
    EXPECT_EQ(1, DetailRows());

    // A removal takes the details with the entry.
    ASSERT_TRUE(store->DeleteEntries({ListKind::Black}, md5));
    EXPECT_TRUE(Read(*store, md5).empty());
    EXPECT_EQ(0, DetailRows());
}

TEST_F(EntryDetails, DetailsOfAnEarlierRowKeepTheFileFactsButNotWhoAddedIt) {
    std::unique_ptr<ORBDBSqliteConn> store = OpenPrepared();
    const EntryFacts facts = SampleFacts();
    const EntryOrigin origin = SampleOrigin();
    const std::string md5 = Md5Of(11);
    Write(*store, ListKind::Trusted, {Record(md5.c_str(), "1700000000", "C:\\a.exe")},
          {{&facts, {}}}, &origin);
    // Another program takes the row off and adds it again through the
    // lists' own operations, which know nothing of details.
    store->DelUserTrustedData(md5);
    UserListRecord again = Record(md5.c_str(), "1700009999", "C:\\b.exe");
    ASSERT_NE(-1, store->AddUserTrustedData(&again));

    std::vector<StoredEntryDetails> found = Read(*store, md5);
    ASSERT_EQ(1u, found.size());
    EXPECT_TRUE(found[0].factsKnown);
    EXPECT_EQ(kSha, found[0].facts.sha256);
    EXPECT_FALSE(found[0].originKnown);
    EXPECT_TRUE(found[0].origin.user.empty());

    // A note set now belongs to the row the table holds; who added it stays unknown.
    EXPECT_EQ(NoteResult::Set, store->SetNote(ListKind::Trusted, md5, "checked by IT"));
    found = Read(*store, md5);
    ASSERT_EQ(1u, found.size());
    EXPECT_TRUE(found[0].originKnown);
    EXPECT_EQ("checked by IT", found[0].origin.note);
    EXPECT_TRUE(found[0].origin.user.empty());
    EXPECT_EQ(kSha, found[0].facts.sha256);

    EXPECT_EQ(NoteResult::NotHeld, store->SetNote(ListKind::Black, md5, "x"));
    EXPECT_EQ(NoteResult::NotHeld, store->SetNote(ListKind::Trusted, Md5Of(12), "x"));
}

TEST_F(EntryDetails, ANoteIsSetOnAnEntryThatHadNoDetailsAndClearedWithAnEmptyText) {
    std::unique_ptr<ORBDBSqliteConn> store = OpenPrepared();
    const std::string md5 = Md5Of(13);
    UserListRecord plain = Record(md5.c_str(), "1700000000", "C:\\p.exe");
    ASSERT_NE(-1, store->AddUserBlackData(&plain));
    ASSERT_EQ(NoteResult::Set, store->SetNote(ListKind::Black, md5, "seen on 3 machines"));
    std::vector<StoredEntryDetails> found = Read(*store, md5);
    ASSERT_EQ(1u, found.size());
    EXPECT_EQ("seen on 3 machines", found[0].origin.note);
    EXPECT_TRUE(found[0].facts.sha256.empty());
    ASSERT_EQ(NoteResult::Set, store->SetNote(ListKind::Black, md5, ""));
    EXPECT_EQ("", Read(*store, md5)[0].origin.note);
}

TEST_F(EntryDetails, ANewerStoreIsReadAndItsDetailsAndVersionAreNeverChanged) {
    {
        std::unique_ptr<ORBDBSqliteConn> store = OpenPrepared();
        const EntryFacts facts = SampleFacts();
        const EntryOrigin origin = SampleOrigin();
        Write(*store, ListKind::Trusted, {Record(Md5Of(1).c_str(), "1700000000", "C:\\a.exe")},
              {{&facts, {}}}, &origin);
    }
    {
        SqlDatabase raw;
        OpenRaw(raw);
        raw.RunStatement("PRAGMA user_version = 7");
    }
    std::unique_ptr<ORBDBSqliteConn> store = OpenPrepared();
    ASSERT_EQ(SchemaState::Newer, store->Schema()->state);
    EXPECT_EQ(7, store->Schema()->version);
    EXPECT_FALSE(store->DetailsWritable());
    EXPECT_EQ(kSha, Read(*store, Md5Of(1))[0].facts.sha256); // still read

    // The lists are written as always; their details are not.
    const EntryFacts facts = SampleFacts();
    const EntryOrigin origin = SampleOrigin();
    Write(*store, ListKind::Black, {Record(Md5Of(2).c_str(), "1700000001", "C:\\b.exe")},
          {{&facts, {}}}, &origin);
    EXPECT_EQ(1, Scalar("SELECT count(*) AS v FROM UserBlack"));
    EXPECT_EQ(NoteResult::NotWritable, store->SetNote(ListKind::Trusted, Md5Of(1), "x"));
    ASSERT_TRUE(store->DeleteEntries({ListKind::Trusted}, Md5Of(1)));
    EXPECT_EQ(1, DetailRows());
    EXPECT_EQ(7, Scalar("SELECT user_version AS v FROM pragma_user_version"));
}

TEST_F(EntryDetails, TheListsOwnReadsAndTextsStayAsOtherProgramsKnowThem) {
    std::unique_ptr<ORBDBSqliteConn> store = OpenPrepared();
    const EntryFacts facts = SampleFacts();
    const EntryOrigin origin = SampleOrigin();
    Write(*store, ListKind::Trusted,
          {Record(Md5Of(1).c_str(), "1700000002", "C:\\x'y.exe"),
           Record(Md5Of(2).c_str(), "1700000001", "C:\\z.exe")},
          {{&facts, {}}, {&facts, {}}}, &origin);
    // The release before details read the lists with these operations alone.
    UserListRecords records;
    store->LoadUserTrustedData(records);
    ASSERT_EQ(2u, records.size());
    EXPECT_STREQ(Md5Of(2).c_str(), records[0].Md5);
    EXPECT_STREQ("C:\\x'y.exe", records[1].Path);
    EXPECT_NE(-1, store->UserTrustedExists(Md5Of(1)));
    EXPECT_EQ(4, Scalar("SELECT count(*) AS v FROM pragma_table_info('UserTrusted')"));

    // Every entry visited once with its details, in the order of its time.
    std::vector<std::string> visited;
    ASSERT_TRUE(store->VisitDetailed(ListKind::Trusted, [&visited](const StoredEntryDetails& e) {
        visited.push_back(e.md5 + (e.factsKnown ? "+" : "-"));
    }));
    EXPECT_EQ((std::vector<std::string>{Md5Of(2) + "+", Md5Of(1) + "+"}), visited);
}
