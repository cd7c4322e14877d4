#include "mapfile/MapFile.h"

#include "support/Exceptions.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <utility>
#include <vector>
#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace ut {
namespace {

using Sizes = std::vector<std::pair<std::string, std::int64_t>>;

Sizes Dump(const TUnitSizes& sizes) {
    Sizes out;
    for (int i = 0; i < sizes.Count(); ++i)
        out.emplace_back(sizes[i], sizes.Objects(i));
    return out;
}

Sizes ReadText(const std::string& text) {
    std::istringstream in(text);
    TUnitSizes sizes;
    ReadMapStream(in, sizes);
    return Dump(sizes);
}

const std::string kHeading = "Detailed map of segments\r\n\r\n";

// Segment lists after the heading and one blank line, and the sizes they give.
TEST(ReadMapStream, SegmentLinesGiveSizes) {
    const std::string code = " C=CODE S=.text M=", data = " C=DATA S=.data M=";
    const std::vector<std::pair<std::string, Sizes>> cases = {
        {"0001:00000000 0000A6E4 C=CODE S=.text G=(none) M=System ACBP=A9\r\n"
         "0002:00000000 00000100 C=DATA S=.data G=DGROUP M=System ACBP=A9\r\n",
         {{"System", 42980}}}, // data adds to code
        {"0001:00000000 00000010" + code + "A\r\n0002:00000000 00000100" + data +
             "A\r\n0001:00000010 00000020" + code + "A\r\n",
         {{"A", 32}}}, // a second code segment replaces
        {"0002:00000000 00000100" + data + "A\r\n0003:00000000 00000004 C=TLS S=.tls M=A\r\n",
         {{"A", 260}}},
        // Names fold case, the first spelling kept; tags ignore case; the class counts by
        // its first six characters.
        {"0002:00000000 00000100" + data + "sysutils\r\n0001:00000000 00000010" + code +
             "SysUtils\r\n",
         {{"sysutils", 16}}},
        {"0001:00000000 00000010 c=code S=.text m=Lower\r\n"
         "0002:00000000 00000001 c=Data S=.data m=Lower\r\n",
         {{"Lower", 17}}},
        {"0002:00000000 00000100" + data + "A\r\n0001:00000000 00000010 C=CODEX S=.text M=A\r\n",
         {{"A", 16}}},
        {"0001:00000000 0000A6E4 C=CODE     S=CODE     G=(none)   M=System   ACBP=A9\r\n",
         {{"System", 42724}}},
        {"0001:00000000 0000A6E4 C=CODE S=.text G=(none) ACBP=A9\r\n", {}}, // no module
        {"0001:00000000 00000010 C=CODE M=Hidden\r\n", {}}, // the token after the class drops
        {"0001:00000000 0000A6E4H" + code + "System\r\n0001:0000A6E4 00000050" + code +
             "SysInit\r\n",
         {{"SysInit", 80}}},
        {"0001:00000000  0000A6E4" + code + "System\r\n", {}}, // an empty length token
        {"0001:00000000 $0000A6E4" + code + "System\r\n", {}},
        {"0001:00000000 80000000" + code + "Neg\r\n0001:00000000 FFFFFFFF" + code + "Neg\r\n", {}},
        {"0001:00000000 7FFFFFFF" + code + "Big\r\n", {{"Big", 2147483647}}},
        {"0001:00000000 100000000" + code + "Huge\r\n", {}},
        {"0002:00000000 7FFFFFFF" + data + "A\r\n0002:00000000 7FFFFFFF" + data + "A\r\n",
         {{"A", 4294967294}}},
        {"0001:00000000 00000001" + code + "A\r\n   \t\r\n0001:00000000 00000002" + code + "B\r\n",
         {{"A", 1}}}, // a blank line ends the list
        {"0001:00000000 00000001" + code + "A\r0001:00000000 00000002" + code +
             "B\n\n0001:00000000 00000003" + code + "C\n",
         {{"A", 1}, {"B", 2}}}}; // lone CR and LF end lines
    for (const auto& [lines, expected] : cases)
        EXPECT_EQ(ReadText(kHeading + lines), expected) << lines;
}

// The short segment table at the top of the file has H-suffixed lengths and comes before the
// heading; nothing before the heading is taken as a segment line.
TEST(ReadMapStream, LinesBeforeHeadingNeverParsed) {
    const std::string text = " Start         Length   Name                   Class\r\n"
                             " 0001:00000000 0000B2C4H CODE                   CODE\r\n"
                             " 0001:00000000 00000010 C=CODE S=.text M=Early\r\n"
                             "\r\n"
                             "Detailed map of SEGMENTS\r\n"
                             "\r\n"
                             "\r\n"
                             " 0001:00000000 00000020 C=CODE S=.text M=Late\r\n";
    EXPECT_EQ(ReadText(text), (Sizes{{"Late", 32}}));
}

std::string HeadingAfter(int fillerLines) {
    std::string text;
    for (int i = 0; i < fillerLines; ++i)
        text += "filler line\r\n";
    return text + kHeading + "0001:00000000 00000010 C=CODE S=.text M=A\r\n";
}

TEST(ReadMapStream, HeadingOnLine100AcceptedOn101Ignored) {
    EXPECT_EQ(ReadText(HeadingAfter(100)), (Sizes{{"A", 16}}));
    EXPECT_EQ(ReadText(HeadingAfter(101)), Sizes{});
    EXPECT_EQ(ReadText(""), Sizes{});
}

// The symbol listings after the segment list are long; they must stay unread.
TEST(ReadMapStream, StopsReadingAtEndOfSegmentList) {
    std::string text = kHeading + "0001:00000000 00000010 C=CODE S=.text M=A\r\n\r\n";
    const auto listEnd = static_cast<std::streamoff>(text.size());
    text += "  Address         Publics by Name\r\n\r\n";
    text += " 0001:00000000 FFFFFFFF C=CODE S=.text M=A\r\n";
    text += " 0001:00000000 00000020 C=CODE S=.text M=Publics\r\n";
    for (int i = 0; i < 5000; ++i)
        text += " 0001:0000A6E4       @InitExe\r\n";
    std::istringstream in(text);
    TUnitSizes sizes;
    ReadMapStream(in, sizes);
    EXPECT_EQ(Dump(sizes), (Sizes{{"A", 16}}));
    in.clear();
    const auto consumed = static_cast<std::streamoff>(in.tellg());
    EXPECT_GE(consumed, listEnd);
    EXPECT_LE(consumed, listEnd + 8192);
}

std::string SegmentLine(int module, const char* cls, int length, bool upper = false) {
    return Format(" 0001:00000000 %08X C=%-8s S=.text    G=(none)   M=%s%04d ACBP=A9\r\n", length,
                  cls, upper ? "MOD" : "Mod", module);
}

// The linker lists modules by address, not by name: a large map fills the list out of
// order, and the result must be the sorted list with the first spelling and the sums.
TEST(ReadMapStream, ManyModulesOutOfOrderAcrossReadBlocks) {
    std::string text = kHeading;
    for (int i = 999; i >= 0; --i)
        text += SegmentLine((i * 7) % 1000, "CODE", 16);
    for (int i = 0; i < 1000; i += 3)
        text += SegmentLine(i, "DATA", 1, true);
    const Sizes sizes = ReadText(text);
    ASSERT_EQ(sizes.size(), 1000u);
    for (int i = 0; i < 1000; ++i)
        EXPECT_EQ(sizes[static_cast<size_t>(i)],
                  (std::pair<std::string, std::int64_t>(Format("Mod%04d", i), i % 3 ? 16 : 17)));
}

// Each field of a segment line used to be cut off the front of the rest of the line: a
// line of a million fields took minutes. The fields after them still count.
TEST(ReadMapStream, SegmentLineWithAMillionFields) {
    std::string line = "0001:00000000 00000010 C=CODE";
    for (int i = 0; i < 1000000; ++i)
        line += " G=x";
    EXPECT_EQ(ReadText(kHeading + line + " M=Wide\r\n"), (Sizes{{"Wide", 16}}));
}

// Serves `text` and then fails, as a disk read error does.
class FailingBuf : public std::streambuf {
  public:
    explicit FailingBuf(std::string text) : FText(std::move(text)) {
        setg(FText.data(), FText.data(), FText.data() + FText.size());
    }

