// The file reader on Windows: the handle's own type and attributes decide, as the
// descriptor's do elsewhere.
#include "platform/FileReader.h"

#include "platform/WinText.h"
#include "support/Exceptions.h"
#include "support/Textutil.h"

#include <cerrno>
#include <cstring>
#include <windows.h>

namespace ut {

namespace {

HANDLE AsHandle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

} // namespace

TFileReader::TFileReader(const std::string& fileName) : FFileName(fileName) {
    // Backup semantics open a directory too, so that it is refused as one.
    const HANDLE h = CreateFileW(platform::Widen(fileName).c_str(), GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    std::string refused;
    BY_HANDLE_FILE_INFORMATION info{};
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        refused = code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND
                      ? std::strerror(ENOENT)
                      : platform::SystemMessage(code);
    } else if (GetFileType(h) != FILE_TYPE_DISK) {
        refused = "Not a regular file";
    } else if (!GetFileInformationByHandle(h, &info)) {
        refused = platform::SystemMessage(GetLastError());
    } else if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        refused = std::strerror(EISDIR);
    }
    if (!refused.empty()) {
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
        throw EFOpenError(Format("Cannot open file \"%s\". %s", fileName.c_str(), refused.c_str()));
    }
    FHandle = reinterpret_cast<std::intptr_t>(h);
}

TFileReader::~TFileReader() {
    Close();
}

std::ptrdiff_t TFileReader::ReadSome(char* buffer, std::size_t size) {
    DWORD got = 0;
    const DWORD want = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
    if (!ReadFile(AsHandle(FHandle), buffer, want, &got, nullptr))
        return -1;
    return static_cast<std::ptrdiff_t>(got);
}

void TFileReader::Close() {
    if (FHandle != -1)
        CloseHandle(AsHandle(FHandle));
    FHandle = -1;
}

} // namespace ut
