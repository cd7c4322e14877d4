#pragma once
// Searching the text of the map view: the next occurrence down or up from the selection,
// wrapping around the end (or the start) of the text only when the user agrees.
#include <functional>
#include <string>
#include <string_view>

namespace ut {

/// The three options of the find dialog that the search uses.
struct TFindOptions {
    bool Down = true;
    bool MatchCase = false;
    bool WholeWord = false;
};

/// The questions and notices of a search; the GUI shows them as message boxes.
struct TSearchPrompts {
    /// A Yes/No question; true means Yes. Unset counts as No.
    std::function<bool(const std::string& question)> Confirm;
    /// A warning with an OK button.
    std::function<void(const std::string& text)> Warn;
};

enum class TFindOutcome {
    Selected,   ///< a hit was found; select it
    NotFound,   ///< the text occurs nowhere; the warning was shown
    Declined,   ///< the user refused to wrap around; selection unchanged
    NoFindText, ///< nothing to search for yet; the caller shows the find dialog
};

struct TFindResult {
    TFindOutcome Outcome = TFindOutcome::NoFindText;
    int SelStart = 0; ///< the new selection when Outcome is Selected
    int SelLength = 0;
};

/// The text control's find operation: the offset of the first occurrence of `what` that
/// begins within [start, start + count) and lies within the text, or -1. A range that is
/// empty or lies outside the text finds nothing. Whole words: the characters just before
/// and after the occurrence are no word characters (letters, digits, '_', bytes >= 128).
int FindInText(std::string_view text, std::string_view what, int start, int count, bool matchCase,
               bool wholeWord);

/// Searches `text` for `findText` from the selection that starts at `selStart` (the caret
/// when nothing is selected). Downward the search starts `findText`'s length after
/// `selStart`; upward it takes the last hit before `selStart`. A hit found only after
/// wrapping around is selected only when `prompts.Confirm` answers Yes.
TFindResult FindNextInText(std::string_view text, int selStart, const std::string& findText,
                           const TFindOptions& options, const TSearchPrompts& prompts);

} // namespace ut
