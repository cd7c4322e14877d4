#include "mapfile/MapFile.h"

#include "platform/FileReader.h"
#include "platform/FileSystem.h"
#include "support/Exceptions.h"
#include "support/StreamLineReader.h"
#include "support/Textutil.h"

#include <algorithm>
#include <istream>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

namespace ut {

namespace {

// The heading of the detailed segment list must lie within the first lines of the file.
constexpr int LastHeadingLine = 100;

// A segment length: hexadecimal digits without prefix or suffix that fit a signed 32-bit
// integer without turning negative.
bool ParseLength(std::string_view token, std::int64_t& length) {
    if (token.empty())
        return false;
    std::uint64_t value = 0;
    for (const char c : token) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else
            return false;
        value = value * 16 + static_cast<std::uint64_t>(digit);
        if (value > 0xFFFFFFFFu)
            return false;
    }
    if (value >= 0x80000000u)
        return false;
    length = static_cast<std::int64_t>(value);
    return true;
}

// The modules in the order the map first names them, found by folded name. Filling the
// sorted list line by line would move half of it for every new module; the sums go to it
// in key order at the end instead, each one to its end.
class SegmentSums {
  public:
    void Add(const std::string& name, std::int64_t length, bool code) {
        const auto [it, added] = FIndex.emplace(UpperFoldText(name), FModules.size());
        if (added) {
            FModules.emplace_back(name, length); // the first spelling stays
            return;
        }
        // The linker lists the code segments before the data segments, so a module's code
        // segment starts its size afresh and the others add to it.
        std::int64_t& size = FModules[it->second].second;
        size = code ? length : size + length;
    }

    void MoveTo(TUnitSizes& sizes) {
        std::sort(FModules.begin(), FModules.end(), [&](const auto& a, const auto& b) {
            return sizes.CompareStrings(a.first, b.first) < 0;
        });
        for (auto& [name, size] : FModules)
            sizes.AddObject(name, size);
        FModules.clear();
        FIndex.clear();
    }

  private:
    std::unordered_map<std::string, size_t> FIndex;
    std::vector<std::pair<std::string, std::int64_t>> FModules;
};

void ParseSegmentLine(std::string_view t, SegmentSums& sums) {
    SplitFirst(t, ' '); // the address
    std::int64_t length = 0;
    if (!ParseLength(SplitFirst(t, ' '), length))
        return;
    std::string_view name;
    bool code = false;
    while (!t.empty()) {
        const std::string_view token = SplitFirst(t, ' ');
        if (token.empty())
            continue;
        if (SameTextN(token, "C=", 2)) {
            code = SameTextN(token, "C=CODE", 6);
            SplitFirst(t, ' '); // the segment name after the class
        } else if (SameTextN(token, "M=", 2)) {
            name = token.substr(2);
        }
    }
    if (!name.empty())
        sums.Add(std::string(name), length, code);
}

void ReadSegments(std::istream& in, SegmentSums& sums, const std::function<void()>& poll) {
    enum class State { Heading, BeforeSegments, Segments };
    State state = State::Heading;
    TStreamLineReader reader(&in);
    std::string line;
    for (int lineNo = 0; !reader.Eof(); ++lineNo) {
        if (poll)
            poll();
        reader.ReadLine(line);
        const std::string t = Trim(line);
        switch (state) {
        case State::Heading:
            if (AsciiLower(t).find("segment") != std::string::npos)
                state = State::BeforeSegments;
            if (lineNo > LastHeadingLine)
                return;
            continue;
        case State::BeforeSegments:
            if (t.empty())
                continue;
            state = State::Segments;
            break;
        case State::Segments:
            if (t.empty())
                return;
            break;
        }
        ParseSegmentLine(t, sums);
    }
}

} // namespace

void ReadMapStream(std::istream& in, TUnitSizes& sizes, const std::function<void()>& poll) {
    sizes.Clear();
    SegmentSums sums;
    try {
        ReadSegments(in, sums, poll);
    } catch (...) {
        sums.MoveTo(sizes); // what was read up to a failure is kept
        throw;
    }
    sums.MoveTo(sizes);
}

void ReadMapFile(const std::string& fileName, TUnitSizes& sizes,
                 const std::function<void()>& poll) {
    sizes.Clear();
    // The linker may have written the file in another letter case than the options name.
    // Opened as the sources are: a FIFO or a device put in its place is refused, not waited on.
    const std::string expanded = fs::ExpandFileName(fileName);
    std::optional<TFileReader> file;
    try {
        file.emplace(expanded);
    } catch (const EFOpenError& e) {
        std::string message = e.what();
        if (const size_t at = message.find(expanded); at != std::string::npos)
            message.replace(at, expanded.size(), fileName);
        throw EFOpenError(message);
    }
    TFileReaderBuf buffer(*file);
    std::istream in(&buffer);
    in.exceptions(std::ios::badbit);
    const std::string readError = Format("Read error on file \"%s\"", fileName.c_str());
    try {
        ReadMapStream(in, sizes, poll);
    } catch (const EInOutError&) {
        throw EInOutError(readError);
    } catch (const std::ios_base::failure&) {
        throw EInOutError(readError);
    }
}

TColumnText GetColumnText(const std::string* unitFileName, const std::string& name, int column,
                          const TColumnContext& context) {
    TColumnText result;
    if (column == LocationColumn) {
        if (!unitFileName)
            return result;
        result.Text = fs::ExtractFileDir(*unitFileName);
        if (const size_t p = PosText(context.DelphiRoot, result.Text))
            result.Text.replace(p - 1, context.DelphiRoot.size(), "$(DELPHI)");
        if (const size_t p = PosText(context.ProjectDir, result.Text))
            result.Text.erase(p - 1, context.ProjectDir.size());
    } else if (column == SizeColumn) {
        result.RightAlign = true;
        int index = 0;
        if (context.Sizes && context.Sizes->Find(name, index))
            result.Text = std::to_string(context.Sizes->Objects(index));
    }
    return result;
}

} // namespace ut
