#pragma once
// The uses hygiene of a finished scan: a verdict on every uses entry of every parsed unit,
// with its evidence, and what A references of B through each entry.
#include "scan/ProjectScan.h"
#include "symbols/Verdicts.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace ut {

/// A reference that proves a verdict: the identifier as written, where it stands.
struct TEvidence {
    std::string Identifier;
    std::string File;
    int Line = 0;
    bool operator==(const TEvidence&) const = default;
};

/// The verdict on one uses entry, and what the unit references of the unit it names.
struct TEntryHygiene {
    TVerdict Verdict = TVerdict::None;
    unsigned Reasons = 0;            ///< TKeepReason flags
    std::vector<TEvidence> Evidence; ///< at most 3: the uses that keep it or would move it
    std::string Note;                ///< why the verdict is unknown
    /// References of A to B's names (and qualifications with B's name): occurrences per
    /// section (the interface; the implementation or a program's body), and the distinct
    /// identifiers in the order first met.
    std::uint32_t Uses[2] = {0, 0};
    std::vector<std::string> Identifiers;
    std::uint32_t ReferenceCount() const { return Uses[0] + Uses[1]; }
};

struct TUnitHygiene {
    std::vector<TEntryHygiene> Entries; ///< one per entry of the unit's Uses, in order
    std::vector<std::string> Notes;     ///< form files that cannot be read, missing includes
    bool InProject = false;             ///< the source lies in the project's directory tree
    /// The size and hash of the source as read (see TextFingerprint).
    std::uint64_t Size = 0, Fingerprint = 0;
};

struct THygieneOptions {
    /// Judge the units outside the project's tree too (their start-up code is read anyway).
    bool AllUnits = false;
    int Jobs = 1; ///< threads that read sources
    /// Directories searched for include files, as the scan searched them.
    std::shared_ptr<const std::vector<std::string>> IncludeDirs;
    /// Called now and then from the calling thread with the sources read and their number;
    /// true ends the work with EAbort.
    std::function<bool(int done, int total)> Progress;
};

class THygiene {
  public:
    /// Judges every uses entry of the units `scan` parsed; the scan's records must outlive
    /// the result. Throws EAbort when Progress asks for it.
    static THygiene Judge(const ProjectScan& scan, const THygieneOptions& options);

    /// The unit's verdicts, or null for a unit not judged (outside the tree, or not parsed).
    const TUnitHygiene* Of(const TUnit* unit) const;
    const std::string& ProjectDir() const { return FProjectDir; }

  private:
    std::unordered_map<const TUnit*, TUnitHygiene> FUnits;
    std::string FProjectDir;
};

/// Is `path` (a full path) inside the directory `dir` (which ends with a delimiter)?
bool IsInTree(const std::string& path, const std::string& dir);

} // namespace ut
