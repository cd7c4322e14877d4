#include "platform/RegFile.h"

#include "support/Textutil.h"

#include <array>

namespace ut {

namespace {

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

constexpr uint32_t Replacement = 0xFFFD;

/// Collects UTF-16 code units and writes them as UTF-8, pairing surrogates.
class Utf16Writer {
  public:
    explicit Utf16Writer(std::string& out) : FOut(out) {}
    void Unit(uint32_t u) {
        if (u >= 0xDC00 && u <= 0xDFFF && FHigh != 0) {
            AppendUtf8(FOut, 0x10000 + ((FHigh - 0xD800) << 10) + (u - 0xDC00));
            FHigh = 0;
            return;
        }
        Flush();
        if (u >= 0xD800 && u <= 0xDBFF)
            FHigh = u;
        else if (u >= 0xDC00 && u <= 0xDFFF)
            AppendUtf8(FOut, Replacement);
        else
            AppendUtf8(FOut, u);
    }
    void Byte(char c) {
        Flush();
        FOut += c;
    }
    void Flush() {
        if (FHigh != 0)
            AppendUtf8(FOut, Replacement);
        FHigh = 0;
    }

  private:
    std::string& FOut;
    uint32_t FHigh = 0;
};

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool StartsWithText(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && AnsiCompareText(s.substr(0, prefix.size()), prefix) == 0;
}

std::string_view TrimView(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= 32)
        s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= 32)
        s.remove_suffix(1);
    return s;
}

/// Reads an escaped text from `s[pos]` up to the unescaped `close`, and leaves `pos` after
/// it. Windows exports escape only '\' and '"'; Wine writes C-style escapes and \x codes of
/// UTF-16 units. Nullopt when `close` never comes; a NUL `close` reads to the end.
std::optional<std::string> ReadEscaped(std::string_view s, size_t& pos, char close, bool wine) {
    std::string out;
    Utf16Writer w(out);
    while (pos < s.size()) {
        const char c = s[pos++];
        if (c == close) {
            w.Flush();
            return out;
        }
        if (c != '\\' || pos >= s.size()) {
            w.Byte(c);
            continue;
        }
        const char e = s[pos];
        if (!wine) {
            if (e == '\\' || e == '"') {
                w.Byte(e);
                ++pos;
            } else {
                w.Byte('\\');
            }
            continue;
        }
        ++pos;
        static constexpr std::string_view simple = "a\ab\be\x1b"
                                                   "f\fn\nr\rt\tv\v";
        if (const size_t k = simple.find(e); k != std::string_view::npos && k % 2 == 0) {
            w.Byte(simple[k + 1]);
        } else if (e == 'x') {
            uint32_t u = 0;
            int n = 0;
            while (n < 4 && pos < s.size() && HexDigit(s[pos]) >= 0) {
                u = u * 16 + static_cast<uint32_t>(HexDigit(s[pos++]));
                ++n;
            }
            if (n == 0)
                w.Byte('x');
            else
                w.Unit(u);
        } else if (e >= '0' && e <= '7') {
            uint32_t u = static_cast<uint32_t>(e - '0');
            for (int n = 1; n < 3 && pos < s.size() && s[pos] >= '0' && s[pos] <= '7'; ++n)
                u = u * 8 + static_cast<uint32_t>(s[pos++] - '0');
            w.Unit(u);
        } else {
            w.Byte(e);
        }
    }
    if (close == '\0') {
        w.Flush();
        return out;
    }
    return std::nullopt;
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

/// Comma-separated hex bytes ("25,00,53,00"); nullopt when one is not a byte.
std::optional<std::string> ParseHexBytes(std::string_view text) {
    std::string bytes;
    text = TrimView(text);
    if (text.empty())
        return bytes;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(',', start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view item = TrimView(text.substr(start, end - start));
        if (item.empty() && end == text.size() && start > 0)
            break; // a trailing comma
        if (item.empty() || item.size() > 2)
            return std::nullopt;
        int v = 0;
        for (char c : item) {
            if (HexDigit(c) < 0)
                return std::nullopt;
            v = v * 16 + HexDigit(c);
        }
        bytes += static_cast<char>(v);
        start = end + 1;
    }
    return bytes;
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
            v.Data = Utf16LeToUtf8(bytes, single);
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

std::string Utf16LeToUtf8(std::string_view bytes, bool stopAtNul) {
    std::string out;
    Utf16Writer w(out);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const uint32_t u = static_cast<unsigned char>(bytes[i]) |
                           (static_cast<uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8);
        if (u == 0 && stopAtNul)
            break;
        w.Unit(u);
    }
    w.Flush();
    return out;
}

RegFile ParseRegText(std::string_view bytes, const std::string& fileName) {
    std::string text;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        text = Utf16LeToUtf8(bytes.substr(2), false);
    } else if (bytes.size() >= 2 && bytes[0] != '\0' && bytes[1] == '\0') {
        text = Utf16LeToUtf8(bytes, false); // UTF-16LE without its byte-order mark
    } else {
        if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
            bytes.remove_prefix(3);
        text = std::string(bytes);
    }
    return Parser(text, fileName).Run();
}

} // namespace ut
