#include "support/StreamLineReader.h"
#include "support/Exceptions.h"

#include <gtest/gtest.h>

#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

namespace ut {
namespace {

using Strings = std::vector<std::string>;

/// Every line the reading loop sees, with Eof checked after the last.
Strings ReadAll(std::istream* stream) {
    TStreamLineReader reader(stream);
    Strings lines;
    while (!reader.Eof()) {
        std::string s;
        EXPECT_TRUE(reader.ReadLine(s));
        lines.push_back(s);
        if (lines.size() > 100000)
            break;
    }
    std::string after = "x";
    EXPECT_FALSE(reader.ReadLine(after));
    EXPECT_EQ(after, "") << "reading past the end gives empty strings";
    return lines;
}

Strings ReadAll(const std::string& text) {
    std::istringstream in(text);
    return ReadAll(&in);
}

const size_t Block = TStreamLineReader::BlockSize;

TEST(StreamLineReader, LineEnds) {
    struct Case {
        const char* name;
        std::string text;
        Strings lines;
    };
    const std::vector<Case> cases = {
        {"empty stream yields one empty line", "", {""}},
        {"last line without line end", "a", {"a"}},
        {"last line with LF", "a\n", {"a"}},
        {"CR LF", "a\r\nb\r\n", {"a", "b"}},
        {"lone CR", "a\rb", {"a", "b"}},
        {"LF CR ends two lines", "a\n\rb", {"a", "", "b"}},
        {"CR CR ends two lines", "a\r\rb", {"a", "", "b"}},
        {"trailing empty line", "a\n\n", {"a", ""}},
        {"only a line end", "\r\n", {""}},
        {"NUL stays in the line", std::string("a\0b\nc", 5), {std::string("a\0b", 3), "c"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadAll(c.text), c.lines) << c.name;
}

TEST(StreamLineReader, BlockBoundaries) {
    const std::string head(Block - 1, 'x');
    const std::string full(Block, 'x');
    struct Case {
        const char* name;
        std::string text;
        Strings lines;
    };
    const std::vector<Case> cases = {
        {"CR LF split by the boundary counts once", head + "\r\ny", {head, "y"}},
        {"CR LF split by the boundary at the end", head + "\r\n", {head}},
        {"CR at the boundary, then CR", head + "\r\ry", {head, "", "y"}},
        {"CR at the boundary, then text", head + "\ry", {head, "y"}},
        {"LF at the boundary, then LF", head + "\n\ny", {head, "", "y"}},
        {"line fills the block, LF opens the next", full + "\ny", {full, "y"}},
        {"line fills the block exactly", full, {full}},
        {"CR LF after a full block", full + "\r\n", {full}},
        {"line over two blocks", std::string(20000, 'l') + "\nz", {std::string(20000, 'l'), "z"}},
        {"line over three blocks without end",
         std::string(3 * Block + 5, 'm'),
         {std::string(3 * Block + 5, 'm')}},
    };
    for (const Case& c : cases) {
        const Strings lines = ReadAll(c.text);
        ASSERT_EQ(lines.size(), c.lines.size()) << c.name;
        for (size_t i = 0; i < lines.size(); ++i)
            EXPECT_EQ(lines[i], c.lines[i]) << c.name << ", line " << i;
    }
}

TEST(StreamLineReader, NullStreamIsAtItsEndAtOnce) {
    TStreamLineReader reader(nullptr);
    EXPECT_TRUE(reader.Eof());
    EXPECT_EQ(reader.ReadLine(), "");
    EXPECT_TRUE(reader.Eof());
}

TEST(StreamLineReader, ReadErrorOfTheStreamIsRaised) {
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
