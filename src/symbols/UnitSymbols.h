#pragma once
// What one source declares and references, read from the whole of it: every conditional
// branch (taken or not) and the include files where they stand. The uses hygiene judges
// uses entries by it; a window can show it for one unit.
#include "symbols/IncludeFinder.h"
#include "symbols/Names.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ut {

/// The section a reference stands in. A program's or library's body counts as its
/// implementation; its header and the uses lists are no section.
enum TSymbolSection : int { ssInterface = 0, ssImplementation = 1 };

/// A place in a unit's files: the index into TUnitSymbols::Files and a line (first line 1).
struct TSymbolSite {
    std::uint32_t File = 0;
    int Line = 0;
};

/// One referenced name: an identifier not preceded by '.', or a qualification whose first
/// part may name a unit ("Vcl.Forms.TForm" gives "Vcl.Forms" and "Vcl.Forms.TForm" too).
struct TReference {
    std::string Name;                ///< as first written
    std::uint32_t Count[2] = {0, 0}; ///< occurrences per section
    TSymbolSite First[2];            ///< the first occurrence per section (Line 0: none)
    std::uint32_t Order[2] = {0, 0}; ///< token number of that occurrence: the source order
};

/// One entry of a uses (or contains) list, in any branch.
struct TUsesItem {
    std::string Name; ///< as written; dotted names joined by '.'
    TSymbolSite Site;
    bool Interface = false;   ///< in the interface list, or a program's or library's only list
    bool InClause = false;    ///< followed by `in 'file'`
    bool Marked = false;      ///< followed on its line by the comment `unitrace: keep`
    bool Conditional = false; ///< inside a conditional branch
};

/// The names a unit's interface declares at the top level and what its source holds that
/// may need a unit without naming it.
struct TUnitSymbols {
    std::vector<std::string> Files; ///< [0] the source; then include files as first read
    /// Top-level names of the interface section, as written: constants, resource strings,
    /// types (generic ones by their name), enumeration values (unless {$SCOPEDENUMS ON}),
    /// variables, thread variables, routines.
    std::vector<std::string> Declarations;
    bool Initialization = false;   ///< initialization/finalization section or a main block
    bool ClassConstructor = false; ///< a class constructor or class destructor
    bool Register = false;         ///< the interface declares `procedure Register`
    bool Helper = false;           ///< the interface declares a class, record or type helper
    bool Operator = false;         ///< the interface declares an operator outside a type
    /// Referenced names in the order first met (empty when references were not asked for).
    std::vector<TReference> References;
    std::vector<TUsesItem> UsesItems;
    /// The text form files that `{$R *.dfm}` (.lfm, .fmx, .xfm) names, full paths.
    std::vector<std::string> FormFiles;
    /// Include files named in the source that were not found, as written.
    std::vector<std::string> MissingIncludes;
    /// Why the source could not be read to its end; empty when it could.
    std::string Failure;
    /// The size and a hash of the source's bytes as read (none when only its interface was).
    std::uint64_t Size = 0, Fingerprint = 0;

    /// The reference of that name (any letter case), or null.
    const TReference* FindReference(std::string_view name) const;
};

struct TSymbolOptions {
    /// Read only up to the implementation section: declarations and interface flags.
    bool InterfaceOnly = false;
    /// Collect References (otherwise only declarations, flags, uses items and forms).
    bool References = true;
    /// First parts of unit names the source may qualify with ("Vcl" for Vcl.Forms): only
    /// qualifications starting with one of them are kept whole. Null: none.
    const TNameSet* QualifierHeads = nullptr;
    /// Finds the include files (beside the including file, then in its directories); null:
    /// beside the including file only.
    std::shared_ptr<TIncludeFinder> Includes;
};

/// Reads the source `fileName` whole. A failure (the file cannot be opened, a malformed
/// token) is returned in Failure with what was read before it; nothing is raised.
TUnitSymbols ReadUnitSymbols(const std::string& fileName, const TSymbolOptions& options = {});

/// The hash of a file's bytes that TUnitSymbols::Fingerprint holds: it tells a file that
/// changed within one run of the program.
std::uint64_t TextFingerprint(std::string_view text);

} // namespace ut
