// Reading a whole source for its declarations, references, flags and uses items.
#include "core/scanner/SourceDir.h"

#include "symbols/UnitSymbols.h"

#include <gtest/gtest.h>

namespace {

using namespace ut;

class SymbolRead : public uttest::SourceDirTest {
  protected:
    /// "D[declarations] R[name=interface/implementation ...] F[flags] U[items]", "! failure".
    static std::string Outcome(const TUnitSymbols& s) {
        std::string out = "D[";
        for (const std::string& d : s.Declarations)
            out += (out.back() == '[' ? "" : " ") + d;
        out += "] R[";
        for (const TReference& r : s.References)
            out += (out.back() == '[' ? "" : " ") + r.Name + "=" + std::to_string(r.Count[0]) +
                   "/" + std::to_string(r.Count[1]);
        out += "] F[";
        const std::pair<bool, const char*> flags[] = {{s.Initialization, " init"},
                                                      {s.ClassConstructor, " ctor"},
                                                      {s.Register, " register"},
                                                      {s.Helper, " helper"},
                                                      {s.Operator, " operator"}};
        for (const auto& [on, name] : flags)
            out += on ? name : "";
        out += " ] U[";
        for (const TUsesItem& u : s.UsesItems)
            out += (out.back() == '[' ? "" : " ") + u.Name + (u.Interface ? "+" : "-") +
                   (u.InClause ? "in" : "") + (u.Marked ? "!" : "") + (u.Conditional ? "?" : "") +
                   std::to_string(u.Site.Line);
        out += "]";
        return s.Failure.empty() ? out : out + " ! " + s.Failure;
    }
};

TEST_F(SymbolRead, DeclarationsReferencesAndFlags) {
    const struct {
        const char* name;
        std::string source;
        std::string expected;
    } cases[] = {
        // clang-format off
        {"sections, members and ranges",
         "unit U; interface uses A, B.C;\nconst K = 1; X: TA = (1); resourcestring S = 'x';\n"
         "implementation\nuses D;\nvar V: array[Low(TA)..High(TA)] of T; begin V.Count := F(K).Len; end.",
         "D[K X S] R[TA=1/2 Low=0/1 High=0/1 T=0/1 V=0/1 F=0/1 K=0/1] F[ init ] U[A+1 B.C+1 D-4]"},
        {"types: generic, enumeration, class bodies, forward and short classes",
         "unit U; interface type TList<T> = class(TBase) FItem: T; procedure Add; end;\n"
         "TColor = (clRed, clBlue = 2); TErr = class(Exception); TFwd = class; TRef = class of TList;\n"
         "var A, B: (vOne, vTwo); C: TColor;\nimplementation end.",
         "D[TList TColor clRed clBlue TErr TFwd TRef A B vOne vTwo C] R[T=2/0 TBase=1/0 FItem=1/0 Add=1/0 Exception=1/0 TList=1/0 TColor=1/0] F[ ] U[]"},
        {"a variant part's fields are not enumeration values",
         "unit U; interface type R = record case K: Integer of 0: (A: Integer; B: (x, y)); end;\n"
         "procedure Run(P: R); overload;\nimplementation end.",
         "D[R x y Run] R[K=1/0 Integer=2/0 B=1/0 P=1/0 R=1/0 overload=1/0] F[ ] U[]"},
        {"scoped enumerations declare no values; procedural types no routine",
         "unit U; interface {$SCOPEDENUMS ON} type E = (eA, eB); TP = procedure(X: E) of object;\n"
         "var Operator: string; implementation end.",
         "D[E TP Operator] R[X=1/0 E=1/0] F[ ] U[]"},
        {"helpers, operators, Register, class constructors and a main block",
         "unit U; interface type TH = class helper for TObject end; TR = record helper for Integer end;\n"
         "operator + (a, b: TR) r: TR; procedure Register;\nimplementation\n"
         "type TC = class class constructor Create; end;\nprocedure Register; begin end;\nbegin Init; end.",
         "D[TH TR Register] R[TObject=1/0 Integer=1/0 a=1/0 b=1/0 TR=2/0 r=1/0 Create=0/1 Init=0/1] F[ init ctor register helper operator ] U[]"},
        {"every branch, directive names, qualifications and marks",
         "unit U; interface uses {$IFDEF X} A, {$ELSE} B, {$ENDIF} C // unitrace: keep\n;\n"
         "{$IFDEF W} uses W; {$ELSE} uses V, {$ENDIF} C2; const X = 1;\n"
         "implementation {$IF Declared(Foo) and Defined(BAR)} {$I none.inc} {$ENDIF}\n"
         "initialization Vcl.Forms.Application.Run; System.Exit; end.",
         "D[X] R[Foo=0/1 Vcl=0/1 Vcl.Forms=0/1 Vcl.Forms.Application=0/1 Vcl.Forms.Application.Run=0/1 System=0/1] F[ init ] U[A+!?1 B+!?1 C+!1 W+?3 V+?3 C2+3]"},
        {"a macro declares and references what it stands for",
         "unit U; interface {$define TName := TProcess} type TName = class end;\n"
         "implementation var X: TName; end.",
         "D[TName TProcess] R[TProcess=1/1 TName=0/1] F[ ] U[]"},
        {"a program's list with in clauses and its body",
         "program P(Input);\nuses Forms, Main in 'Main.pas' {Form1},\n  Util;\nbegin Application.Run; Util.Go; end.",
         "D[] R[Application=0/1 Util=0/1] F[ ] U[Forms+2 Main+in2 Util+3]"},
        {"a malformed token ends the reading with what was read",
         "unit U; interface const S = 'open\nimplementation",
         "D[S] R[] F[ ] U[] ! Error: \"Invalid string constant\" on line 1 of file @/main.pas"},
        // clang-format on
    };
    const TNameSet heads = {"Vcl"};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TSymbolOptions options;
        options.QualifierHeads = &heads;
        EXPECT_EQ(Rooted(Outcome(ReadUnitSymbols(Write("main.pas", c.source), options))),
                  uttest::NativeRooted(c.expected));
    }
}

