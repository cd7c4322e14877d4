// Removing and moving uses entries byte for byte, and refusing what is not safe everywhere.
#include "symbols/UsesEdit.h"

#include <gtest/gtest.h>

namespace {

using namespace ut;

TEST(UsesEdit, RemovesMovesAndRefuses) {
    const struct {
        const char* name;
        std::string source;
        std::vector<TUsesChange> changes;
        std::string expected; ///< the edited text, then "| Name:Line reason" per refusal
    } cases[] = {
        // clang-format off
        {"a middle entry goes with the comma after it",
         "uses A, B {note}, C;", {{"b", 1}}, "uses A, C;"},
        {"an entry alone on its line takes the line; one ending a line keeps the line end",
         "uses\n  A,\n  B,\n  C, D,\n{$IFDEF X}\n  E;\n{$ELSE}\n  F;\n{$ENDIF}", {{"B", 3}, {"D", 4}},
         "uses\n  A,\n  C,\n{$IFDEF X}\n  E;\n{$ELSE}\n  F;\n{$ENDIF}"},
        {"the last entry takes the comma before it, across lines",
         "uses\r\n  A,\r\n  B; // tail", {{"B", 3}}, "uses\r\n  A; // tail"},
        {"an emptied list goes whole, with its line",
         "interface\n  uses A, B;\ntype", {{"A", 2}, {"B", 2}}, "interface\ntype"},
        {"a directive between an entry and its comma refuses it; the rest goes",
         "uses A, {$IFDEF X} B, {$ENDIF} C;", {{"A", 1}, {"C", 1}},
         "uses {$IFDEF X} B, {$ENDIF} C; | C:1 next to a conditional branch or directive"},
        {"entries in a branch, in a conditional list or not found are refused",
         "{$IFDEF Y} uses D; {$ENDIF}\nuses {$IFDEF X} B, {$ENDIF} C;", {{"B", 2}, {"D", 1}, {"E", 2}},
         "{$IFDEF Y} uses D; {$ENDIF}\nuses {$IFDEF X} B, {$ENDIF} C; | B:2 inside a conditional branch"
         " | D:1 inside a conditional branch | E:2 not found where the scan read it"},
        {"a move joins the implementation's list",
         "interface\r\nuses A, B;\r\nimplementation\r\nuses C {$IFDEF X}, D{$ENDIF};\r\nend.",
         {{"B", 2, true}}, "interface\r\nuses A;\r\nimplementation\r\nuses C {$IFDEF X}, D{$ENDIF}, B;\r\nend."},
        {"a move makes the implementation's list when there is none",
         "interface\nuses A, B;\nimplementation\n\n{$R *.dfm}\nend.", {{"A", 2, true}},
         "interface\nuses B;\nimplementation\n\nuses\n  A;\n\n{$R *.dfm}\nend."},
        {"an emptied implementation list takes the moved entries",
         "interface uses A; implementation uses B; end.", {{"A", 1, true}, {"B", 1}},
         "interface  implementation uses A; end."},
        {"no move when the implementation's list stands in a branch",
         "interface uses A, B; implementation {$IFDEF X} uses C; {$ENDIF} end.", {{"A", 1, true}},
         "interface uses A, B; implementation {$IFDEF X} uses C; {$ENDIF} end. | A:1 no implementation uses list it can move to"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TUsesEdits plan = PlanUsesEdits(c.source, "U.pas", c.changes);
        std::string out = ApplyEdits(c.source, plan.Edits);
        for (const TUsesRefusal& r : plan.Refused)
            out += " | " + r.Name + ":" + std::to_string(r.Line) + " " + r.Reason;
        EXPECT_EQ(out, c.expected);
    }
}

} // namespace
