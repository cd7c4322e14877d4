// Verdicts on the uses entries of a scanned project, each with its reasons and evidence.
#include "HygieneFixture.h"

#include "platform/FileSystem.h"
#include "symbols/Hygiene.h"

#include <gtest/gtest.h>

namespace {

using namespace ut;

class Hygiene : public uttest::HygieneFixture {};

// Each entry: "Unit Entry verdict [reasons] Identifier@file:line ... {identifiers i/m}
// (note)", the braces for the references of the unit to the entry's (interface/body).
std::string Verdicts(const ProjectScan& scan, const THygiene& h) {
    std::string out;
    for (int i = 0; i < scan.FUnits.Count(); ++i) {
        const TUnit& u = *scan.FUnits.Objects(i);
        const TUnitHygiene* uh = h.Of(&u);
        for (int k = 0; uh && k < u.Uses.Count(); ++k) {
            const TEntryHygiene& e = uh->Entries[static_cast<size_t>(k)];
            out += u.UnitName + " " + u.Uses[k] + " " + VerdictName(e.Verdict) + " [";
            for (const std::string& r : ReasonNames(e.Reasons))
                out += (out.back() == '[' ? "" : " ") + r;
            out += "]";
            for (const TEvidence& ev : uh->EvidenceOf(static_cast<size_t>(k)))
                out += " " + ev.Identifier + "@" + fs::ExtractFileName(ev.File) + ":" +
                       std::to_string(ev.Line);
            if (e.ReferenceCount()) {
                out += " {";
                for (const std::string& id : uh->IdentifiersOf(static_cast<size_t>(k)))
                    out += id + " ";
                out += std::to_string(e.Uses[0]) + "/" + std::to_string(e.Uses[1]) + "}";
            }
            const std::string& note = uh->NoteOf(static_cast<size_t>(k));
            out += note.empty() ? "\n" : " (" + note.substr(0, note.find(':')) + ")\n";
        }
        for (const std::string& note : uh ? uh->Notes : std::vector<std::string>{})
            out += u.UnitName + " note: " + fs::ExtractFileName(note.substr(0, note.find(": "))) +
                   note.substr(note.find(": ")) + "\n";
    }
    return out;
}

TEST_F(Hygiene, EveryVerdictWithItsReasonAndEvidence) {
    uttest::QuietFrontEnd frontEnd;
    ProjectScan scan(frontEnd);
    scan.Inputs.Project = root + "/Proj.dpr";
    ASSERT_TRUE(scan.ScanProject(scan.Inputs.Project));
    THygieneOptions options;
    options.Jobs = 2;
    EXPECT_EQ(Verdicts(scan, THygiene::Judge(scan, options)),
              "Bin Gone keep [form]\n"
              "Bin note: Bin.dfm is binary: the entries are kept (form)\n"
              "Broken Gone unknown [] (this unit could not be parsed)\n"
              "Main Things keep [used] TThing@Main.pas:14 {TThing 1/1}\n"
              "Main Helpers keep [helper]\n"
              "Main Moved move [] Work@Main.pas:26 {Work 0/1}\n"
              "Main Gone remove []\n"
              "Main Starter keep [initialization]\n"
              "Main Probe keep [used] ProbeFlag@Main.pas:12 {ProbeFlag 1/0}\n"
              "Main Qual keep [used] Qual@Main.pas:11 {Qual 1/0}\n"
              "Main Marked keep [marked]\n"
              "Main Gone2 remove []\n"
              "Main Branchy keep [used] BranchProc@Main.pas:27 {BranchProc 0/1}\n"
              "Main Broken unknown [] (Broken could not be read)\n"
              "Main Nowhere unknown [] (not found)\n"
              "Main Ctrls keep [form] TFancyButton@Main.dfm:2\n"
              "Proj Main keep [used project] Run@Proj.dpr:9 {Run 0/1}\n"
              "Proj Bin keep [project]\n"
              "Proj Spare remove []\n");
}

} // namespace
