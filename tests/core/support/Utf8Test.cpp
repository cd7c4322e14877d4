#include "support/Utf8.h"

#include <gtest/gtest.h>

namespace {

using ut::ToUtf8;

TEST(Utf8, TextsBecomeValidUtf8) {
    EXPECT_EQ(ToUtf8("plain"), "plain");
    EXPECT_EQ(ToUtf8("\xC5\x98"), "\xC5\x98");   // UTF-8 kept
    EXPECT_EQ(ToUtf8("caf\xE9"), "caf\xC3\xA9"); // Windows-1252 e acute
    EXPECT_EQ(ToUtf8("\x80"), "\xE2\x82\xAC");   // euro sign
    EXPECT_EQ(ToUtf8("\xC5"), "\xC3\x85");       // a cut-short sequence
}

} // namespace
