#include "vmrdetect/SignatureTable.h"

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
