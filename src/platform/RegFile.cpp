#include "platform/RegFile.h"

#include "platform/RegText.h"

#include "support/Textutil.h"

#include <array>

namespace ut {

namespace {

using regtext::HexDigit;
using regtext::ParseHexBytes;
using regtext::ReadEscaped;
using regtext::TrimView;

bool StartsWithText(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && AnsiCompareText(s.substr(0, prefix.size()), prefix) == 0;
}

std::vector<std::string> SplitKeyPath(std::string_view path) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string_view::npos)
            end = path.size();
        if (end > start)
            parts.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

uint64_t LittleEndian(std::string_view bytes, size_t width) {
    uint64_t v = 0;
    for (size_t i = std::min(bytes.size(), width); i-- > 0;)
        v = (v << 8) | static_cast<unsigned char>(bytes[i]);
    return v;
}

/// Typed value from raw bytes: strings are UTF-16LE except in REGEDIT4 files.
RegValue ValueFromBytes(uint32_t type, std::string bytes, RegFormat format) {
    RegValue v;
    v.Type = type;
    if (type == RegSz || type == RegExpandSz || type == RegMultiSz) {
        const bool single = type != RegMultiSz;
        if (format == RegFormat::Regedit4)
            v.Data = single ? bytes.substr(0, bytes.find('\0')) : bytes;
        else
            v.Data = regtext::Utf16ToUtf8(bytes, single);
        if (!single)
            while (!v.Data.empty() && v.Data.back() == '\0')
                v.Data.pop_back();
    } else {
        if (type == RegDword)
            v.Number = LittleEndian(bytes, 4);
        else if (type == RegQword)
            v.Number = LittleEndian(bytes, 8);
        v.Data = std::move(bytes);
    }
    return v;
}

struct RootPlace {
    RegRoot Root = RegRoot::LocalMachine;
    std::vector<std::string> Prefix;
    bool Known = false;
};

/// The place of a Wine file's keys from its ";; All keys relative to \\Machine" line.
RootPlace WineRootFromPath(std::vector<std::string> parts) {
    RootPlace place;
    if (!parts.empty() && SameText(parts[0], "Registry"))
        parts.erase(parts.begin());
    if (parts.empty())
        return place;
    if (SameText(parts[0], "Machine")) {
        place = {RegRoot::LocalMachine, {}, true};
    } else if (SameText(parts[0], "User")) {
        if (parts.size() >= 2 && SameText(parts[1], ".Default"))
            place = {RegRoot::Users, {".Default"}, true};
        else
            place = {RegRoot::CurrentUser, {}, true};
    }
    return place;
}

RootPlace WineRootFromFileName(const std::string& fileName) {
    const size_t slash = fileName.find_last_of("/\\");
    const std::string name = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
    if (SameText(name, "system.reg"))
        return {RegRoot::LocalMachine, {}, true};
    if (SameText(name, "user.reg"))
        return {RegRoot::CurrentUser, {}, true};
    if (SameText(name, "userdef.reg"))
        return {RegRoot::Users, {".Default"}, true};
    return {};
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = start;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n')
            ++end;
        lines.push_back(text.substr(start, end - start));
        if (end < text.size() && text[end] == '\r')
            ++end;
        if (end < text.size() && text[end] == '\n')
            ++end;
        start = end;
    }
    return lines;
}

class Parser {
  public:
    Parser(std::string_view text, const std::string& fileName)
        : FLines(SplitLines(text)), FFileName(fileName) {}

    RegFile Run() {
        for (FLine = 0; FLine < FLines.size(); ++FLine) {
            const std::string_view line = TrimView(FLines[FLine]);
            if (line.empty())
                continue;
            if (!FHeaderSeen) {
                FHeaderSeen = true;
                if (DetectFormat(line))
                    continue;
            }
            if (line[0] == ';' || line[0] == '#') {
                if (FResult.Format == RegFormat::Wine && StartsWithText(line, ";; All keys"))
                    ReadWineRootLine(line);
                continue;
            }
            bool ok = false;
            if (line[0] == '[')
                ok = ReadKey(line);
            else if ((line[0] == '"' || line[0] == '@') && FTooDeep)
                ok = true; // a value of a key left out
            else if ((line[0] == '"' || line[0] == '@') && FCurrent)
                ok = ReadValue(line);
            if (!ok)
                ++FResult.SkippedLines;
        }
        return std::move(FResult);
    }

