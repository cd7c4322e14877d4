// libFuzzer target: the registry file parser and the store that merges its keys. No key may
// be deeper than a registry allows, and every key that the parser read and no later entry
// deleted must be found in the store by its path.
//
// The input's length picks the file name, which decides the root of a Wine file.
#include "FuzzSupport.h"

#include "platform/RegFile.h"
#include "platform/Registry.h"
#include "support/Textutil.h"

#include <cstddef>
#include <cstdint>

namespace {

using ut::fuzz::Check;

bool IsPrefixOf(const std::vector<std::string>& prefix, const std::vector<std::string>& path) {
    if (prefix.size() > path.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (ut::AsciiUpper(prefix[i]) != ut::AsciiUpper(path[i]))
            return false;
    return true;
}

std::string KeyPath(const std::vector<std::string>& parts) {
    std::string path;
    for (const std::string& part : parts)
        path += "\\" + part;
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const char* const names[] = {"system.reg", "user.reg", "userdef.reg", "export.reg"};
    const std::string fileName = names[size % 4];
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const ut::RegFile file = ut::ParseRegText(bytes, fileName);
    ut::RegistryStore store;
    store.AddText(bytes, fileName);

    const auto& entries = file.Entries;
    for (size_t i = 0; i < entries.size(); ++i) {
        Check(entries[i].Path.size() <= ut::MaxKeyDepth, "a key deeper than a registry allows");
        if (entries[i].DeleteKey)
            continue;
        bool deletedLater = false;
        for (size_t j = i + 1; j < entries.size() && !deletedLater; ++j)
            deletedLater = entries[j].DeleteKey && entries[j].Root == entries[i].Root &&
                           IsPrefixOf(entries[j].Path, entries[i].Path);
        if (!deletedLater)
            Check(store.KeyExists(entries[i].Root, KeyPath(entries[i].Path)),
                  "a key read from the file is not in the store");
    }
    return 0;
}
