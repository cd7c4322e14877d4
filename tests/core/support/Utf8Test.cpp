#include "support/Utf8.h"

#include <gtest/gtest.h>

namespace {

using ut::ToUtf8;

// Well-formed UTF-8 stays; any other byte is one Windows-1252 character. The overlong forms
// of 3 and 4 bytes, the surrogate and the code point above U+10FFFF passed a lead-byte check
// (and the JSON library refused them).
TEST(Utf8, TextsBecomeWellFormedUtf8) {
    const struct {
        const char *name, *in, *out;
    } cases[] = {
        // clang-format off
        {"ascii", "plain", "plain"}, {"two-byte kept", "\xC5\x98", "\xC5\x98"},
        {"cp1252", "caf\xE9\x80", "caf\xC3\xA9\xE2\x82\xAC"}, {"cut short", "\xC5", "\xC3\x85"},
        {"U+0800, U+D7FF kept", "\xE0\xA0\x80\xED\x9F\xBF", "\xE0\xA0\x80\xED\x9F\xBF"},
        {"U+10000, U+10FFFF kept", "\xF0\x90\x80\x80\xF4\x8F\xBF\xBF", "\xF0\x90\x80\x80\xF4\x8F\xBF\xBF"},
        {"overlong 2", "\xC1\xBF", "\xC3\x81\xC2\xBF"}, {"bad third", "\xE2\x82x", "\xC3\xA2\xE2\x80\x9Ax"},
        {"overlong 3", "\xE0\x80\x80", "\xC3\xA0\xE2\x82\xAC\xE2\x82\xAC"},
        {"overlong 4", "\xF0\x80\x80\x80", "\xC3\xB0\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC"},
        {"surrogate", "\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},
        {"above U+10FFFF", "\xF4\x90\x80\x80", "\xC3\xB4\xC2\x90\xE2\x82\xAC\xE2\x82\xAC"},
        // clang-format on
    };
    for (const auto& c : cases)
        EXPECT_EQ(ToUtf8(c.in), c.out) << c.name;
}

} // namespace
