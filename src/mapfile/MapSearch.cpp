#include "mapfile/MapSearch.h"

#include "support/Exceptions.h"
#include "support/Textutil.h"

#include <algorithm>

namespace ut {

namespace {

bool IsWordChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_' ||
           u >= 128;
}

bool MatchesAt(std::string_view text, std::string_view what, size_t at, bool matchCase) {
    if (matchCase)
        return text.compare(at, what.size(), what) == 0;
    for (size_t k = 0; k < what.size(); ++k)
        if (UpperFold(static_cast<unsigned char>(text[at + k])) !=
            UpperFold(static_cast<unsigned char>(what[k])))
            return false;
    return true;
}

bool IsWholeWordAt(std::string_view text, size_t at, size_t len) {
    if (at > 0 && IsWordChar(text[at - 1]))
        return false;
    return at + len >= text.size() || !IsWordChar(text[at + len]);
}

void Warn(const TSearchPrompts& prompts, const std::string& text) {
    if (prompts.Warn)
        prompts.Warn(text);
}

bool Confirm(const TSearchPrompts& prompts, const std::string& question) {
    return prompts.Confirm && prompts.Confirm(question);
}

TFindResult Select(int at, int len) {
    return {TFindOutcome::Selected, at, len};
}

TFindResult NotFound(const TSearchPrompts& prompts, const std::string& findText) {
    Warn(prompts, Format("The text \"%s\" was not found!", findText.c_str()));
    return {TFindOutcome::NotFound, 0, 0};
}

} // namespace

int FindInText(std::string_view text, std::string_view what, int start, int count, bool matchCase,
               bool wholeWord) {
    if (what.empty() || count <= 0 || what.size() > text.size())
        return -1;
    const long long textLen = static_cast<long long>(text.size());
    const long long last = textLen - static_cast<long long>(what.size()); // last start offset
    const long long from = std::max<long long>(start, 0);
    const long long to = std::min<long long>(static_cast<long long>(start) + count - 1, last);
    for (long long i = from; i <= to; ++i) {
        const auto at = static_cast<size_t>(i);
        if (MatchesAt(text, what, at, matchCase) &&
            (!wholeWord || IsWholeWordAt(text, at, what.size())))
            return static_cast<int>(i);
    }
    return -1;
}

TFindResult FindNextInText(std::string_view text, int selStart, const std::string& findText,
                           const TFindOptions& options, const TSearchPrompts& prompts) {
    if (findText.empty())
        return {TFindOutcome::NoFindText, 0, 0};
    const int len = static_cast<int>(findText.size());
    const int textLen = static_cast<int>(text.size());
    selStart = std::clamp(selStart, 0, textLen);
    auto find = [&](int start, int count) {
        return FindInText(text, findText, start, count, options.MatchCase, options.WholeWord);
    };

    if (options.Down) {
        const int start = std::min(selStart + len, textLen);
        int hit = find(start, textLen - start);
        if (hit >= 0)
            return Select(hit, len);
        if (start > 0) {
            hit = find(0, start);
            if (hit >= 0) {
                if (!Confirm(prompts, Format("The text \"%s\" was not found until end of "
                                             "file...\r\nStart from beginning?",
                                             findText.c_str())))
                    return {TFindOutcome::Declined, 0, 0};
                return Select(hit, len);
            }
        }
        return NotFound(prompts, findText);
    }

    // Upward: step through the hits up to the selection start and keep the last one
    // that begins before it.
    int last = -1;
    for (int p = -1;;) {
        const int hit = find(p + 1, selStart - p);
        if (hit < 0 || hit == selStart)
            break;
        last = hit;
        p = hit;
    }
    if (last >= 0)
        return Select(last, len);

    if (find(selStart + 1, textLen - selStart - 1) >= 0) {
        if (!Confirm(prompts, Format("The text \"%s\" was not found until start of "
                                     "file...\r\nStart from end?",
                                     findText.c_str())))
            return {TFindOutcome::Declined, 0, 0};
        for (int p = selStart;;) {
            const int hit = find(p + 1, textLen - p);
            if (hit < 0)
                break;
            last = hit;
            p = hit;
        }
        return Select(last, len);
    }
    return NotFound(prompts, findText);
}

} // namespace ut
