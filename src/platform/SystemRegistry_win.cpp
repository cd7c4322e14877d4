#include "platform/SystemRegistry.h"

#include "platform/WinText.h"
#include "support/Textutil.h"

#include <set>
#include <windows.h>

namespace ut::detail {

namespace {

using platform::Narrow;
using platform::Widen;

HKEY RootHandle(RegRoot root) {
    switch (root) {
    case RegRoot::ClassesRoot:
        return HKEY_CLASSES_ROOT;
    case RegRoot::CurrentUser:
        return HKEY_CURRENT_USER;
    case RegRoot::LocalMachine:
        return HKEY_LOCAL_MACHINE;
    case RegRoot::Users:
        return HKEY_USERS;
    case RegRoot::CurrentConfig:
        return HKEY_CURRENT_CONFIG;
    }
    return nullptr;
}

// A value's data as the store keeps it: strings as UTF-8 (the parts of a multi-string
// separated by NUL), numbers in Number, everything else as raw bytes.
RegValue ToValue(DWORD type, const std::vector<BYTE>& data) {
    RegValue v;
    v.Type = type;
    const auto* bytes = reinterpret_cast<const char*>(data.data());
    if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ) {
        std::wstring_view text(reinterpret_cast<const wchar_t*>(data.data()),
                               data.size() / sizeof(wchar_t));
        while (!text.empty() && text.back() == L'\0')
            text.remove_suffix(1);
        v.Data = Narrow(text);
    } else {
        v.Data.assign(bytes, data.size());
        if (type == REG_DWORD && data.size() >= 4)
            v.Number = static_cast<uint64_t>(*reinterpret_cast<const DWORD*>(data.data()));
        else if (type == REG_QWORD && data.size() >= 8)
            v.Number = *reinterpret_cast<const uint64_t*>(data.data());
    }
    return v;
}

// Adds what the open key holds to `key`, skipping names already there.
void ReadOpenKey(HKEY h, TSystemKey& key, std::set<std::string>& subKeys,
                 std::set<std::string>& values) {
    DWORD subKeyCount = 0, maxSubKey = 0, valueCount = 0, maxValueName = 0, maxData = 0;
    if (RegQueryInfoKeyW(h, nullptr, nullptr, nullptr, &subKeyCount, &maxSubKey, nullptr,
                         &valueCount, &maxValueName, &maxData, nullptr, nullptr) != ERROR_SUCCESS)
        return;
    std::wstring name(std::max(maxSubKey, maxValueName) + 2, L'\0');
    for (DWORD i = 0; i < subKeyCount; ++i) {
        DWORD length = static_cast<DWORD>(name.size());
        if (RegEnumKeyExW(h, i, name.data(), &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            continue;
        std::string utf8 = Narrow({name.data(), length});
        if (subKeys.insert(AsciiUpper(utf8)).second)
            key.SubKeys.push_back(std::move(utf8));
    }
    std::vector<BYTE> data(maxData + 2);
    for (DWORD i = 0; i < valueCount; ++i) {
        DWORD length = static_cast<DWORD>(name.size());
        DWORD type = 0;
        DWORD size = static_cast<DWORD>(data.size());
        if (RegEnumValueW(h, i, name.data(), &length, nullptr, &type, data.data(), &size) !=
            ERROR_SUCCESS)
            continue;
        std::string utf8 = Narrow({name.data(), length});
        if (values.insert(AsciiUpper(utf8)).second)
            key.Values.emplace_back(
                std::move(utf8),
                ToValue(type, std::vector<BYTE>(data.begin(), data.begin() + size)));
    }
}

} // namespace

std::optional<TSystemKey> ReadSystemKey(RegRoot root, const std::vector<std::string>& path) {
    const HKEY rootHandle = RootHandle(root);
    if (!rootHandle)
        return std::nullopt;
    std::string joined;
    for (const std::string& part : path)
        joined += (joined.empty() ? "" : "\\") + part;
    const std::wstring subKey = Widen(joined);
    TSystemKey key;
    std::set<std::string> subKeys, values;
    bool found = false;
    for (const REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        HKEY h = nullptr;
        if (RegOpenKeyExW(rootHandle, subKey.c_str(), 0, KEY_READ | view, &h) != ERROR_SUCCESS)
            continue;
        found = true;
        ReadOpenKey(h, key, subKeys, values);
        RegCloseKey(h);
    }
    if (!found)
        return std::nullopt;
    return key;
}

} // namespace ut::detail
