#include "support/Utf8.h"

namespace ut {

namespace {

// Windows-1252 bytes 0x80..0x9F; the rest of the upper half is Latin-1.
const unsigned short Cp1252High[32] = {
    0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x8D,   0x017D, 0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};

void AppendCp1252(std::string& out, unsigned char c) {
    const unsigned cp = c < 0xA0 ? Cp1252High[c - 0x80] : c;
    if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

} // namespace

std::size_t Utf8SequenceLength(std::string_view s, std::size_t i) {
    const auto at = [&](std::size_t k) { return static_cast<unsigned char>(s[i + k]); };
    const unsigned char c = at(0);
    if (c < 0x80)
        return 1;
    // The length and the range of the second byte by the lead byte; later bytes are
    // 80..BF. The narrowed ranges shut out overlong forms (E0, F0), surrogates (ED) and
    // code points above U+10FFFF (F4).
    std::size_t n = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (c >= 0xC2 && c <= 0xDF)
        n = 2;
    else if (c >= 0xE0 && c <= 0xEF)
        n = 3;
    else if (c >= 0xF0 && c <= 0xF4)
        n = 4;
    if (c == 0xE0)
        low = 0xA0;
    else if (c == 0xED)
        high = 0x9F;
    else if (c == 0xF0)
        low = 0x90;
    else if (c == 0xF4)
        high = 0x8F;
    if (n == 0 || n > s.size() - i || at(1) < low || at(1) > high)
        return 0;
    for (std::size_t k = 2; k < n; ++k)
        if (at(k) < 0x80 || at(k) > 0xBF)
            return 0;
    return n;
}

void AppendUtf8(std::string& out, std::string_view s) {
    std::size_t plain = 0; // start of the run of bytes that stay as they are
    for (std::size_t i = 0; i < s.size();) {
        if (static_cast<unsigned char>(s[i]) < 0x80) {
            ++i;
        } else if (const std::size_t n = Utf8SequenceLength(s, i)) {
            i += n;
        } else {
            out.append(s, plain, i - plain);
            AppendCp1252(out, static_cast<unsigned char>(s[i]));
            plain = ++i;
        }
    }
    out.append(s, plain);
}

std::string ToUtf8(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    AppendUtf8(out, s);
    return out;
}

} // namespace ut
