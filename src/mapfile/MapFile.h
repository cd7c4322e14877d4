#pragma once
// The linker's map file: the size each module adds to the program, read from the detailed
// segment list, and the "Location" and "Size" column texts of a tree node.
#include "support/StringList.h"

#include <cstdint>
#include <functional>
#include <istream>
#include <string>

namespace ut {

/// Module name (as written after "M=") to size in bytes; sorted, duplicates ignored, names
/// compared without regard to case. A name keeps the spelling it was first added with.
class TUnitSizes : public BasicStringList<std::int64_t> {
  public:
    TUnitSizes() : BasicStringList(true, TDuplicates::dupIgnore) {}
};

/// Clears `sizes` and fills it from the detailed segment list of the map file (found in any
/// letter case, as the existence check finds it): a code segment sets its module's size,
/// every other segment adds to it. Reading stops at the end of the segment list. Throws
/// EFOpenError when the file cannot be opened and EInOutError on a read error; the caller (the
/// scan) logs the failure and goes on, and `sizes` keeps what was read up to then. `poll` is
/// called before every line; what it throws (the abort of a scan) ends the read the same way.
void ReadMapFile(const std::string& fileName, TUnitSizes& sizes,
                 const std::function<void()>& poll = {});

/// The same over an open stream; reads no further than the end of the segment list.
void ReadMapStream(std::istream& in, TUnitSizes& sizes, const std::function<void()>& poll = {});

/// What the column texts of a tree node depend on besides the node itself.
struct TColumnContext {
    /// Installation root as a directory of this system (mapped like the unit paths), shown
    /// as "$(DELPHI)"; empty: no replacement.
    std::string DelphiRoot;
    std::string ProjectDir; ///< project directory with its trailing '/'; empty: no removal
    const TUnitSizes* Sizes = nullptr; ///< module sizes; none: every size is empty
};

struct TColumnText {
    std::string Text;
    bool RightAlign = false;
};

inline constexpr int LocationColumn = 1;
inline constexpr int SizeColumn = 2;

/// The text of column `column` for a node named `name` whose unit lives in `unitFileName`
/// (nullptr when the node has no unit). Location: the unit's directory, with '/' between its
/// parts, the installation root shown as "$(DELPHI)" and the project directory left out. Size: the
/// module's size in decimal, right-aligned, or empty when the map does not list it.
TColumnText GetColumnText(const std::string* unitFileName, const std::string& name, int column,
                          const TColumnContext& context);

} // namespace ut
