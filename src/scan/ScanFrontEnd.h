#pragma once
// What the scan needs from the program that shows it: a styled log, the unit counter and
// window titles, a chance to process pending input (and learn whether Escape was pressed),
// message boxes, and a way to empty the views before the records they show go away.
#include "config/Prompts.h"

#include <string>

namespace ut {

/// Font styles of a log line, one byte: 1 bold, 2 italic (italic lines are red).
enum LogStyle : unsigned char { lsPlain = 0, lsBold = 1, lsItalic = 2 };

/// One line of the scan log: its nesting level below the project, its text without the
/// indentation, and its style. Indentation is made only where a line is shown.
struct LogLine {
    int Depth = 0;
    std::string Text;
    LogStyle Style = lsPlain;
    bool operator==(const LogLine&) const = default;
};

/// Blanks shown per nesting level of a log line.
inline constexpr int LogIndentWidth = 2;

/// The line as it is shown: two blanks per level, then the text.
inline std::string IndentedText(const LogLine& line) {
    return std::string(static_cast<size_t>(line.Depth) * LogIndentWidth, ' ') + line.Text;
}

class ScanFrontEnd : public Prompts {
  public:
    virtual ~ScanFrontEnd() = default;

    /// Appends one line of the log.
    virtual void AppendLog(const LogLine& line) = 0;
    virtual void ClearLog() {}

    /// The unit counter label: its text and whether it is shown.
    virtual void ShowUnitCount(const std::string& /*text*/, bool /*visible*/) {}
    virtual void SetApplicationTitle(const std::string& /*title*/) {}
    virtual void SetCaption(const std::string& /*caption*/) {}

    /// Lets pending window events run; true when Escape was pressed since the last call or
    /// is still held down.
    virtual bool ProcessEvents() { return false; }

    /// A modal error box with an OK button.
    virtual void ErrorMessage(const std::string& /*text*/) {}
    /// A modal warning box with an OK button.
    void Warning(const std::string& /*text*/) override {}
    /// A confirmation box with Yes and No; true for Yes.
    bool Confirm(const std::string& /*text*/) override { return false; }

    /// Closes the detail windows, clears both trees and their sort keys. Called before the
    /// previous scan's records are destroyed and on every filter change.
    virtual void ResetViews() {}

    /// The setup inputs changed from outside the user's typing (options file, registry).
    virtual void InputsChanged() {}

    /// The executable that the options file names (the import listing's file).
    virtual void SetExeName(const std::string& /*fileName*/) {}

    /// The map view must be loaded again when it is shown next.
    virtual void MapViewOutdated() {}
};

} // namespace ut
