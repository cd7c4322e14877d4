#include "scanner/Tokenizer.h"
#include "support/Exceptions.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace ut;
using namespace std::string_literals;

using Tok = std::pair<int, std::string>;

// Every token up to the end of the text: kind and text (comment text for block comments,
// nothing for line comments, TokenString for everything else).
std::vector<Tok> Tokens(const std::string& source) {
    TTokenizer s(source, "t.pas");
    std::vector<Tok> out;
    for (int t = s.Token(); t != toEOF; t = s.NextToken()) {
        if (t == toComment)
            out.emplace_back(t, s.CommentText());
        else if (t == toLineComment)
            out.emplace_back(t, "");
        else
            out.emplace_back(t, s.TokenString());
    }
    return out;
}

std::string ErrorOf(const std::string& source) {
    try {
        TTokenizer s(source, "t.pas");
        while (s.NextToken() != toEOF) {
        }
    } catch (const EParserError& e) {
        return e.what();
    }
    return "(no error)";
}

std::string Msg(const std::string& inner, int line) {
    return "Error: \"" + inner + "\" on line " + std::to_string(line) + " of file t.pas";
}

struct TokenCase {
    const char* name;
    std::string source;
    std::vector<Tok> expected;
};
void PrintTo(const TokenCase& c, std::ostream* os) {
    *os << c.name;
}

class TokenTable : public ::testing::TestWithParam<TokenCase> {};

TEST_P(TokenTable, DeliversExactTokens) {
    EXPECT_EQ(Tokens(GetParam().source), GetParam().expected);
}

const TokenCase tokenCases[] = {
    {"Header", "unit Foo;", {{toSymbol, "unit"}, {toSymbol, "Foo"}, {';', ";"}}},
    // Letters above 127 are not identifier characters but tokens of their own.
    {"HighLetterEndsIdentifier", "caf\xE9", {{toSymbol, "caf"}, {0xE9, "\xE9"}}},
    {"Punctuation",
     "(a,b).",
     {{'(', "("}, {toSymbol, "a"}, {',', ","}, {toSymbol, "b"}, {')', ")"}, {'.', "."}}},
    {"DoubledQuoteAndCodes", "'It''s'#13#10", {{toString, "It's\r\n"}}},
    {"CodeWithoutDigitsIsNul", "#'a'", {{toString, "\0a"s}}},
    {"WideStringKeepsSourceText", "#300'a'", {{toWString, "#300'a'"}}},
    {"Code255StaysNarrow", "#255", {{toString, "\xFF"}}},
    {"Hex", "$1F $", {{toInteger, "$1F"}, {toInteger, "$"}}},
    {"SignedNumbers",
     "+5 +x -3",
     {{toInteger, "+5"}, {'+', "+"}, {toSymbol, "x"}, {toInteger, "-3"}}},
    {"Floats",
     "3.14 1e-5 7s 2",
     {{toFloat, "3.14"}, {toFloat, "1e-5"}, {toFloat, "7s"}, {toInteger, "2"}}},
    {"MinusAfterIdentifier", "a-1", {{toSymbol, "a"}, {toInteger, "-1"}}},
    {"LineComment", "//c\nx", {{toLineComment, ""}, {toSymbol, "x"}}},
    {"LineCommentLastLineNoLineFeed", "x // last", {{toSymbol, "x"}, {toLineComment, ""}}},
    {"BlockComments", "{a}(*b*)", {{toComment, "a"}, {toComment, "b"}}},
    {"BraceCommentIgnoresParenStar", "{ (* }x", {{toComment, " (* "}, {toSymbol, "x"}}},
    {"ParenStarIgnoresBrace", "(* { *)x", {{toComment, " { "}, {toSymbol, "x"}}},
    {"StarStarParenCloses", "(* a **)", {{toComment, " a *"}}},
    {"ParenWithoutStar", "(x)", {{'(', "("}, {toSymbol, "x"}, {')', ")"}}},
    {"NulEndsText", "a\0b"s, {{toSymbol, "a"}}},
    {"ByteOrderMarkSkipped", "\xEF\xBB\xBFunit", {{toSymbol, "unit"}}},
    {"EmptyOrBlanks", " \t\r\n\x01", {}},
};

