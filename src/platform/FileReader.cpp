#include "platform/FileReader.h"

#include "platform/NativePath.h"
#include "support/Exceptions.h"
#include "support/Textutil.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ut {

TFileReader::TFileReader(const std::string& fileName) : FFileName(fileName) {
    // The type is asked of the descriptor, not of the name: what the name points to may
    // change between the two.
    const int fd = open(platform::NativePath(fileName).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    const char* refused = fd < 0 ? std::strerror(errno) : nullptr;
    struct stat st {};
    if (!refused && fstat(fd, &st) != 0)
        refused = std::strerror(errno);
    else if (!refused && S_ISDIR(st.st_mode))
        refused = std::strerror(EISDIR);
    else if (!refused && !S_ISREG(st.st_mode))
        refused = "Not a regular file";
    if (refused) {
        if (fd >= 0)
            close(fd);
        throw EFOpenError(Format("Cannot open file \"%s\". %s", fileName.c_str(), refused));
    }
    FHandle = fd; // O_NONBLOCK changes nothing in the reads of a regular file
}

TFileReader::~TFileReader() {
    Close();
}

std::ptrdiff_t TFileReader::ReadSome(char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t n = read(static_cast<int>(FHandle), buffer, size);
        if (n >= 0 || errno != EINTR)
            return n;
    }
}

void TFileReader::Close() {
    if (FHandle >= 0)
        close(static_cast<int>(FHandle));
    FHandle = -1;
}

} // namespace ut
