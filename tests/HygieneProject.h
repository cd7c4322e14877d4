#pragma once
// A small project with one uses entry for each verdict and keep reason, written to a
// directory: Main.pas (CR LF line ends) and its text form, a program, and the units they use.
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

namespace uttest {

inline void WriteHygieneProject(const std::string& dir) {
    const std::pair<const char*, std::string> files[] = {
        {"Proj.dpr", "program Proj;\n\nuses\n  Main in 'Main.pas',\n  Bin in 'Bin.pas',\n"
                     "  Spare;\n\nbegin\n  Run(nil);\nend.\n"},
        {"Main.pas",
         "unit Main;\r\n\r\ninterface\r\n\r\nuses\r\n  Things, Helpers, Moved, Gone,\r\n"
         "  Starter, Probe, Qual,\r\n  Marked; // unitrace: keep\r\n\r\n"
         "const\r\n  Limit = Qual.Size;\r\n  {$IF Declared(ProbeFlag)} Probing = 1; "
         "{$ENDIF}\r\n\r\n"
         "procedure Run(T: TThing);\r\n\r\nimplementation\r\n\r\n"
         "uses\r\n  {$IFNDEF NEVER} Gone2, {$ENDIF}\r\n  Branchy, Broken, Nowhere, Ctrls;\r\n\r\n"
         "{$R *.dfm}\r\n\r\nprocedure Run(T: TThing);\r\nbegin\r\n  Work;\r\n"
         "  {$IFDEF NEVER} BranchProc; {$ENDIF}\r\nend;\r\n\r\nend.\r\n"},
        {"Main.dfm", "object MainForm: TMainForm\r\n  object B: TFancyButton\r\n  end\r\nend\r\n"},
        {"Bin.pas", "unit Bin;\ninterface\nuses Gone;\nimplementation\n{$R *.dfm}\nend.\n"},
        {"Bin.dfm", std::string("TPF0\x0bTBinForm\x00", 14)},
        {"Spare.pas", "unit Spare; interface procedure Unused; implementation procedure Unused; "
                      "begin end; end."},
        {"Things.pas", "unit Things; interface type TThing = class end; implementation end."},
        {"Helpers.pas", "unit Helpers; interface type THelp = class helper for TObject end;\n"
                        "implementation end."},
        {"Moved.pas", "unit Moved; interface procedure Work; implementation procedure Work; "
                      "begin end; end."},
        {"Gone.pas", "unit Gone; interface var GoneValue: Integer; implementation end."},
        {"Gone2.pas", "unit Gone2; interface implementation end."},
        {"Starter.pas", "unit Starter; interface implementation initialization end."},
        {"Probe.pas", "unit Probe; interface const ProbeFlag = 1; implementation end."},
        {"Qual.pas", "unit Qual; interface const Size = 3; implementation end."},
        {"Marked.pas", "unit Marked; interface implementation end."},
        {"Branchy.pas", "unit Branchy; interface procedure BranchProc; implementation\n"
                        "procedure BranchProc; begin end; end."},
        {"Broken.pas", "unit Broken; interface uses Gone,, Qual; implementation end."},
        {"Ctrls.pas", "unit Ctrls; interface type TFancyButton = class end; implementation end."},
    };
    for (const auto& [name, text] : files) {
        const std::filesystem::path p = std::filesystem::path(dir) / name;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << text;
    }
}

} // namespace uttest
