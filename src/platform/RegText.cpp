#include "platform/RegText.h"

#include <cstdint>

namespace ut::regtext {

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

} // namespace

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
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

std::string Utf16ToUtf8(std::string_view bytes, bool stopAtNul) {
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

} // namespace ut::regtext
