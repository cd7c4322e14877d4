#pragma once
// The uses hygiene as a patch: a unified diff that removes the `remove` entries and moves
// the `move` entries of the project's sources, applied with `patch -p1` or `git apply` in
// the project's directory.
#include "scan/ProjectScan.h"
#include "symbols/Hygiene.h"
#include "symbols/UsesEdit.h"

#include <string>
#include <vector>

namespace ut::report {

/// The patch of every judged unit in the project's tree. The entries it leaves (inside a
/// conditional branch or an include file, outside the tree, next to a directive) are listed
/// first as comments ("# FILE:LINE: remove NAME: not edited, REASON"). Throws EWarning when
/// a source changed since the hygiene read it: then no patch is made.
std::string UsesPatch(const ProjectScan& scan, const THygiene& hygiene);

/// The hunks that turn `text` into ApplyEdits(text, edits), under the header of `path`
/// ("--- a/PATH", "+++ b/PATH"), with three lines of context.
std::string UnifiedDiff(const std::string& path, const std::string& text,
                        const std::vector<TByteEdit>& edits);

} // namespace ut::report
