#pragma once
// Reads a text stream line by line in blocks of 8192 bytes. CR LF, a lone CR and a lone LF
// each end a line (also when a CR LF pair is split by a block boundary); LF CR ends two.
#include <deque>
#include <istream>
#include <string>

namespace ut {

class TStreamLineReader {
  public:
    static constexpr size_t BlockSize = 8192;

    /// The stream is not owned and must outlive the reader; nullptr reads as at its end.
    explicit TStreamLineReader(std::istream* stream);

    /// True once the last line has been handed out. The reading loop is:
    /// while (!r.Eof()) { r.ReadLine(s); ... }
    bool Eof() const { return FEof; }

    /// The next line without its line end; an empty string once Eof is true. Returns false
    /// only when Eof was already true. An empty stream yields one empty line.
    /// Throws EInOutError "Stream read error" when the stream fails to read.
    bool ReadLine(std::string& s);
    std::string ReadLine();

  private:
    bool ReadBlock();
    /// Cuts one line from FBlock at FPos; sets FPartial and FSkipLF.
    std::string CutLine();

    std::deque<std::string> FLines;
    bool FPartial = false;
    bool FEof = false;
    bool FStreamDone = false;
    /// The previous block ended with a CR: an LF opening this block belongs to it.
    bool FSkipLF = false;
    std::istream* FStream;
    std::string FBlock;
    size_t FPos = 0;
};

} // namespace ut
