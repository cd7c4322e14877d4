#include "support/StreamLineReader.h"

#include "support/Exceptions.h"

#include <string_view>

namespace ut {

TStreamLineReader::TStreamLineReader(std::istream* stream) : FStream(stream) {
    if (FStream == nullptr) {
        FEof = true;
        FStreamDone = true;
    }
}

std::string TStreamLineReader::ReadLine() {
    std::string s;
    ReadLine(s);
    return s;
}

bool TStreamLineReader::ReadLine(std::string& s) {
    s.clear();
    if (FEof)
        return false;
    for (;;) {
        if (FLines.size() > 1) {
            s = std::move(FLines.front());
            FLines.pop_front();
            return true;
        }
        if (FStreamDone) {
            FEof = true;
            if (FLines.size() == 1) {
                s = std::move(FLines.front());
                FLines.pop_front();
            }
            return true;
        }
        if (!ReadBlock()) {
            FStreamDone = true;
            continue;
        }
        if (FSkipLF) {
            FSkipLF = false;
            if (FBlock[0] == '\n')
                ++FPos;
        }
        if (FPartial && FPos < FBlock.size()) {
            FLines.back() += CutLine();
            if (FPartial)
                continue;
        }
        while (FPos < FBlock.size())
            FLines.push_back(CutLine());
    }
}

bool TStreamLineReader::ReadBlock() {
    FBlock.resize(BlockSize);
    FPos = 0;
    FStream->read(FBlock.data(), static_cast<std::streamsize>(BlockSize));
    if (FStream->bad())
        throw EInOutError("Stream read error");
    FBlock.resize(static_cast<size_t>(FStream->gcount()));
    return !FBlock.empty();
}

std::string TStreamLineReader::CutLine() {
    const std::string_view block(FBlock);
    const size_t start = FPos;
    size_t end = block.find_first_of("\r\n", start);
    if (end == std::string_view::npos)
        end = block.size();
    FPartial = end == block.size();
    FPos = end;
    if (FPos < block.size() && block[FPos] == '\r') {
        ++FPos;
        if (FPos == block.size())
            FSkipLF = true;
    }
    if (FPos < block.size() && block[FPos] == '\n')
        ++FPos;
    return std::string(block.substr(start, end - start));
}

} // namespace ut