INSTANTIATE_TEST_SUITE_P(Tokenizer, TokenTable, ::testing::ValuesIn(tokenCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Tokenizer, FloatTypeIsTheSuffix) {
    TTokenizer s("1.5e3d 2 3C", "t.pas");
    EXPECT_EQ(s.Token(), toFloat);
    EXPECT_EQ(s.FloatType(), 'd');
    EXPECT_EQ(s.TokenString(), "1.5e3d");
    EXPECT_EQ(s.NextToken(), toInteger);
    EXPECT_EQ(s.FloatType(), 0);
    EXPECT_EQ(s.NextToken(), toFloat);
    EXPECT_EQ(s.FloatType(), 'C');
}

TEST(Tokenizer, WideStringDecodesLow16Bits) {
    TTokenizer s("#300'a'#65601", "t.pas");
    ASSERT_EQ(s.Token(), toWString);
    EXPECT_EQ(s.WideStr(), std::u16string({char16_t(300), u'a', char16_t(65601 & 0xFFFF)}));
}

TEST(Tokenizer, TokenStringAndSymbolTestsSkipComments) {
    TTokenizer s("{c} // d\n UNIT", "t.pas");
    EXPECT_EQ(s.Token(), toComment);
    EXPECT_TRUE(s.TokenSymbolIs("unit"));
    EXPECT_EQ(s.TokenString(), "UNIT");
    EXPECT_FALSE(s.TokenSymbolIs("uni"));
    EXPECT_EQ(s.NextToken(), toEOF);
    EXPECT_EQ(s.TokenString(), "");
    EXPECT_EQ(s.NextToken(), toEOF) << "the end of the text is stable";
    TTokenizer c("(* c *) x", "t.pas");
    c.CheckToken(toSymbol); // skips the comment before checking
    EXPECT_EQ(c.TokenString(), "x");
}

TEST(Tokenizer, CheckMessages) {
    struct Case {
        std::string source;
        int expected;
        std::string message;
    };
    const Case cases[] = {
        {"1", toSymbol, "Identifier expected"}, {"x", toString, "String expected"},
        {"x", toWString, "String expected"},    {"'s'", toWString, "String expected"},
        {"x", toInteger, "Number expected"},    {"x", toFloat, "Number expected"},
        {"\n\nx", ';', "'';'' expected"},       {"x", ',', "'','' expected"},
    };
    for (const Case& c : cases) {
        TTokenizer s(c.source, "t.pas");
        try {
            s.CheckToken(c.expected);
            ADD_FAILURE() << "no error for " << c.source;
        } catch (const EParserError& e) {
            const int line = c.source[0] == '\n' ? 3 : 1;
            EXPECT_EQ(e.what(), Msg(c.message, line)) << c.source;
        }
    }
    TTokenizer s("x", "t.pas");
    EXPECT_THROW(
        try { s.CheckTokenSymbol("end"); } catch (const EParserError& e) {
            EXPECT_EQ(e.what(), Msg("end expected", 1));
            throw;
        },
        EParserError);
    EXPECT_THROW(
        try { (void)s.CommentText(); } catch (const EParserError& e) {
            EXPECT_EQ(e.what(), Msg("No comment!", 1));
            throw;
        },
        EParserError);
}

struct ErrorCase {
    const char* name;
    std::string source;
    std::string message;
};
void PrintTo(const ErrorCase& c, std::ostream* os) {
    *os << c.name;
}

class ErrorTable : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(ErrorTable, FailsWithMessageAndLine) {
    EXPECT_EQ(ErrorOf(GetParam().source), GetParam().message);
}

const ErrorCase errorCases[] = {
    {"StringAtLineEnd", "x\n'abc\ny", Msg("Invalid string constant", 2)},
    {"StringAtCarriageReturn", "'abc\r\n", Msg("Invalid string constant", 1)},
    {"StringPieceAfterCode", "#13'a", Msg("Invalid string constant", 1)},
    {"BraceNeverClosed", "x\n{ never closed", Msg("Unclosed comment!", 2)},
    // The line reached so far is reported, not the line where the comment began.
    {"BraceOverLines", "{ a\nb\nc", Msg("Unclosed comment!", 3)},
    {"ParenStarNeverClosed", "(* open *", Msg("Unclosed comment!", 1)},
    {"CommentCutByNul", "{ a \0 }"s, Msg("Unclosed comment!", 1)},
    // Line counting: the third line's error says line 3 whatever came before it.
    {"AfterLineComments", "// one\n// two\n'bad", Msg("Invalid string constant", 3)},
    {"AfterBlockCommentOverLines", "{ one\ntwo } x\n'bad", Msg("Invalid string constant", 3)},
    {"AfterCrLfLines", "a\r\nb\r\n'bad", Msg("Invalid string constant", 3)},
    {"AfterStringsAndCodes", "'x'#10\n#13'y'\n'bad", Msg("Invalid string constant", 3)},
};

INSTANTIATE_TEST_SUITE_P(Tokenizer, ErrorTable, ::testing::ValuesIn(errorCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The tokenizer holds the whole file: a comment longer than a buffer fill still closes.
TEST(Tokenizer, LongBlockCommentOverManyLinesCloses) {
    std::string body;
    for (int i = 0; i < 5000; ++i)
        body += "filler line of a long comment\n";
    ASSERT_GT(body.size(), 2 * MaxLineLength);
    TTokenizer s("a {" + body + "} b\n'bad", "t.pas");
    EXPECT_EQ(s.NextToken(), toComment);
    EXPECT_EQ(s.CommentText(), body);
    EXPECT_EQ(s.NextToken(), toSymbol);
    EXPECT_EQ(s.TokenString(), "b");
    EXPECT_EQ(s.SourceLine(), 5001);
}

TEST(Tokenizer, LineOfMaxLengthFails) {
    const std::string tooLong(MaxLineLength, 'x');
    EXPECT_EQ(ErrorOf("a\n" + tooLong + "\nb"), Msg("Řádka je příliš dlouhá!", 2));
    // A longer last line without a line feed, and a long line inside a comment, too.
    EXPECT_EQ(ErrorOf("a\n\n" + tooLong + "yy"), Msg("Řádka je příliš dlouhá!", 3));
    EXPECT_EQ(ErrorOf("{\n" + tooLong + "\n}"), Msg("Řádka je příliš dlouhá!", 2));
    EXPECT_THROW(TTokenizer(tooLong, "t.pas"), EParserError);
}

TEST(Tokenizer, LineJustShortEnoughIsRead) {
    const std::string longest(MaxLineLength - 1, 'x');
    EXPECT_EQ(Tokens("a\n" + longest + "\nb"),
              (std::vector<Tok>{{toSymbol, "a"}, {toSymbol, longest}, {toSymbol, "b"}}));
    // Tokens before the long line are delivered; the failure comes when the scan gets there.
    TTokenizer s("a b\n" + std::string(MaxLineLength, ' '), "t.pas");
    EXPECT_EQ(s.NextToken(), toSymbol);
    EXPECT_THROW(s.NextToken(), EParserError);
}

} // namespace
