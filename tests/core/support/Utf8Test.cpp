#include "support/Utf8.h"

#include <gtest/gtest.h>

namespace {

using ut::ToUtf8;

// Well-formed UTF-8 stays; any other byte is one Windows-1252 character. The ill-formed rows
// are the sequences a lead-byte check passes (and the JSON library refuses).
TEST(Utf8, TextsBecomeWellFormedUtf8) {
    const struct {
        const char *name, *in, *out;
    } cases[] = {
        {"ascii", "plain", "plain"},
        {"two-byte kept", "\xC5\x98", "\xC5\x98"},
        {"cp1252 e acute", "caf\xE9", "caf\xC3\xA9"},
        {"cp1252 euro", "\x80", "\xE2\x82\xAC"},
        {"cut short", "\xC5", "\xC3\x85"},
        {"U+0800 kept", "\xE0\xA0\x80", "\xE0\xA0\x80"},
        {"U+D7FF kept", "\xED\x9F\xBF", "\xED\x9F\xBF"},
        {"U+10000 kept", "\xF0\x90\x80\x80", "\xF0\x90\x80\x80"},
        {"U+10FFFF kept", "\xF4\x8F\xBF\xBF", "\xF4\x8F\xBF\xBF"},
        {"overlong two-byte", "\xC1\xBF", "\xC3\x81\xC2\xBF"},
        {"overlong three-byte", "\xE0\x80\x80", "\xC3\xA0\xE2\x82\xAC\xE2\x82\xAC"},
        {"overlong four-byte", "\xF0\x80\x80\x80", "\xC3\xB0\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC"},
        {"surrogate", "\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},
        {"above U+10FFFF", "\xF4\x90\x80\x80", "\xC3\xB4\xC2\x90\xE2\x82\xAC\xE2\x82\xAC"},
        {"bad third byte", "\xE2\x82x", "\xC3\xA2\xE2\x80\x9Ax"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ToUtf8(c.in), c.out) << c.name;
}

} // namespace
