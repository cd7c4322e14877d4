#include "platform/FileReader.h"

#include "platform/NativePath.h"
#include "support/Exceptions.h"
#include "support/Textutil.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace ut {

TFileReader::TFileReader(const std::string& fileName) : FFileName(fileName) {
    std::error_code ec;
    const auto status = std::filesystem::status(platform::NativePath(fileName), ec);
    const char* refused = nullptr;
    if (std::filesystem::is_directory(status))
        refused = std::strerror(EISDIR);
    else if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
        refused = "Not a regular file";
    if (!refused) {
        // Unbuffered: every read goes straight into the caller's string.
        FIn.rdbuf()->pubsetbuf(nullptr, 0);
        FIn.open(platform::NativePath(fileName), std::ios::binary);
    }
    if (refused || !FIn)
        throw EFOpenError(Format("Cannot open file \"%s\". %s", fileName.c_str(),
                                 refused ? refused : std::strerror(errno)));
}

void TFileReader::Read(std::string& text, std::size_t limit) {
    // Steps as large as what has been read (at least 4 KiB): few reads for a file of any size.
    while (!FAtEnd && limit > 0) {
        const std::size_t step =
            std::min<std::uintmax_t>(limit, std::max<std::uintmax_t>(FDone, 4096));
        const std::size_t at = text.size();
        text.reserve(at + step + 1); // room for a terminating byte the caller may add
        text.resize(at + step);
        FIn.read(text.data() + at, static_cast<std::streamsize>(step));
        const auto got = static_cast<std::size_t>(FIn.gcount());
        text.resize(at + got);
        FDone += got;
        limit -= got;
        if (FIn.bad())
            throw EInOutError(Format("Read error on file \"%s\"", FFileName.c_str()));
        if (got < step) {
            FAtEnd = true;
            FIn.close();
        }
    }
}

void LoadFileText(const std::string& fileName, std::string& text) {
    TFileReader reader(fileName);
    text.clear();
    reader.ReadRest(text);
}

std::string LoadFileText(const std::string& fileName) {
    std::string text;
    LoadFileText(fileName, text);
    return text;
}

} // namespace ut
