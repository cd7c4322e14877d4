#include "support/Textutil.h"

#include "support/Exceptions.h"

#include <cstring>

namespace ut {

namespace {

std::array<unsigned char, 256> BuildFoldTable() {
    std::array<unsigned char, 256> t{};
    for (int i = 0; i < 256; ++i)
        t[i] = static_cast<unsigned char>(i);
    for (int c = 'a'; c <= 'z'; ++c)
        t[c] = static_cast<unsigned char>(c - 32);
    // Windows-1252 letters outside ASCII.
    t[0x9A] = 0x8A; // s caron
    t[0x9C] = 0x8C; // oe
    t[0x9E] = 0x8E; // z caron
    t[0xFF] = 0x9F; // y diaeresis
    for (int c = 0xE0; c <= 0xFE; ++c)
        if (c != 0xF7)
            t[c] = static_cast<unsigned char>(c - 32);
    return t;
}

inline char AsciiUp(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

} // namespace

const std::array<unsigned char, 256>& UpperFoldTable() {
    static const std::array<unsigned char, 256> table = BuildFoldTable();
    return table;
}

int CompareFolded(std::string_view s1, std::string_view s2) {
    const auto& t = UpperFoldTable();
    const size_t n = std::min(s1.size(), s2.size());
    for (size_t i = 0; i < n; ++i) {
        const int d = t[static_cast<unsigned char>(s1[i])] - t[static_cast<unsigned char>(s2[i])];
        if (d != 0)
            return d;
    }
    return static_cast<int>(s1.size()) - static_cast<int>(s2.size());
}

std::string UpperFoldText(std::string_view s) {
    const auto& t = UpperFoldTable();
    std::string key(s);
    for (char& c : key)
        c = static_cast<char>(t[static_cast<unsigned char>(c)]);
    return key;
}

int AnsiCompareText(std::string_view s1, std::string_view s2) {
    const int d = CompareFolded(s1, s2);
    return d < 0 ? -1 : (d > 0 ? 1 : 0);
}

std::string AsciiUpper(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        c = AsciiUp(c);
    return r;
}

std::string AsciiLower(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return r;
}

std::string Trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= 32)
        ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32)
        --e;
    return std::string(s.substr(b, e - b));
}

void SplitToList(std::string_view s, std::string_view sep, std::vector<std::string>& list) {
    if (s.empty())
        return;
    if (sep.empty()) {
        list.emplace_back(s);
        return;
    }
    for (;;) {
        const size_t p = s.find(sep);
        if (p == std::string_view::npos)
            break;
        list.emplace_back(s.substr(0, p));
        s.remove_prefix(p + sep.size());
    }
    list.emplace_back(s);
}

void SplitFirst(std::string& s, char delim, std::string& head) {
    std::string_view rest(s);
    head = SplitFirst(rest, delim);
    s.erase(0, s.size() - rest.size());
}

std::string_view SplitFirst(std::string_view& s, char delim) {
    size_t i = 0;
    while (i < s.size() && s[i] != '\0' && s[i] != delim)
        ++i;
    std::string_view head = s;
    if (i < s.size() && s[i] == delim) {
        head = s.substr(0, i);
        s.remove_prefix(i + 1);
    } else {
        s = {};
    }
    return head;
}

int IndexOfText(const std::vector<std::string>& list, std::string_view s) {
    for (size_t i = 0; i < list.size(); ++i)
        if (CompareFolded(list[i], s) == 0)
            return static_cast<int>(i);
    return -1;
}

bool SameTextN(std::string_view s1, std::string_view s2, size_t n) {
    if (s1.empty() && s2.empty())
        return true;
    if (s1.empty() || s2.empty())
        return false;
    for (size_t i = 0; i < n; ++i) {
        const bool end1 = i >= s1.size(), end2 = i >= s2.size();
        if (end1 || end2)
            return end1 && end2;
        if (AsciiUp(s1[i]) != AsciiUp(s2[i]))
            return false;
    }
    return true;
}

size_t PosText(std::string_view sub, std::string_view s) {
    if (sub.empty() || sub.size() > s.size())
        return 0;
    for (size_t i = 0; i + sub.size() <= s.size(); ++i) {
        size_t k = 0;
        while (k < sub.size() && AsciiUp(s[i + k]) == AsciiUp(sub[k]))
            ++k;
        if (k == sub.size())
            return i + 1;
    }
    return 0;
}

std::string ExtractFileExt(std::string_view fileName) {
    const size_t p = fileName.find_last_of(".\\/:");
    if (p == std::string_view::npos || fileName[p] != '.')
        return {};
    return std::string(fileName.substr(p));
}

int IndexOfExt(std::string_view fileName, const std::vector<std::string>& exts) {
    const std::string ext = AsciiUpper(ExtractFileExt(fileName));
    for (size_t i = 0; i < exts.size(); ++i)
        if (AsciiUpper(exts[i]) == ext)
            return static_cast<int>(i);
    return -1;
}

} // namespace ut
