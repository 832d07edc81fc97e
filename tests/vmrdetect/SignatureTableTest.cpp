#include "vmrdetect/SignatureTable.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "tests/support/GTest.h"

namespace {
const std::string kA = "0123456789abcdef0123456789abcdef";
const std::string kB = "ffffffffffffffffffffffffffffffff";
} // namespace

TEST(SignatureTable, AnMd5IsOnOneListAtMost) {
    SignatureTable table;
    EXPECT_TRUE(table.Put(kA, kSignatureTrusted));
    EXPECT_FALSE(table.Put(kA, kSignatureTrusted));
    EXPECT_TRUE(table.Put(kA, kSignatureBlack));
    EXPECT_EQ(kSignatureBlack, table.Find(kA));
    EXPECT_EQ(1u, table.Size());
    EXPECT_FALSE(table.Remove(kA, kSignatureTrusted)); // not on that list
    EXPECT_TRUE(table.Remove(kA, kSignatureBlack));
    EXPECT_EQ(kSignatureNone, table.Find(kA));
}

TEST(SignatureTable, SerialisedTextParsesBackAndBadTextIsRejected) {
    SignatureTable table;
    table.Put(kB, kSignatureBlack);
    table.Put(kA, kSignatureTrusted);
    const std::string text = table.Serialize();
    EXPECT_EQ("vmrdetect-lists 1\nB " + kB + "\nT " + kA + "\n", text);
    SignatureTable copy;
    ASSERT_TRUE(copy.Parse(text));
    EXPECT_EQ(kSignatureTrusted, copy.Find(kA));
    EXPECT_EQ(kSignatureBlack, copy.Find(kB));
    EXPECT_TRUE(copy.Parse("vmrdetect-lists 1\r\nT " + kA + "\r\n"));

    for (const std::string& bad :
         {std::string(""), std::string("something else\n"), "vmrdetect-lists 1\nX " + kA + "\n",
          "vmrdetect-lists 1\nT " + kA.substr(1) + "\n",
          std::string("vmrdetect-lists 1\nT zz\n")}) {
        SignatureTable parsed;
        EXPECT_FALSE(parsed.Parse(bad)) << bad;
        EXPECT_EQ(0u, parsed.Size());
    }
}

// The written text after any mix of changes, few or many between writes and
// after reading a written file back, is the sorted text made from scratch.
TEST(SignatureTable, TheWrittenTextStaysSortedThroughFewAndManyChangesBetweenWrites) {
    std::map<std::string, SignatureListKind> model;
    const auto expected = [&model] {
        std::vector<std::string> lines;
        for (const auto& [md5, kind] : model)
            lines.push_back((kind == kSignatureTrusted ? "T " : "B ") + md5 + "\n");
        std::sort(lines.begin(), lines.end());
        std::string text = "vmrdetect-lists 1\n";
        for (const std::string& line : lines)
            text += line;
        return text;
    };
    std::mt19937 random(7);
    SignatureTable table;
    for (int round = 0; round < 60; ++round) {
        // Mostly a few changes between writes, sometimes many.
        const int changes = round % 10 == 3 ? 500 : static_cast<int>(random() % 5);
        for (int i = 0; i < changes; ++i) {
            char md5[33];
            std::snprintf(md5, sizeof md5, "%032x", static_cast<unsigned>(random() % 300) * 7919u);
            const SignatureListKind kind = random() % 2 ? kSignatureTrusted : kSignatureBlack;
            if (random() % 3 == 0) {
                EXPECT_EQ(table.Remove(md5, kind), model.count(md5) && model[md5] == kind);
                if (model.count(md5) && model[md5] == kind)
                    model.erase(md5);
            } else {
                table.Put(md5, kind);
                model[md5] = kind;
            }
        }
        const std::string text = table.Serialize();
        ASSERT_EQ(expected(), text) << "round " << round;
        if (round % 7 == 0) {
            SignatureTable reread;
            ASSERT_TRUE(reread.Parse(text));
            table = reread;
        }
    }
}

TEST(SignatureTable, AFileNamingAnMd5OnBothListsIsWrittenBackWithOneLine) {
    SignatureTable table;
    ASSERT_TRUE(table.Parse("vmrdetect-lists 1\nB " + kA + "\nT " + kA + "\n"));
    EXPECT_EQ(kSignatureTrusted, table.Find(kA)); // the later line wins
    EXPECT_EQ("vmrdetect-lists 1\nT " + kA + "\n", table.Serialize());
}

namespace {

std::string Md5Of(unsigned number) {
    char md5[33];
    std::snprintf(md5, sizeof md5, "%08x%08x%08x%08x", number * 2654435761u, number, ~number,
                  number * 40503u);
    return md5;
}

// A written table of `count` entries, every third on the blacklist.
SignatureTable WrittenTable(unsigned count, std::string& file) {
    SignatureTable table;
    for (unsigned i = 0; i < count; ++i)
        table.Put(Md5Of(i), i % 3 ? kSignatureTrusted : kSignatureBlack);
    file = table.Serialize();
    EXPECT_TRUE(table.Parse(file));
    return table;
}

// Brings the file up to the table as the component does.
void WriteUpdate(SignatureTable& table, std::string& file) {
    const SignatureTable::FileUpdate update = table.Update();
    if (update.append)
        file = file.substr(0, table.FileBytes()) + update.text;
    else
        file = update.text;
    table.Written(update);
}

} // namespace

