#pragma once
// The uses hygiene of a finished scan: a verdict on every uses entry of every parsed unit,
// with its evidence, and what A references of B through each entry.
#include "scan/ProjectScan.h"
#include "symbols/Verdicts.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace ut {

/// A reference that proves a verdict: the identifier as written, where it stands.
struct TEvidence {
    std::string Identifier;
    std::string File;
    int Line = 0;
    bool operator==(const TEvidence&) const = default;
};

/// The verdict on one uses entry, and what the unit references of the unit it names. Kept
/// small (a large project has a hundred thousand entries): the evidence, the identifiers
/// and the note are in the unit's lists, read with TUnitHygiene::EvidenceOf, IdentifiersOf
/// and NoteOf.
struct TEntryHygiene {
    TVerdict Verdict = TVerdict::None;
    std::uint8_t Reasons = 0; ///< TKeepReason flags
    std::uint8_t EvidenceCount = 0;
    /// References of A to B's names (and qualifications with B's name) per section: the
    /// interface; the implementation or a program's body.
    std::uint32_t Uses[2] = {0, 0};
    std::uint32_t EvidenceFirst = 0, IdentifiersFirst = 0, IdentifierCount = 0;
    std::int32_t Note = -1; ///< index of the note in TUnitHygiene::EntryNotes, -1 for none
    std::uint32_t ReferenceCount() const { return Uses[0] + Uses[1]; }
};

struct TUnitHygiene {
    std::vector<TEntryHygiene> Entries; ///< one per entry of the unit's Uses, in order
    std::vector<std::string> Notes;     ///< form files that cannot be read, missing includes
    bool InProject = false;             ///< the source lies in the project's directory tree
    /// The size and hash of the source as read (see TextFingerprint).
    std::uint64_t Size = 0, Fingerprint = 0;

    /// At most 3 uses that keep entry `k` (or would move it), or the names of the form.
    std::span<const TEvidence> EvidenceOf(size_t k) const {
        return {Evidence.data() + Entries[k].EvidenceFirst, Entries[k].EvidenceCount};
    }
    /// The distinct identifiers by which the unit references the unit of entry `k`, in the
    /// order first met.
    std::span<const std::string> IdentifiersOf(size_t k) const {
        return {Identifiers.data() + Entries[k].IdentifiersFirst, Entries[k].IdentifierCount};
    }
    /// Why the verdict on entry `k` is unknown; empty when it is not.
    const std::string& NoteOf(size_t k) const;

    // The lists the entries point into.
    std::vector<TEvidence> Evidence;
    std::vector<std::string> Identifiers;
    std::vector<std::string> EntryNotes;
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
    std::vector<std::pair<const TUnit*, TUnitHygiene>> FUnits; ///< by the record's address
    std::string FProjectDir;
};

/// Is `path` (a full path) inside the directory `dir` (which ends with a delimiter)?
bool IsInTree(const std::string& path, const std::string& dir);

} // namespace ut