// Include files are read where they stand (every branch), counted at their own lines; forms
// and missing includes are noted; a file including itself is read once.
TEST_F(SymbolRead, IncludeFilesAndForms) {
    Write("inc/a.inc", "\nFromInc; {$I a.inc}");
    const std::string source = Write("src/Frm.pas", "unit Frm; interface implementation\n"
                                                    "{$R *.dfm} {$IFDEF NEVER}{$I a.inc}{$ENDIF}\n"
                                                    "{$I gone.inc}\nend.");
    TSymbolOptions options;
    options.Includes = std::make_shared<TIncludeFinder>(
        std::make_shared<std::vector<std::string>>(1, Under("inc")));
    const TUnitSymbols s = ReadUnitSymbols(source, options);
    EXPECT_EQ(Outcome(s), "D[] R[FromInc=0/1] F[ ] U[]");
    EXPECT_EQ(s.Files, (std::vector<std::string>{source, Under("inc/a.inc")}));
    EXPECT_EQ(s.References[0].First[1].File, 1u);
    EXPECT_EQ(s.References[0].First[1].Line, 2);
    EXPECT_EQ(s.FormFiles, std::vector<std::string>{Under("src/Frm.dfm")});
    EXPECT_EQ(s.MissingIncludes, std::vector<std::string>{"gone.inc"});
}

// 100,000 declarations and blocks nested 100,000 deep: read in one pass, on no native stack.
TEST_F(SymbolRead, HugeAndDeepSources) {
    std::string source = "unit U; interface const\n";
    for (int i = 0; i < 100000; ++i)
        source += "C" + std::to_string(i) + " = (((1)));\n";
    source += "implementation procedure P;\n" + std::string(100000, '\n');
    for (int i = 0; i < 100000; ++i)
        source += "begin case X of 1: [(\n";
    for (int i = 0; i < 100000; ++i)
        source += ")] end end\n";
    // The main block is told only when every block before it closed where it should.
    const TUnitSymbols s = ReadUnitSymbols(Write("main.pas", source + "; begin end."));
    EXPECT_EQ(s.Failure, "");
    EXPECT_EQ(s.Declarations.front() + " " + s.Declarations.back(), "C0 C99999");
    EXPECT_TRUE(s.Initialization);
}

} // namespace
