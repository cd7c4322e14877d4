// The tokenizer: token kinds and texts, comments, numbers and strings, line counting and
// the failures with their lines.
#include "scanner/Tokenizer.h"
#include "support/Exceptions.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace ut;
using namespace std::string_literals;

// Every token as "kind:text" joined by " | " (a single character stands for itself; a line
// comment has no text), then "error: <message>" when the scan fails. With `file` set the
// source is written to that file and read from there, named "t.pas" in messages.
std::string Tokens(const std::string& source, const std::string& file = {}) {
    std::string out;
    try {
        if (!file.empty())
            std::ofstream(file, std::ios::binary) << source;
        const auto tokenizer =
            file.empty() ? std::make_unique<TTokenizer>(source, "t.pas") : TTokenizer::Open(file);
        TTokenizer& s = *tokenizer;
        for (int t = s.Token(); t != toEOF; t = s.NextToken()) {
            static const std::map<int, std::string> kinds = {
                {toSymbol, "sym:"},      {toString, "str:"},  {toWString, "wstr:"},
                {toInteger, "int:"},     {toFloat, "float:"}, {toComment, "com:"},
                {toLineComment, "line:"}};
            const auto kind = kinds.find(t);
            const std::string item =
                kind == kinds.end()
                    ? (t == static_cast<unsigned char>(s.TokenString()[0]) ? s.TokenString() : "?")
                    : kind->second + (t == toComment       ? s.CommentText()
                                      : t == toLineComment ? ""
                                                           : s.TokenString());
            out += (out.empty() ? "" : " | ") + item;
        }
    } catch (const EParserError& e) {
        std::string message = e.what();
        if (const size_t at = file.empty() ? std::string::npos : message.rfind(file);
            at != std::string::npos)
            message.replace(at, file.size(), "t.pas");
        out += (out.empty() ? "" : " | ") + "error: "s + message;
    }
    return out;
}

std::string Err(const std::string& inner, int line) {
    return "error: Error: \"" + inner + "\" on line " + std::to_string(line) + " of file t.pas";
}

TEST(Tokenizer, TokensAndFailures) {
    const std::string tooLong(MaxLineLength, 'x'), longest(MaxLineLength - 1, 'x');
    std::string manyTokens;
    while (manyTokens.size() < MaxLineLength)
        manyTokens += "x, ";
    const struct {
        std::string source, expected;
    } cases[] = {
        // clang-format off
        {"unit Foo;", "sym:unit | sym:Foo | ;"},
        // Letters above 127 are not identifier characters but tokens of their own.
        {"caf\xE9", "sym:caf | \xE9"},
        {"(a,b).", "( | sym:a | , | sym:b | ) | ."},
        {"'It''s'#13#10 #'a' #255", "str:It's\r\n | str:\0a"s + " | str:\xFF"},
        {"#300'a'", "wstr:#300'a'"},
        {"$1F $ +5 +x -3 a-1", "int:$1F | int:$ | int:+5 | + | sym:x | int:-3 | sym:a | int:-1"},
        {"3.14 1e-5 7s 2", "float:3.14 | float:1e-5 | float:7s | int:2"},
        {"//c\nx // last", "line: | sym:x | line:"},
        {"{a}(*b*){ (* }(* { *)(* a **)", "com:a | com:b | com: (*  | com: {  | com: a *"},
        {"(x)", "( | sym:x | )"},
        {"a\0b"s, "sym:a"},
        {"\xEF\xBB\xBFunit", "sym:unit"},
        {" \t\r\n\x01", ""},
        {"x\n'abc\ny", "sym:x | " + Err("Invalid string constant", 2)},
        {"'abc\rd'", Err("Invalid string constant", 1)},
        {"#13'a", Err("Invalid string constant", 1)},
        {"x\n{ never closed", "sym:x | " + Err("Unclosed comment!", 2)},
        // The line reached so far is reported, not the line where the comment began.
        {"{ a\nb\nc", Err("Unclosed comment!", 3)},
        {"(* open *", Err("Unclosed comment!", 1)},
        {"{ a \0 }"s, Err("Unclosed comment!", 1)},
        // Line counting: the third line's error says line 3 whatever came before it.
        {"// one\n// two\n'bad", "line: | line: | " + Err("Invalid string constant", 3)},
        {"{ one\ntwo } x\n'bad", "com: one\ntwo  | sym:x | " + Err("Invalid string constant", 3)},
        {"a\r\nb\r\n'bad", "sym:a | sym:b | " + Err("Invalid string constant", 3)},
        {"'x'#10\n#13'y'\n'bad", "str:x\n | str:\ry | " + Err("Invalid string constant", 3)},
        // The longest line is read; one more character fails, when the scan gets there.
        {"a\n" + longest + "\nb", "sym:a | sym:" + longest + " | sym:b"},
        {"a\n" + tooLong + "\nb", "sym:a | " + Err("Řádka je příliš dlouhá!", 2)},
        {"a\n\n" + tooLong + "yy", "sym:a | " + Err("Řádka je příliš dlouhá!", 3)},
        {"{\n" + tooLong + "\n}", Err("Řádka je příliš dlouhá!", 2)},
        {tooLong, Err("Řádka je příliš dlouhá!", 1)},
        // Read in pieces, these tokens were taken before the line's length was known.
        {"a\n" + manyTokens + "\nb", "sym:a | " + Err("Řádka je příliš dlouhá!", 2)},
        {"a\nb; // " + tooLong + "\nc", "sym:a | " + Err("Řádka je příliš dlouhá!", 2)},
        // clang-format on
    };
    for (const auto& c : cases)
        EXPECT_EQ(Tokens(c.source), c.expected) << c.source.substr(0, 40);

    // Read from a file, the text comes in pieces: whatever straddles the end of the first
    // (a name, a string, a comment, a line break, an error, a long line) reads as from memory.
    const std::string file = (std::filesystem::temp_directory_path() /
                              ("ut-tokens-" + std::to_string(std::random_device{}()) + ".pas"))
                                 .string();
    for (const auto& c : cases) {
        std::vector<size_t> cuts = {std::min(c.source.size(), FirstReadSize),
                                    std::min(c.source.size() / 2, FirstReadSize)};
        for (size_t cut = 0; cut < 24 && cut < c.source.size(); ++cut)
            cuts.push_back(cut);
        for (const size_t cut : cuts) {
            const std::string padded = std::string(FirstReadSize - cut, ' ') + c.source;
            ASSERT_EQ(Tokens(padded, file), Tokens(padded))
                << c.source.substr(0, 40) << ", cut after " << cut;
        }
    }
    std::filesystem::remove(file);
}

