#include "config/IniStringList.h"

namespace ut {

namespace {

bool IsLineEnd(char c) {
    return c == '\r' || c == '\n' || c == '\0';
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

size_t LineEnd(std::string_view text, size_t pos) {
    while (pos < text.size() && !IsLineEnd(text[pos]))
        ++pos;
    return pos;
}

/// Passes one CR, then one LF, after a line's end.
size_t SkipLineBreak(std::string_view text, size_t pos) {
    if (pos < text.size() && text[pos] == '\r')
        ++pos;
    if (pos < text.size() && text[pos] == '\n')
        ++pos;
    return pos;
}

bool StartsWithFolded(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (UpperFold(static_cast<unsigned char>(s[i])) !=
            UpperFold(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

} // namespace

TIniStringList::TIniStringList() : TStringList(true, TDuplicates::dupIgnore) {}

void TIniStringList::SetIniText(std::string_view text) {
    FSectionName.clear();
    FSectionBody.clear();
    // A NUL ends the text: nothing after it is read, and the cursor cannot stall on it.
    if (const size_t nul = text.find('\0'); nul != std::string_view::npos)
        text = text.substr(0, nul);

    BeginUpdate();
    Clear();
    SetSorted(false);
    size_t cursor = 0;
    size_t blockStart = std::string_view::npos;
    while (cursor < text.size()) {
        while (cursor < text.size() && IsBlank(text[cursor]))
            ++cursor;
        if (cursor >= text.size())
            break;
        const size_t end = LineEnd(text, cursor);
        if (text[cursor] == '[') {
            if (blockStart != std::string_view::npos)
                Add(std::string(text.substr(blockStart, cursor - blockStart)));
            blockStart = cursor;
        }
        cursor = SkipLineBreak(text, end);
    }
    if (blockStart != std::string_view::npos)
        Add(std::string(text.substr(blockStart)));
    SetSorted(true);
    EndUpdate();
}

std::string TIniStringList::SectionHeader(std::string_view name) {
    std::string h = Trim(name);
    if (!h.empty() && h[0] != '[')
        h = "[" + h + "]";
    return h;
}

int TIniStringList::IndexOfSection(std::string_view name) const {
    const std::string h = SectionHeader(name);
    if (h.empty())
        return -1;
    int index = 0;
    Find(h, index);
    if (index < Count() && StartsWithFolded(Strings(index), h))
        return index;
    return -1;
}

void TIniStringList::SelectSection(const std::string& name) {
    if (!FSectionName.empty() &&
        CompareFolded(SectionHeader(FSectionName), SectionHeader(name)) == 0)
        return;
    FSectionBody.clear();
    const int index = IndexOfSection(name);
    if (index >= 0) {
        const std::string& block = Strings(index);
        const size_t bodyStart = SkipLineBreak(block, LineEnd(block, 0));
        FSectionBody = block.substr(bodyStart);
    }
    FSectionName = name;
}

std::string TIniStringList::ReadString(std::string_view section, std::string_view key) {
    SelectSection(SectionHeader(section));
    if (key.empty())
        return {};
    const std::string_view body = FSectionBody;
    size_t pos = 0;
    while (pos < body.size()) {
        const size_t end = LineEnd(body, pos);
        const std::string_view line = body.substr(pos, end - pos);
        if (line.size() > key.size() && line[key.size()] == '=' &&
            AnsiCompareText(line.substr(0, key.size()), key) == 0)
            return std::string(line.substr(key.size() + 1));
        if (end < body.size() && body[end] == '\0')
            break;
        pos = SkipLineBreak(body, end);
    }
    return {};
}

} // namespace ut
