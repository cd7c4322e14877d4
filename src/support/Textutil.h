#pragma once
// Text helpers shared by every part: splitting, case-insensitive comparison and search,
// file-name extensions, whole-file loading.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ut {

/// Windows-1252 upper-case folding: bytes 0..32 map to themselves.
const std::array<unsigned char, 256>& UpperFoldTable();
inline unsigned char UpperFold(unsigned char c) {
    return UpperFoldTable()[c];
}

/// Compares through the folding table: first difference decides, then the lengths.
int CompareFolded(std::string_view s1, std::string_view s2);
/// Every byte through the folding table: two texts give the same key exactly when
/// CompareFolded finds them equal, so it can key a hash table.
std::string UpperFoldText(std::string_view s);

/// Hash and equality of names as CompareFolded has them, so a hash table of names (or of
/// views of them) needs no folded copies.
struct FoldedHash {
    size_t operator()(std::string_view s) const {
        // Eight folded bytes to a word, one multiply per word: names are hashed often.
        const auto& fold = UpperFoldTable();
        auto word = [&fold, &s](size_t at, size_t n) {
            std::uint64_t w = 0;
            for (size_t k = 0; k < n; ++k)
                w |= std::uint64_t{fold[static_cast<unsigned char>(s[at + k])]} << (8 * k);
            return w;
        };
        std::uint64_t h = 14695981039346656037ull ^ s.size();
        size_t i = 0;
        for (; i + 8 <= s.size(); i += 8) {
            h = (h ^ word(i, 8)) * 0x9E3779B97F4A7C15ull;
            h ^= h >> 32;
        }
        h = (h ^ word(i, s.size() - i)) * 0x9E3779B97F4A7C15ull;
        return static_cast<size_t>(h ^ (h >> 32));
    }
};
struct FoldedEqual {
    bool operator()(std::string_view a, std::string_view b) const {
        return a.size() == b.size() && (a == b || CompareFolded(a, b) == 0);
    }
};

/// The case-insensitive order of sorted string lists (the locale-aware comparison).
int AnsiCompareText(std::string_view s1, std::string_view s2);
inline bool SameText(std::string_view s1, std::string_view s2) {
    return AnsiCompareText(s1, s2) == 0;
}

/// ASCII-only case folding.
std::string AsciiUpper(std::string_view s);
std::string AsciiLower(std::string_view s);

/// Removes leading and trailing characters up to and including the space (code <= 32).
std::string Trim(std::string_view s);

/// Appends the pieces of `s` between occurrences of `sep`; nothing for an empty `s`.
void SplitToList(std::string_view s, std::string_view sep, std::vector<std::string>& list);
/// The same for a string list: each piece goes through the list's Add.
template <class List> void SplitToList(std::string_view s, std::string_view sep, List& list) {
    std::vector<std::string> pieces;
    SplitToList(s, sep, pieces);
    for (const auto& piece : pieces)
        list.Add(piece);
}

/// Cuts the text before the first `delim` off `s` into `head` (stops at a NUL).
void SplitFirst(std::string& s, char delim, std::string& head);
/// The same over a view, which moves past the cut: taking every token of a text costs as
/// much as reading it once.
std::string_view SplitFirst(std::string_view& s, char delim);

/// First index whose item equals `s` by CompareFolded; -1 if none.
template <class List> int IndexOfText(const List& list, std::string_view s) {
    for (int i = 0; i < static_cast<int>(list.Count()); ++i)
        if (CompareFolded(list[i], s) == 0)
            return i;
    return -1;
}
int IndexOfText(const std::vector<std::string>& list, std::string_view s);

/// First `n` characters agree, ASCII letters folded; see the rules for empty strings.
bool SameTextN(std::string_view s1, std::string_view s2, size_t n);

/// 1-based position of `sub` in `s`, ASCII letters folded; 0 when absent or `sub` is empty.
size_t PosText(std::string_view sub, std::string_view s);

/// Extension of a file name: from the last '.' when no '\', '/' or ':' follows it.
std::string ExtractFileExt(std::string_view fileName);

/// Index of the first element equal to the extension of `fileName` (ASCII folded), or -1.
int IndexOfExt(std::string_view fileName, const std::vector<std::string>& exts);

} // namespace ut