  private:
    bool Wine() const { return FResult.Format == RegFormat::Wine; }

    bool DetectFormat(std::string_view line) {
        if (SameText(line, "REGEDIT4"))
            FResult.Format = RegFormat::Regedit4;
        else if (StartsWithText(line, "Windows Registry Editor Version"))
            FResult.Format = RegFormat::Regedit5;
        else if (StartsWithText(line, "WINE REGISTRY Version")) {
            FResult.Format = RegFormat::Wine;
            FWineRoot = WineRootFromFileName(FFileName);
        } else
            return false;
        return true;
    }

    void ReadWineRootLine(std::string_view line) {
        const size_t p = line.find('\\');
        if (p == std::string_view::npos)
            return;
        size_t pos = p;
        const auto path = ReadEscaped(line, pos, '\0', true);
        if (path) {
            RootPlace place = WineRootFromPath(SplitKeyPath(*path));
            if (place.Known)
                FWineRoot = std::move(place);
        }
    }

    bool ReadKey(std::string_view line) {
        FCurrent = false;
        FTooDeep = false;
        RegEntry entry;
        if (Wine()) {
            size_t pos = 1;
            const auto name = ReadEscaped(line, pos, ']', true);
            if (!name || !FWineRoot.Known)
                return false;
            entry.Root = FWineRoot.Root;
            entry.Path = FWineRoot.Prefix;
            for (std::string& part : SplitKeyPath(*name))
                entry.Path.push_back(std::move(part));
        } else {
            const size_t close = line.rfind(']');
            if (close == std::string_view::npos)
                return false;
            std::string_view name = line.substr(1, close - 1);
            if (!name.empty() && name[0] == '-') {
                entry.DeleteKey = true;
                name.remove_prefix(1);
            }
            std::vector<std::string> parts = SplitKeyPath(name);
            if (parts.empty())
                return false;
            const auto root = RegRootFromName(parts[0]);
            if (!root)
                return false;
            entry.Root = *root;
            entry.Path.assign(parts.begin() + 1, parts.end());
        }
        if (entry.Path.size() > MaxKeyDepth) {
            if (FResult.TooDeepKeys++ == 0)
                FResult.FirstTooDeepLine = static_cast<int>(FLine) + 1;
            FTooDeep = true;
            return true;
        }
        FResult.Entries.push_back(std::move(entry));
        FCurrent = !FResult.Entries.back().DeleteKey;
        return true;
    }

    bool ReadValue(std::string_view line) {
        size_t pos = 1;
        std::string name;
        if (line[0] == '"') {
            auto quoted = ReadEscaped(line, pos, '"', Wine());
            if (!quoted)
                return false;
            name = std::move(*quoted);
        }
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t'))
            ++pos;
        if (pos >= line.size() || line[pos] != '=')
            return false;
        std::string_view data = TrimView(line.substr(pos + 1));

        std::optional<RegValue> value;
        if (data == "-") {
            // a deletion: no value
        } else if (!data.empty() && data[0] == '"') {
            value = ReadStringData(data, RegSz);
            if (!value)
                return false;
        } else if (StartsWithText(data, "str(")) {
            const size_t close = data.find("):");
            if (close == std::string_view::npos)
                return false;
            const auto type = ParseType(data.substr(4, close - 4));
            if (!type)
                return false;
            value = ReadStringData(TrimView(data.substr(close + 2)), *type);
            if (!value)
                return false;
        } else if (StartsWithText(data, "dword:")) {
            const std::string_view digits = TrimView(data.substr(6));
            if (digits.empty() || digits.size() > 8)
                return false;
            uint64_t v = 0;
            for (char c : digits) {
                if (HexDigit(c) < 0)
                    return false;
                v = v * 16 + static_cast<uint64_t>(HexDigit(c));
            }
            value = RegValue{RegDword, std::string(), v};
            for (int i = 0; i < 4; ++i)
                value->Data += static_cast<char>((v >> (8 * i)) & 0xFF);
        } else if (StartsWithText(data, "hex")) {
            value = ReadHexData(data);
            if (!value)
                return false;
        } else {
            return false;
        }
        FResult.Entries.back().Values.emplace_back(std::move(name), std::move(value));
        return true;
    }

