#pragma once
// A component whose only content is a list of strings, so that the list can be stored and
// restored with the other settings. The program's one instance holds the names of the units
// that the trees do not follow.
#include "support/StringList.h"

#include <string>
#include <string_view>
#include <vector>

namespace ut {

/// The ignored-units lines as the main window is created: "Windows", "Messages", "Classes",
/// "SysUtils", "Graphics", in that order.
std::vector<std::string> DefaultIgnoredUnits();

class TStringsComp {
  public:
    TStringsComp() = default;
    TStringsComp(const TStringsComp&) = delete;
    TStringsComp& operator=(const TStringsComp&) = delete;

    TStringList& Lines() { return FLines; }
    const TStringList& Lines() const { return FLines; }
    /// Copies the strings of `lines` through the list's Add (so a sorted list stays sorted
    /// and drops duplicates); nullptr clears the lines.
    void SetLines(const TStringList* lines);
    void SetLines(const std::vector<std::string>& lines);
    void Assign(const TStringList* source) { SetLines(source); }

    /// The change callback is the string list's own: its sender is the list.
    const TStringList::Notify& OnChange() const { return FLines.OnChange; }
    void SetOnChange(TStringList::Notify handler) { FLines.OnChange = std::move(handler); }

    /// Switches the lines to sorted order with duplicates ignored (case-insensitive keys);
    /// the lines held are sorted at once.
    void MakeSorted();
    /// Binary search for the whole name, without regard to case; meaningful once sorted.
    bool IsIgnored(std::string_view name) const;

  private:
    TStringList FLines;
};

} // namespace ut