TEST(Tokenizer, FloatTypeAndWideString) {
    TTokenizer s("1.5e3d 2 3C #300'a'#65601", "t.pas");
    EXPECT_EQ(s.FloatType(), 'd');
    s.NextToken();
    EXPECT_EQ(s.FloatType(), 0);
    s.NextToken();
    EXPECT_EQ(s.FloatType(), 'C');
    s.NextToken();
    EXPECT_EQ(s.WideStr(), std::u16string({char16_t(300), u'a', char16_t(65601 & 0xFFFF)}));
}

TEST(Tokenizer, SymbolTestsAndChecksSkipComments) {
    TTokenizer s("{c} // d\n UNIT", "t.pas");
    EXPECT_TRUE(s.TokenSymbolIs("unit"));
    EXPECT_FALSE(s.TokenSymbolIs("uni"));
    EXPECT_EQ(s.NextToken(), toEOF);
    EXPECT_EQ(s.NextToken(), toEOF) << "the end of the text is stable";
    TTokenizer c("(* c *) x", "t.pas");
    c.CheckToken(toSymbol);
    EXPECT_EQ(c.TokenString(), "x");
}

TEST(Tokenizer, CheckMessages) {
    const struct {
        std::string source;
        int expected; ///< 0: CheckTokenSymbol("end"); -1: CommentText()
        std::string message;
    } cases[] = {
        {"1", toSymbol, Err("Identifier expected", 1)},
        {"x", toString, Err("String expected", 1)},
        {"'s'", toWString, Err("String expected", 1)},
        {"x", toInteger, Err("Number expected", 1)},
        {"x", toFloat, Err("Number expected", 1)},
        {"\n\nx", ';', Err("'';'' expected", 3)},
        {"x", ',', Err("'','' expected", 1)},
        {"x", 0, Err("end expected", 1)},
        {"x", -1, Err("No comment!", 1)},
    };
    for (const auto& c : cases) {
        TTokenizer s(c.source, "t.pas");
        try {
            if (c.expected > 0)
                s.CheckToken(c.expected);
            else if (c.expected == 0)
                s.CheckTokenSymbol("end");
            else
                (void)s.CommentText();
            ADD_FAILURE() << "no error for " << c.source;
        } catch (const EParserError& e) {
            EXPECT_EQ("error: "s + e.what(), c.message) << c.source;
        }
    }
}

} // namespace
