#include "platform/TempFile.h"

#include "support/ComUtil.h"

namespace ut::platform {

std::string MakeTempFileName(const std::string& prefix, std::string& fileName) {
    fileName = CreateTempFile(TempDirectory(), TempFilePrefix(prefix));
    return fileName;
}

} // namespace ut::platform