    std::optional<RegValue> ReadStringData(std::string_view data, uint32_t type) {
        if (data.empty() || data[0] != '"')
            return std::nullopt;
        size_t pos = 1;
        auto text = ReadEscaped(data, pos, '"', Wine());
        if (!text || !TrimView(data.substr(pos)).empty())
            return std::nullopt;
        return RegValue{type, std::move(*text), 0};
    }

    static std::optional<uint32_t> ParseType(std::string_view hex) {
        if (hex.empty() || hex.size() > 8)
            return std::nullopt;
        uint32_t t = 0;
        for (char c : hex) {
            if (HexDigit(c) < 0)
                return std::nullopt;
            t = t * 16 + static_cast<uint32_t>(HexDigit(c));
        }
        return t;
    }

    /// "hex:..." or "hex(N):...", continued on the next lines while a line ends in '\'.
    std::optional<RegValue> ReadHexData(std::string_view data) {
        uint32_t type = RegBinary;
        size_t colon = 3;
        if (data.size() > 3 && data[3] == '(') {
            const size_t close = data.find(')');
            if (close == std::string_view::npos)
                return std::nullopt;
            const auto t = ParseType(data.substr(4, close - 4));
            if (!t)
                return std::nullopt;
            type = *t;
            colon = close + 1;
        }
        if (colon >= data.size() || data[colon] != ':')
            return std::nullopt;
        std::string list(data.substr(colon + 1));
        while (!list.empty() && list.back() == '\\') {
            list.pop_back();
            if (FLine + 1 >= FLines.size())
                break;
            list += TrimView(FLines[++FLine]);
        }
        auto bytes = ParseHexBytes(list);
        if (!bytes)
            return std::nullopt;
        return ValueFromBytes(type, std::move(*bytes), FResult.Format);
    }

    std::vector<std::string_view> FLines;
    std::string FFileName;
    size_t FLine = 0;
    bool FHeaderSeen = false;
    bool FCurrent = false;
    bool FTooDeep = false; ///< the current key is left out for its depth
    RootPlace FWineRoot;
    RegFile FResult;
};

} // namespace

std::optional<RegRoot> RegRootFromName(std::string_view name) {
    static const std::array<std::pair<std::string_view, RegRoot>, 10> names = {{
        {"HKEY_CLASSES_ROOT", RegRoot::ClassesRoot},
        {"HKCR", RegRoot::ClassesRoot},
        {"HKEY_CURRENT_USER", RegRoot::CurrentUser},
        {"HKCU", RegRoot::CurrentUser},
        {"HKEY_LOCAL_MACHINE", RegRoot::LocalMachine},
        {"HKLM", RegRoot::LocalMachine},
        {"HKEY_USERS", RegRoot::Users},
        {"HKU", RegRoot::Users},
        {"HKEY_CURRENT_CONFIG", RegRoot::CurrentConfig},
        {"HKCC", RegRoot::CurrentConfig},
    }};
    for (const auto& [text, root] : names)
        if (SameText(name, text))
            return root;
    return std::nullopt;
}

const char* RegRootName(RegRoot root) {
    switch (root) {
    case RegRoot::ClassesRoot:
        return "HKEY_CLASSES_ROOT";
    case RegRoot::CurrentUser:
        return "HKEY_CURRENT_USER";
    case RegRoot::LocalMachine:
        return "HKEY_LOCAL_MACHINE";
    case RegRoot::Users:
        return "HKEY_USERS";
    case RegRoot::CurrentConfig:
        return "HKEY_CURRENT_CONFIG";
    }
    return "";
}

RegFile ParseRegText(std::string_view bytes, const std::string& fileName) {
    std::string text;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        text = regtext::Utf16ToUtf8(bytes.substr(2), false);
    } else if (bytes.size() >= 2 && bytes[0] != '\0' && bytes[1] == '\0') {
        text = regtext::Utf16ToUtf8(bytes, false); // UTF-16LE without its byte-order mark
    } else {
        if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
            bytes.remove_prefix(3);
        text = std::string(bytes);
    }
    return Parser(text, fileName).Run();
}

} // namespace ut
