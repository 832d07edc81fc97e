#pragma once
// Wide strings in assertions: GoogleTest's own wide helpers use the host's
// 32-bit C library, so wide texts are compared and printed as UTF-8.

#include <string>

#include "common/TextConvert.h"
#include "common/WideString.h"

namespace testsupport {

inline std::string Utf8(const wchar_t* text) { return text ? WideToUtf8(text) : "(null)"; }
inline std::string Utf8(const WString& text) { return WideToUtf8(text); }

inline testing::AssertionResult WideEqual(const char* expectedExpr, const char* actualExpr,
                                          const std::string& expected,
                                          const std::string& actual) {
    if (expected == actual)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "Expected equality of these wide values:\n  "
                                       << expectedExpr << "\n    Which is: \"" << expected
                                       << "\"\n  " << actualExpr << "\n    Which is: \""
                                       << actual << "\"";
}

} // namespace testsupport

#define EXPECT_WSTR_EQ(expected, actual)                                                      \
    EXPECT_PRED_FORMAT2(::testsupport::WideEqual, ::testsupport::Utf8(expected),               \
                        ::testsupport::Utf8(actual))
#define ASSERT_WSTR_EQ(expected, actual)                                                      \
    ASSERT_PRED_FORMAT2(::testsupport::WideEqual, ::testsupport::Utf8(expected),               \
                        ::testsupport::Utf8(actual))