// A large file takes each update's changes as a block at its end, until the
// blocks hold an eighth of the entries; read back, it holds the same lists,
// and written whole it is the sorted text again.
TEST(SignatureTable, ALargeFileTakesChangesAsBlocksAtItsEndUntilAnEighthOfItsEntries) {
    constexpr unsigned kCount = 2 * SignatureTable::kAppendFrom;
    std::string file;
    SignatureTable table = WrittenTable(kCount, file);
    std::map<std::string, SignatureListKind> model;
    for (unsigned i = 0; i < kCount; ++i)
        model[Md5Of(i)] = i % 3 ? kSignatureTrusted : kSignatureBlack;

    std::mt19937 random(11);
    int appended = 0;
    for (int round = 0; round < 40; ++round) {
        const std::size_t before = file.size();
        for (int change = 0; change < 50; ++change) {
            const std::string md5 = Md5Of(random() % (kCount + 200));
            const SignatureListKind kind = random() % 2 ? kSignatureTrusted : kSignatureBlack;
            if (random() % 2 && model.count(md5) && model[md5] == kind) {
                ASSERT_TRUE(table.Remove(md5, kind));
                model.erase(md5);
            } else {
                table.Put(md5, kind);
                model[md5] = kind;
            }
        }
        const bool append = table.Update().append;
        WriteUpdate(table, file);
        if (append) {
            ++appended;
            EXPECT_EQ(0, file.compare(0, before, file, 0, before)); // the old bytes stand
            EXPECT_EQ("end\n", file.substr(file.size() - 4));
        }
        SignatureTable reread;
        ASSERT_TRUE(reread.Parse(file)) << "round " << round;
        ASSERT_EQ(model.size(), reread.Size());
        for (const auto& [md5, kind] : model)
            ASSERT_EQ(kind, reread.Find(md5)) << md5;
        if (round % 9 == 4)
            table = reread; // as another process reads it
    }
    // 50 changes a round: the blocks reach an eighth of 8,192 entries about
    // every 21st round, which writes the file whole.
    EXPECT_GE(appended, 30);
    EXPECT_LT(appended, 40);

    SignatureTable fresh;
    for (const auto& [md5, kind] : model)
        fresh.Put(md5, kind);
    EXPECT_EQ(fresh.Serialize(), table.Serialize());

    // A small file is written whole at every update.
    SignatureTable small;
    small.Put(kA, kSignatureTrusted);
    ASSERT_TRUE(small.Parse(small.Serialize()));
    small.Put(kB, kSignatureBlack);
    EXPECT_FALSE(small.Update().append);
}

// An update cut short while appending leaves a block without its end: the
// file reads as it was, and the next update writes over the cut block.
TEST(SignatureTable, ABlockCutShortIsIgnoredAndWrittenOver) {
    std::string file;
    SignatureTable table = WrittenTable(SignatureTable::kAppendFrom, file);
    const std::string written = file;
    ASSERT_TRUE(table.Remove(Md5Of(1), kSignatureTrusted));
    ASSERT_TRUE(table.Put(Md5Of(2), kSignatureBlack));
    ASSERT_TRUE(table.Put(kA, kSignatureTrusted));
    const SignatureTable::FileUpdate update = table.Update();
    ASSERT_TRUE(update.append);
    EXPECT_EQ("changes\n", update.text.substr(0, 8));
    EXPECT_EQ(3u, update.lines);

    for (std::size_t cut = 0; cut < update.text.size(); ++cut) {
        SignatureTable reread;
        ASSERT_TRUE(reread.Parse(written + update.text.substr(0, cut))) << cut;
        EXPECT_EQ(kSignatureTrusted, reread.Find(Md5Of(1))) << cut;
        EXPECT_EQ(kSignatureNone, reread.Find(kA)) << cut;
        EXPECT_EQ(written.size(), reread.FileBytes()) << cut;
    }
    SignatureTable reread;
    ASSERT_TRUE(reread.Parse(written + update.text));
    EXPECT_EQ(kSignatureNone, reread.Find(Md5Of(1)));
    EXPECT_EQ(kSignatureBlack, reread.Find(Md5Of(2)));
    EXPECT_EQ(kSignatureTrusted, reread.Find(kA));
    EXPECT_EQ(table.Size(), reread.Size());

    // Read with a cut block, then changed: the block goes where the cut one began.
    SignatureTable cutShort;
    ASSERT_TRUE(cutShort.Parse(written + update.text.substr(0, 50)));
    ASSERT_TRUE(cutShort.Put(kB, kSignatureBlack));
    std::string cutFile = written + update.text.substr(0, 50);
    WriteUpdate(cutShort, cutFile);
    EXPECT_EQ(written + "changes\nB " + kB + "\nend\n", cutFile);

    // Anything else among or after the blocks is no list file.
    for (const std::string& bad : {written + "changes\nX " + kA + "\nend\n",
                                   written + "changes\nT " + kA + "\nend\nT " + kB + "\n",
                                   written + "changes\n- zz\nend\n", written + "something\n"}) {
        SignatureTable parsed;
        EXPECT_FALSE(parsed.Parse(bad));
        EXPECT_EQ(0u, parsed.Size());
    }
}
