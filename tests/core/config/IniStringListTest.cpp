// The INI view of an options file: section blocks, section lookup and the key rules.
#include "config/IniStringList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using ut::TIniStringList;

struct ReadCase {
    const char* name;
    std::string text;
    const char* section;
    const char* key;
    std::string expected;
};

const std::string Dof = "x=1\r\n[Directories]\r\nSearchPath=C:\\a;C:\\b\r\nConditionals=\r\n";

class IniRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(IniRead, Value) {
    const ReadCase& c = GetParam();
    TIniStringList ini;
    ini.SetIniText(c.text);
    EXPECT_EQ(ini.ReadString(c.section, c.key), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniRead,
    ::testing::Values(
        ReadCase{"ValueOfKey", Dof, "Directories", "SearchPath", "C:\\a;C:\\b"},
        ReadCase{"EmptyValue", Dof, "Directories", "Conditionals", ""},
        // Text before the first header belongs to no section.
        ReadCase{"LineBeforeHeaderInNoSection", Dof, "", "x", ""},
        ReadCase{"BracketedName", Dof, "[Directories]", "SearchPath", "C:\\a;C:\\b"},
        ReadCase{"NameWithBlanks", Dof, "  Directories \t", "SearchPath", "C:\\a;C:\\b"},
        ReadCase{"HeaderLowerCase", "[directories]\r\nA=1\r\n", "Directories", "A", "1"},
        ReadCase{"HeaderUpperCase", "[DIRECTORIES]\r\nA=1\r\n", "[Directories]", "A", "1"},
        ReadCase{"KeyAnyCase", "[D]\r\nsearchpath=1\r\n", "D", "SEARCHPATH", "1"},
        ReadCase{"IndentedHeader", "x=1\r\n   \t[D]\r\nA=1\r\n", "D", "A", "1"},
        ReadCase{"IndentedKeyNotMatched", "[D]\r\n  A=1\r\n", "D", "A", ""},
        ReadCase{"BlankBeforeEqualsNotMatched", "[D]\r\nA =1\r\n", "D", "A", ""},
        ReadCase{"FirstOfTwoWins", "[D]\r\nA=1\r\nA=2\r\n", "D", "A", "1"},
        // The character after the key must be '='.
        ReadCase{"LongerKeyNotMatched", "[D]\r\nAB=1\r\nA=2\r\n", "D", "A", "2"},
        ReadCase{"PrefixOfKeyNotMatched", "[D]\r\nAB=1\r\n", "D", "ABC", ""},
        ReadCase{"ValueUntrimmed", "[D]\r\nA= a b \t\r\n", "D", "A", " a b \t"},
        ReadCase{"EqualsInValue", "[D]\r\nA=b=c\r\n", "D", "A", "b=c"},
        ReadCase{"LastLineWithoutBreak", "[D]\r\nA=1", "D", "A", "1"},
        ReadCase{"LfLines", "[D]\nA=1\nB=2\n[E]\nB=3\n", "D", "B", "2"},
        ReadCase{"CrLines", "[D]\rA=1\rB=2\r[E]\rB=3\r", "E", "B", "3"},
        ReadCase{"EmptyKey", "[D]\r\n=1\r\n", "D", "", ""},
        ReadCase{"AbsentSection", Dof, "Compiler", "SearchPath", ""},
        ReadCase{"EmptyText", "", "Directories", "SearchPath", ""},
        ReadCase{"HeaderLineTextIgnored", "[D] ; note\r\nA=1\r\n", "D", "A", "1"},
        // "[Dir]" is a different section from "[Directories]", in either order.
        ReadCase{"ShorterNameIsOtherSection", "[Directories]\r\nA=1\r\n[Dir]\r\nA=2\r\n", "Dir",
                 "A", "2"},
        ReadCase{"LongerNameIsOtherSection", "[Dir]\r\nA=2\r\n[Directories]\r\nA=1\r\n",
                 "Directories", "A", "1"},
        ReadCase{"NoPrefixMatchOfName", "[Directories]\r\nA=1\r\n", "Dir", "A", ""},
        // Of two blocks with one header, the one that sorts first is found.
        ReadCase{"DuplicateSectionSortsFirst", "[D]\r\nA=2\r\n[D]\r\nA=1\r\n", "D", "A", "1"},
        ReadCase{"BracketMidLineIsText", "[D]\r\nA=[x]\r\n", "D", "A", "[x]"},
        // A NUL ends the text; nothing after it is read.
        ReadCase{"NulEndsText", std::string("[D]\r\nA=1\0[E]\r\nB=2\r\n", 20), "E", "B", ""},
        ReadCase{"NulEndsValue", std::string("[D]\r\nA=1\0x\r\n", 12), "D", "A", "1"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IniStringList, BlocksKeepTheirTextAndAreSorted) {
    TIniStringList ini;
    EXPECT_TRUE(ini.Sorted());
    EXPECT_EQ(ini.Duplicates(), ut::TDuplicates::dupIgnore);
    ini.SetIniText("lost=1\r\n[B]\r\nk=1\r\n\r\n  [a]\r\nk=2");
    ASSERT_EQ(ini.Count(), 2);
    EXPECT_EQ(ini[0], "[a]\r\nk=2");
    EXPECT_EQ(ini[1], "[B]\r\nk=1\r\n\r\n  ");
    EXPECT_TRUE(ini.Sorted());
    EXPECT_EQ(ini.IndexOfSection("b"), 1);
    EXPECT_EQ(ini.IndexOfSection(" [A] "), 0);
    EXPECT_EQ(ini.IndexOfSection("C"), -1);
    EXPECT_EQ(ini.IndexOfSection(""), -1);

    ini.SetIniText("");
    EXPECT_EQ(ini.Count(), 0);
    ini.SetIniText("no header at all\r\n");
    EXPECT_EQ(ini.Count(), 0);
}

TEST(IniStringList, SectionHeaderNormalises) {
    EXPECT_EQ(TIniStringList::SectionHeader(" Directories "), "[Directories]");
    EXPECT_EQ(TIniStringList::SectionHeader("[Directories]"), "[Directories]");
    EXPECT_EQ(TIniStringList::SectionHeader("[Dir"), "[Dir");
    EXPECT_EQ(TIniStringList::SectionHeader(" \t\r\n"), "");
    EXPECT_EQ(TIniStringList::SectionHeader(""), "");
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
