#include "imports/ImportReader.h"

#include "imports/ElfReader.h"
#include "imports/PeReader.h"
#include "platform/FileReader.h"
#include "support/Exceptions.h"
#include "support/Textutil.h"

namespace ut {

std::vector<std::string> ReadImportsFromBytes(std::string_view bytes) {
    if (LooksLikeElf(bytes))
        return ReadElfImports(bytes);
    if (LooksLikePe(bytes))
        return ReadPeImports(bytes);
    throw EParserError("not a PE or ELF file");
}

std::vector<std::string> ReadImports(const std::string& path) {
    return ReadImportsFromBytes(LoadFileText(path));
}

} // namespace ut
