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
