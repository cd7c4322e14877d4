// The reading of TFileReader that is the same on every system.
#include "platform/FileReader.h"

#include "support/Exceptions.h"
#include "support/Textutil.h"

#include <algorithm>

namespace ut {

void TFileReader::Read(std::string& text, std::size_t limit) {
    // Steps as large as what has been read (at least 4 KiB): few reads for a file of any size.
    while (!FAtEnd && limit > 0) {
        const std::size_t step =
            std::min<std::uintmax_t>(limit, std::max<std::uintmax_t>(FDone, 4096));
        const std::size_t at = text.size();
        text.reserve(at + step + 1); // room for a terminating byte the caller may add
        text.resize(at + step);
        std::size_t got = 0;
        while (got < step) {
            const std::ptrdiff_t n = ReadSome(text.data() + at + got, step - got);
            if (n < 0) {
                text.resize(at + got);
                throw EInOutError(Format("Read error on file \"%s\"", FFileName.c_str()));
            }
            if (n == 0)
                break;
            got += static_cast<std::size_t>(n);
        }
        text.resize(at + got);
        FDone += got;
        limit -= got;
        if (got < step) {
            FAtEnd = true;
            Close();
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
