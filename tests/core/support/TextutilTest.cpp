#include "support/Textutil.h"
#include "support/Exceptions.h"
#include "support/StringList.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace ut {
namespace {

using Strings = std::vector<std::string>;

TEST(Textutil, UpperFoldFollowsTheWindows1252CodePage) {
    struct Case {
        int from;
        int to;
        const char* what;
    };
    for (const Case& c : {Case{'a', 'A', "a"}, Case{'{', '{', "brace"}, Case{0x9A, 0x8A, "s caron"},
                          Case{0xFF, 0x9F, "y diaeresis"}, Case{0xE0, 0xC0, "a grave"},
                          Case{0xF7, 0xF7, "division sign"}, Case{0xDF, 0xDF, "sharp s"},
                          Case{0xB5, 0xB5, "micro sign"}, Case{0x83, 0x83, "f hook"}})
        EXPECT_EQ(UpperFold(static_cast<unsigned char>(c.from)), c.to) << c.what;
}

TEST(Textutil, CompareFoldedFirstFoldedDifferenceThenLength) {
    struct Case {
        const char* s1;
        const char* s2;
        int result;
    };
    for (const Case& c :
         {Case{"SysUtils", "SYSUTILS", 0}, Case{"ab", "abc", -1}, Case{"abcd", "AB", 2},
          Case{"a", "b", 'A' - 'B'}, Case{"Z", "a", 'Z' - 'A'}, Case{"a_", "aB", '_' - 'B'},
          Case{"\xE9t\xE9", "\xC9T\xC9", 0}, Case{"", "", 0}}) {
        EXPECT_EQ(CompareFolded(c.s1, c.s2), c.result) << c.s1 << " / " << c.s2;
        // A hash key must agree with the comparison, or a lookup misses a unit.
        EXPECT_EQ(UpperFoldText(c.s1) == UpperFoldText(c.s2), c.result == 0)
            << c.s1 << " / " << c.s2;
    }
    EXPECT_EQ(UpperFoldText("Caf\xE9_\xFFx\x9A"), "CAF\xC9_\x9FX\x8A");
    EXPECT_EQ(AnsiCompareText("Forms", "FORMS"), 0);
    EXPECT_LT(AnsiCompareText("Classes", "forms"), 0);
    EXPECT_GT(AnsiCompareText("windows", "SysUtils"), 0);
}

TEST(Textutil, SplitToListKeepsEmptyPieces) {
    struct Case {
        const char* text;
        const char* sep;
        Strings pieces;
    };
    const std::vector<Case> cases = {
        {"a;b", ";", {"a", "b"}},
        {"a;b;", ";", {"a", "b", ""}},
        {";a", ";", {"", "a"}},
        {"", ";", {}},
        {"abc", ";", {"abc"}},
        {"a;;b", ";", {"a", "", "b"}},
        {"a, b, c", ", ", {"a", "b", "c"}},
        {"aXbxc", "x", {"aXb", "c"}},
    };
    for (const Case& c : cases) {
        Strings pieces{"kept"};
        SplitToList(c.text, c.sep, pieces);
        Strings expected{"kept"};
        expected.insert(expected.end(), c.pieces.begin(), c.pieces.end());
        EXPECT_EQ(pieces, expected) << c.text;
    }
    TStringList list(true, TDuplicates::dupIgnore);
    SplitToList("c;a;C", ";", list);
    EXPECT_EQ(list.ToVector(), (Strings{"a", "c"}));
}

TEST(Textutil, SplitFirstCutsTokensOffAMapLine) {
    struct Case {
        std::string text;
        std::string head;
        std::string rest;
    };
    const std::vector<Case> cases = {
        {"0001:00000000 0000A6E4H", "0001:00000000", "0000A6E4H"},
        {"  two", "", " two"}, // two spaces in a row give an empty token
        {"word", "word", ""},
        {"", "", ""},
        {" lead", "", "lead"},
        {"trail ", "trail", ""},
        {std::string("ab\0 cd", 6), std::string("ab\0 cd", 6), ""}, // the scan stops at NUL
    };
    for (const Case& c : cases) {
        std::string s = c.text;
        std::string h = "old";
        SplitFirst(s, ' ', h);
        EXPECT_EQ(h, c.head) << c.text;
        EXPECT_EQ(s, c.rest) << c.text;
    }
}

TEST(Textutil, SameTextNComparesTheFirstNCharacters) {
    struct Case {
        const char* s1;
        const char* s2;
        size_t n;
        bool same;
    };
    for (const Case& c :
         {Case{"C=code", "C=CODE", 6, true}, Case{"C=DATA", "C=CODE", 6, false},
          Case{"", "", 6, true}, Case{"", "C=", 2, false}, Case{"C=CODE", "C=C", 3, true},
          Case{"C=", "C=CODE", 6, false}, Case{"\xE9", "\xC9", 1, false}, Case{"x", "y", 0, true}})
        EXPECT_EQ(SameTextN(c.s1, c.s2, c.n), c.same) << c.s1 << " / " << c.s2 << " / " << c.n;
}

TEST(Textutil, PosTextIsOneBasedAndCaseInsensitive) {
    struct Case {
        const char* sub;
        const char* text;
        size_t pos;
    };
    for (const Case& c : {Case{"VER", "debug;ver130", 7}, Case{"", "abc", 0}, Case{"x", "abc", 0},
                          Case{"abcd", "abc", 0}, Case{"C", "abcabc", 3}})
        EXPECT_EQ(PosText(c.sub, c.text), c.pos) << c.sub << " in " << c.text;
}

TEST(Textutil, IndexOfExtUsesTheExtensionAfterTheLastDot) {
    const Strings exts{".dpr", ".dpk", ".pas"};
    struct Case {
        const char* name;
        int index;
    };
    for (const Case& c : {Case{"C:\\proj\\demo.DPR", 0}, Case{"C:\\my.dir\\demo", -1},
                          Case{"/home/my.dir/demo", -1}, Case{"pkg.dpk.bak", -1},
                          Case{"C:demo", -1}, Case{"a.dpk", 1}})
        EXPECT_EQ(IndexOfExt(c.name, exts), c.index) << c.name;
    EXPECT_EQ(ExtractFileExt("C:\\proj\\demo.DPR"), ".DPR");
    EXPECT_EQ(ExtractFileExt("d:x.y\\z"), "");
}

TEST(Textutil, IndexOfTextIsALinearFoldedSearch) {
    TStringList list;
    for (const char* s : {"Windows", "\xC9t\xE9", "windows"})
        list.Add(s);
    EXPECT_EQ(IndexOfText(list, "WINDOWS"), 0);
    EXPECT_EQ(IndexOfText(list, "\xE9T\xC9"), 1);
    EXPECT_EQ(IndexOfText(list, "Window"), -1);
    EXPECT_EQ(IndexOfText(Strings{"a", "B"}, "b"), 1);
}

TEST(Textutil, TrimRemovesControlCharactersAndSpaces) {
    EXPECT_EQ(Trim(" \t\r\n a b \x01"), "a b");
    EXPECT_EQ(Trim("   "), "");
}

class LoadFileTextTest : public ::testing::Test {
  protected:
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::filesystem::path dir_ =
        std::filesystem::temp_directory_path() / ("ut_textutil_" + std::to_string(getpid()));
    bool made_ = std::filesystem::create_directories(dir_);
};

TEST_F(LoadFileTextTest, ReturnsTheBytesUnchanged) {
    const std::string bytes("line1\r\nline2\rX\0Y\n\xFF", 17);
    const auto path = (dir_ / "a.dof").string();
    std::ofstream(path, std::ios::binary) << bytes;
    std::string text = "old";
    LoadFileText(path, text);
    EXPECT_EQ(text, bytes);
    std::ofstream(path, std::ios::binary | std::ios::trunc);
    EXPECT_EQ(LoadFileText(path), "");
}

TEST_F(LoadFileTextTest, MissingFileAndDirectoryRaiseFileOpenError) {
    for (const std::string& path : {(dir_ / "missing.dof").string(), dir_.string()}) {
        try {
            LoadFileText(path);
            ADD_FAILURE() << "no error for " << path;
        } catch (const EFOpenError& e) {
            EXPECT_EQ(std::string(e.what()).rfind("Cannot open file \"" + path + "\". ", 0), 0u)
                << e.what();
        }
    }
}

} // namespace
} // namespace ut
