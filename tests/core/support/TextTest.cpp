// Text helpers, the line reader and the temporary file names.
#include "platform/FileReader.h"
#include "platform/TempFile.h"
#include "support/ComUtil.h"
#include "support/Exceptions.h"
#include "support/StreamLineReader.h"
#include "support/StringList.h"
#include "support/Textutil.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <streambuf>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace ut {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

TEST(Textutil, FoldingFollowsTheWindows1252CodePage) {
    // Letters with their capitals (s caron, y diaeresis, a grave), then bytes that stay.
    EXPECT_EQ(UpperFoldText("a\x9A\xFF\xE0{\xF7\xDF\xB5\x83"), "A\x8A\x9F\xC0{\xF7\xDF\xB5\x83");
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
        EXPECT_EQ(UpperFoldText(c.s1) == UpperFoldText(c.s2), c.result == 0) << c.s1;
        EXPECT_EQ(FoldedEqual()(c.s1, c.s2), c.result == 0) << c.s1;
        EXPECT_TRUE(c.result != 0 || FoldedHash()(c.s1) == FoldedHash()(c.s2)) << c.s1;
    }
    EXPECT_EQ(FoldedHash()("UnitNameLongerThan8"), FoldedHash()("unitnamelongerthan8"));
}

TEST(Textutil, SplittingKeepsEmptyPieces) {
    const std::vector<std::tuple<const char*, const char*, Strings>> lists = {
        {"a;b;", ";", {"a", "b", ""}}, {";a", ";", {"", "a"}},     {"", ";", {}},
        {"a;;b", ";", {"a", "", "b"}}, {"a, b", ", ", {"a", "b"}}, {"aXbxc", "x", {"aXb", "c"}}};
    for (const auto& [text, sep, pieces] : lists) {
        Strings got{"kept"};
        SplitToList(text, sep, got);
        got.erase(got.begin());
        EXPECT_EQ(got, pieces) << text;
    }
    TStringList list(true, TDuplicates::dupIgnore);
    SplitToList("c;a;C", ";", list);
    EXPECT_EQ(list.ToVector(), (Strings{"a", "c"}));

    // SplitFirst cuts one token off a map-file line; two spaces in a row give an empty one.
    const std::vector<std::tuple<std::string, std::string, std::string>> heads = {
        {"0001:00000000 0000A6E4H", "0001:00000000", "0000A6E4H"},
        {"  two", "", " two"},
        {"word", "word", ""},
        {"trail ", "trail", ""},
        {std::string("ab\0 cd", 6), std::string("ab\0 cd", 6), ""}}; // the scan stops at NUL
    for (const auto& [text, head, rest] : heads) {
        std::string s = text, h = "old";
        SplitFirst(s, ' ', h);
        EXPECT_EQ(h, head) << text;
        EXPECT_EQ(s, rest) << text;
    }
}

TEST(Textutil, SearchesFoldCaseTheWayEachCallerNeeds) {
    struct Prefix {
        const char* s1;
        const char* s2;
        size_t n;
        bool same;
    };
    for (const Prefix& c :
         {Prefix{"C=code", "C=CODE", 6, true}, Prefix{"C=DATA", "C=CODE", 6, false},
          Prefix{"", "", 6, true}, Prefix{"", "C=", 2, false}, Prefix{"C=CODE", "C=C", 3, true},
          Prefix{"C=", "C=CODE", 6, false}, Prefix{"\xE9", "\xC9", 1, false}})
        EXPECT_EQ(SameTextN(c.s1, c.s2, c.n), c.same) << c.s1 << " / " << c.s2 << " / " << c.n;
    for (auto [sub, text, pos] : std::vector<std::tuple<const char*, const char*, size_t>>{
             {"VER", "debug;ver130", 7}, {"", "abc", 0}, {"abcd", "abc", 0}, {"C", "abcabc", 3}})
        EXPECT_EQ(PosText(sub, text), pos) << sub << " in " << text;
    const Strings exts{".dpr", ".dpk", ".pas"};
    const std::vector<std::pair<const char*, int>> names = {
        {"C:\\proj\\demo.DPR", 0}, {"C:\\my.dir\\demo", -1}, {"/home/my.dir/demo", -1},
        {"pkg.dpk.bak", -1},       {"C:demo", -1},           {"a.dpk", 1}};
    for (auto [name, index] : names)
        EXPECT_EQ(IndexOfExt(name, exts), index) << name;
    EXPECT_EQ(IndexOfText(Strings{"Windows", "\xC9t\xE9", "windows"}, "\xE9T\xC9"), 1);
    EXPECT_EQ(IndexOfText(Strings{"Windows"}, "Window"), -1);
    EXPECT_EQ(Trim(" \t\r\n a b \x01"), "a b");
}

/// Every line the reading loop sees, with reads past the end checked.
Strings ReadAll(std::istream* stream) {
    TStreamLineReader reader(stream);
    Strings lines;
    while (!reader.Eof() && lines.size() < 100000) {
        std::string s;
        EXPECT_TRUE(reader.ReadLine(s));
        lines.push_back(s);
    }
    std::string after = "x";
    EXPECT_FALSE(reader.ReadLine(after));
    EXPECT_EQ(after, "") << "reading past the end gives empty strings";
    return lines;
}

TEST(StreamLineReader, EachLineEndCountsOnceAlsoAcrossBlockBoundaries) {
    const size_t block = TStreamLineReader::BlockSize;
    const std::string head(block - 1, 'x'), full(block, 'x'), three(3 * block + 5, 'm');
    // A block of `head` ends before its line end; `full` fills a block.
    const std::vector<std::pair<std::string, Strings>> cases = {
        {"", {""}},
        {"a\n", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb", {"a", "b"}},
        {"a\n\rb", {"a", "", "b"}},
        {std::string("a\0b\nc", 5), {std::string("a\0b", 3), "c"}},
        {head + "\r\ny", {head, "y"}},
        {head + "\r\n", {head}},
        {head + "\r\ry", {head, "", "y"}},
        {head + "\n\ny", {head, "", "y"}},
        {full, {full}},
        {full + "\r\n", {full}},
        {three + "\nz", {three, "z"}}};
    for (size_t i = 0; i < cases.size(); ++i) {
        std::istringstream in(cases[i].first);
        EXPECT_EQ(ReadAll(&in), cases[i].second) << "case " << i;
    }
    EXPECT_EQ(ReadAll(nullptr), Strings{}) << "a missing stream is at its end at once";

    struct FailingBuf : std::streambuf {
        int_type underflow() override { throw std::runtime_error("device gone"); }
    } buf;
    std::istream in(&buf);
    TStreamLineReader reader(&in);
    try {
        reader.ReadLine();
        ADD_FAILURE() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_STREQ(e.what(), "Stream read error");
    }
}

} // namespace
} // namespace ut