  protected:
    int_type underflow() override { throw std::ios_base::failure("device error"); }

  private:
    std::string FText;
};

TEST(ReadMapStream, ReadErrorKeepsTheModulesReadBefore) {
    std::string text = kHeading;
    int complete = 0;
    for (int i = 599; i >= 0; --i) {
        const std::string line = SegmentLine(i, "CODE", 32);
        if (text.size() + line.size() < 3 * 8192) // whole within the blocks served
            ++complete;
        text += line;
    }
    FailingBuf buf(text.substr(0, 3 * 8192));
    std::istream in(&buf);
    TUnitSizes sizes;
    EXPECT_THROW(ReadMapStream(in, sizes), EInOutError);
    ASSERT_EQ(sizes.Count(), complete);
    EXPECT_EQ(sizes[0], Format("Mod%04d", 600 - complete));
    EXPECT_EQ(sizes[complete - 1], "Mod0599");
    EXPECT_EQ(sizes.Objects(0), 32);
}

TEST(ReadMapFile, ReadsAFileAfterClearingOrSaysWhyNot) {
    TUnitSizes sizes;
    sizes.AddObject("Old", 5);
    ReadMapFile(UNITRACE_FIXTURES "/mapfile/Demo.map", sizes);
    EXPECT_EQ(Dump(sizes), (Sizes{{"Main", 3232}, {"SysInit", 112}, {"System", 46888}}));
    const std::string missing = UNITRACE_FIXTURES "/mapfile/NoSuch.map";
    try {
        ReadMapFile(missing, sizes);
        ADD_FAILURE() << "no exception";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot open file \"" + missing + "\". No such file or directory");
    }
    EXPECT_EQ(sizes.Count(), 0);
    // A directory, and a FIFO (whose open waited for a writer for ever), are refused.
    const std::string dir = UNITRACE_FIXTURES "/mapfile", fifo = ::testing::TempDir() + "ut-map";
    std::vector<std::pair<std::string, const char*>> refused = {{dir, "Is a directory"}};
#ifndef _WIN32
    if (mkfifo(fifo.c_str(), 0600) == 0)
        refused.emplace_back(fifo, "Not a regular file");
#endif
    for (const auto& [file, why] : refused)
        try {
            ReadMapFile(file, sizes);
            ADD_FAILURE() << "no exception for " << file;
        } catch (const EFOpenError& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot open file \"" + file + "\". " + why);
        }
    std::remove(fifo.c_str());
}

} // namespace
} // namespace ut
