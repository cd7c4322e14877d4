// The HTML report in a real browser: headless Chromium loads the page the program wrote, a
// script of the test clicks the table's headers and a group of the matrix, and the page as
// it then stands is read back. Chromium comes with scripts/install-deps.sh.
#include "CliCapture.h"
#include "platform/FileReader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/wait.h>

namespace {

// Put before the report's own script: records every error and console error, and once the
// page has loaded clicks as a user would and writes what it saw into the page.
const char* const Probe = R"probe(<script>
window.__errors = [];
window.addEventListener("error", e => window.__errors.push(String(e.message)));
const __error = console.error;
console.error = (...a) => { window.__errors.push(a.join(" ")); __error(...a); };
window.addEventListener("load", () => {
  const out = [];
  const header = t => [...document.querySelectorAll("#unit-table th")].find(h => h.textContent === t);
  const column = () => [...document.querySelectorAll("#unit-table tbody tr")].map(r => r.cells[0].textContent).join(" ");
  for (const t of ["Size", "Size", "Unit", "Recompile"]) {
    header(t).click();
    out.push(t + " " + header(t).getAttribute("aria-sort") + ": " + column());
  }
  const matrix = document.getElementById("matrix"), group = document.querySelector("#matrix-groups button");
  const before = group.textContent + " " + matrix.dataset.lines;
  group.click();
  out.push("group " + before + " to " + group.textContent + " " + matrix.dataset.lines +
           " expanded=" + group.getAttribute("aria-expanded"));
  const texts = s => [...document.querySelectorAll(s)].map(e => e.textContent).join(" | ");
  out.push("cut: " + texts("#cycle-list div + div"));
  out.push("hygiene: " + texts("#hygiene-table tbody tr"));
  out.push("errors: " + window.__errors.join(" | "));
  const pre = document.createElement("pre");
  pre.id = "probe";
  pre.textContent = out.join("\n");
  document.body.append(pre);
});
</script>)probe";

class HtmlReportBrowser : public uttest::ProjectDir {};

TEST_F(HtmlReportBrowser, LoadsWithoutErrorsSortsTheTableAndClosesAGroup) {
    ASSERT_EQ(std::system("command -v chromium >/dev/null"), 0)
        << "chromium is missing: scripts/install-deps.sh installs it";
    // lib/A and lib/B use each other; P uses both and Solo beside it.
    Write("P.dpr", "program P;\nuses A, B, Solo;\nbegin end.\n");
    Write("P.dof", "[Directories]\r\nSearchPath=lib\r\n");
    Write("Solo.pas", "unit Solo;\ninterface\nimplementation\nend.\n");
    Write("lib/A.pas", "unit A;\ninterface\nuses B;\nimplementation\nend.\n");
    Write("lib/B.pas", "unit B;\ninterface\nimplementation\nuses A;\nend.\n");
    Write("P.map", "Detailed map of segments\n\n"
                   " 0001:00000000 00000100 C=CODE S=.text G=(none) M=P ACBP=A9\n"
                   " 0001:00000100 00000040 C=CODE S=.text G=(none) M=A ACBP=A9\n"
                   " 0001:00000140 00000200 C=CODE S=.text G=(none) M=B ACBP=A9\n"
                   " 0001:00000340 00000010 C=CODE S=.text G=(none) M=Solo ACBP=A9\n");
    const std::string cd = "cd " + root + " && ";
    ASSERT_EQ(
        std::system((cd + UNITRACE_CLI + " --delphi 5.0 --hygiene --format html P.dpr >report.html")
                        .c_str()),
        0);
    std::string page = ut::LoadFileText(root + "/report.html");
    const size_t head = page.find("<head>");
    ASSERT_NE(head, std::string::npos);
    page.insert(head + 6, Probe);
    Write("probed.html", page);

    const std::string chromium =
        "timeout 120 chromium --headless --no-sandbox --disable-gpu --no-first-run "
        "--disable-background-networking --disable-component-update --disable-sync "
        "--user-data-dir=" +
        root + "/profile --enable-logging=stderr --v=0 --dump-dom file://" + root +
        "/probed.html >dom.html 2>browser.log";
    ASSERT_EQ(std::system((cd + chromium).c_str()), 0) << ut::LoadFileText(root + "/browser.log");
    const std::string dom = ut::LoadFileText(root + "/dom.html");
    const size_t at = dom.find("<pre id=\"probe\">");
    ASSERT_NE(at, std::string::npos) << dom.substr(0, 2000);
    EXPECT_EQ(dom.substr(at + 16, dom.find("</pre>", at) - at - 16),
              "Size descending: B P A Solo\n"
              "Size ascending: Solo A P B\n"
              "Unit ascending: A B P Solo\n"
              "Recompile descending: A B Solo P\n"
              "group \u25BE lib (2) 4 to \u25B8 lib (2) 3 expanded=false\n"
              "cut: Cut: B -&gt; A (implementation)\n"
              "hygiene: ABremovelib/A.pas:3 | BAremovelib/B.pas:4 | PAremoveP.dpr:2 | "
              "PBremoveP.dpr:2 | PSoloremoveP.dpr:2\n"
              "errors: ");
    // What the page logs to the console reaches Chromium's log.
    const std::string log = ut::LoadFileText(root + "/browser.log");
    EXPECT_EQ(log.find(":CONSOLE"), std::string::npos) << log;
}

} // namespace
