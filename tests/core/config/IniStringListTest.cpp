// The INI view of an options file: section lookup and the key rules.
#include "config/IniStringList.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using ut::TIniStringList;

TEST(IniStringList, ReadString) {
    const std::string dof = "x=1\r\n[Directories]\r\nSearchPath=C:\\a;C:\\b\r\nConditionals=\r\n";
    const struct {
        std::string text;
        const char* section;
        const char* key;
        const char* expected;
    } cases[] = {
        // clang-format off
        {dof, "Directories", "SearchPath", "C:\\a;C:\\b"}, {dof, "Directories", "Conditionals", ""},
        {dof, "", "x", ""}, // text before the first header belongs to no section
        {dof, "[Directories]", "SearchPath", "C:\\a;C:\\b"}, {dof, "  Directories \t", "SearchPath", "C:\\a;C:\\b"},
        {dof, "Compiler", "SearchPath", ""}, {"", "Directories", "SearchPath", ""},
        {"[directories]\r\nA=1\r\n", "Directories", "A", "1"}, {"[DIRECTORIES]\r\nA=1\r\n", "[Directories]", "A", "1"},
        {"[D]\r\nsearchpath=1\r\n", "D", "SEARCHPATH", "1"}, {"x=1\r\n   \t[D]\r\nA=1\r\n", "D", "A", "1"},
        {"[D]\r\n  A=1\r\n", "D", "A", ""}, {"[D]\r\nA =1\r\n", "D", "A", ""},
        {"[D]\r\nA=1\r\nA=2\r\n", "D", "A", "1"},
        // The character after the key must be '='.
        {"[D]\r\nAB=1\r\nA=2\r\n", "D", "A", "2"}, {"[D]\r\nAB=1\r\n", "D", "ABC", ""},
        {"[D]\r\nA= a b \t\r\n", "D", "A", " a b \t"}, {"[D]\r\nA=b=c\r\n", "D", "A", "b=c"},
        {"[D]\r\nA=1", "D", "A", "1"}, {"[D]\nA=1\nB=2\n[E]\nB=3\n", "D", "B", "2"},
        {"[D]\rA=1\rB=2\r[E]\rB=3\r", "E", "B", "3"}, {"[D]\r\n=1\r\n", "D", "", ""},
        {"[D] ; note\r\nA=1\r\n", "D", "A", "1"},
        // "[Dir]" is a different section from "[Directories]", in either order.
        {"[Directories]\r\nA=1\r\n[Dir]\r\nA=2\r\n", "Dir", "A", "2"}, {"[Dir]\r\nA=2\r\n[Directories]\r\nA=1\r\n", "Directories", "A", "1"},
        {"[Directories]\r\nA=1\r\n", "Dir", "A", ""},
        // Of two blocks with one header, the one that sorts first is found.
        {"[D]\r\nA=2\r\n[D]\r\nA=1\r\n", "D", "A", "1"}, {"[D]\r\nA=[x]\r\n", "D", "A", "[x]"},
        // A NUL ends the text; nothing after it is read.
        {std::string("[D]\r\nA=1\0[E]\r\nB=2\r\n", 20), "E", "B", ""}, {std::string("[D]\r\nA=1\0x\r\n", 12), "D", "A", "1"},
        // clang-format on
    };
    for (const auto& c : cases) {
        TIniStringList ini;
        ini.SetIniText(c.text);
        EXPECT_EQ(ini.ReadString(c.section, c.key), c.expected)
            << c.text << " [" << c.section << "] " << c.key;
    }
}

// Guards the one-section cache: it must follow a change of section and a new text.
TEST(IniStringList, CacheFollowsSectionAndText) {
    TIniStringList ini;
    ini.SetIniText("[A]\r\nK=a\r\n[B]\r\nK=b\r\n");
    EXPECT_EQ(ini.ReadString("Missing", "K"), "");
    EXPECT_EQ(ini.ReadString("A", "K"), "a");
    EXPECT_EQ(ini.ReadString("b", "K"), "b");
    EXPECT_EQ(ini.ReadString("[A]", "K"), "a");
    ini.SetIniText("[A]\r\nK=new\r\n");
    EXPECT_EQ(ini.ReadString("A", "K"), "new");
    EXPECT_EQ(ini.ReadString("B", "K"), "");
}

} // namespace
