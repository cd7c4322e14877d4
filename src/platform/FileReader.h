#pragma once
// An open file read in pieces: a reader that stops early never pays for the rest.
#include <cstddef>
#include <cstdint>
#include <streambuf>
#include <string>

namespace ut {

class TFileReader {
  public:
    /// Opens `fileName` without waiting for it (a FIFO put in a file's place would block an
    /// ordinary open for ever), then looks at what was opened. Throws EFOpenError when it
    /// cannot be opened or is no regular file (a directory, a FIFO or a device, which could
    /// block or never end).
    explicit TFileReader(const std::string& fileName);
    ~TFileReader();
    TFileReader(const TFileReader&) = delete;
    TFileReader& operator=(const TFileReader&) = delete;

    /// Appends at most `limit` more bytes to `text`, leaving room for one byte more (a
    /// sentinel) without a new allocation; EInOutError when reading fails.
    void Read(std::string& text, std::size_t limit);
    /// Appends everything not read yet.
    void ReadRest(std::string& text) { Read(text, SIZE_MAX); }
    /// True once the end of the file has been met.
    bool AtEnd() const { return FAtEnd; }

  private:
    /// Reads at most `size` bytes into `buffer`: the number read, 0 at the end of the file,
    /// -1 when reading fails.
    std::ptrdiff_t ReadSome(char* buffer, std::size_t size);
    void Close();

    std::string FFileName;
    std::intptr_t FHandle = -1; ///< the system's file descriptor or handle; -1 once closed
    std::uintmax_t FDone = 0;
    bool FAtEnd = false;
};

/// A reader as a stream buffer, for readers of streams; a piece at a time. A read error
/// (EInOutError) reaches the stream's reader when its exception mask has badbit.
class TFileReaderBuf : public std::streambuf {
  public:
    explicit TFileReaderBuf(TFileReader& reader) : FReader(reader) {}

  protected:
    int_type underflow() override {
        FPiece.clear();
        FReader.Read(FPiece, 64 * 1024);
        if (FPiece.empty())
            return traits_type::eof();
        setg(FPiece.data(), FPiece.data(), FPiece.data() + FPiece.size());
        return traits_type::to_int_type(FPiece[0]);
    }

  private:
    TFileReader& FReader;
    std::string FPiece;
};

/// The file's bytes, unchanged. Throws EFOpenError when it cannot be opened or is no
/// regular file (a directory, a FIFO or a device, which could block or never end).
void LoadFileText(const std::string& fileName, std::string& text);
std::string LoadFileText(const std::string& fileName);

} // namespace ut
