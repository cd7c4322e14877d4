// The fixed parts of the HTML report: its style, its sections and the script that fills them
// from the data the writer puts between them. Nothing is fetched: the page works offline.
#include "report/HtmlReport.h"

namespace ut::report {

const char* const HtmlPageHead = R"page(<!DOCTYPE html>
<html lang="en"><head><meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>)page";

const char* const HtmlPageBody = R"page(</title>
<style>
body{font:14px/1.4 system-ui,sans-serif;margin:0;color:#222;background:#f6f7f9}
header{background:#2d3e50;color:#fff;padding:12px 20px}
h1{font-size:20px;margin:0}h2{font-size:17px;margin:22px 0 8px}h3{font-size:14px;margin:8px 0 2px}
main{padding:0 20px 40px}
.cards{display:flex;gap:12px;flex-wrap:wrap}
.card{background:#fff;border:1px solid #d8dbe0;border-radius:6px;padding:8px 14px;min-width:110px}
.card b{display:block;font-size:22px}
table{border-collapse:collapse;background:#fff}
th,td{border:1px solid #d8dbe0;padding:2px 8px;text-align:left;white-space:nowrap}
td.n{text-align:right;font-variant-numeric:tabular-nums}
th{position:sticky;top:0;background:#e8ecf4}
th[data-key]{cursor:pointer;user-select:none}
th[aria-sort=ascending]::after{content:" \25B2"}th[aria-sort=descending]::after{content:" \25BC"}
.scroll{max-height:460px;overflow:auto;display:inline-block;max-width:100%;border:1px solid #d8dbe0}
.cycle{color:#c05a00}.icycle{color:#c00000}
#matrix-groups{list-style:none;padding:0;margin:0 0 8px;display:flex;flex-wrap:wrap;gap:4px}
#matrix-groups button{font:inherit;cursor:pointer;background:#fff;border:1px solid #b8bec8;border-radius:4px}
#matrix-view{position:relative;overflow:auto;max-width:100%;border:1px solid #b8bec8;background:#fff}
#matrix{position:sticky;top:0;left:0;display:block}
#matrix-space{position:absolute;top:0;left:0}
.key{display:inline-block;width:12px;height:12px;vertical-align:middle;margin:0 4px 0 10px}
#cell-entries{font-family:monospace;white-space:pre;margin:6px 0}
#treemap{position:relative;background:#fff;border:1px solid #b8bec8}
#treemap div{position:absolute;box-sizing:border-box;border:1px solid #fff;overflow:hidden;
font-size:11px;padding:0 3px;color:#fff;white-space:nowrap}
.hidden{display:none}
</style></head><body>
<header><h1 id="title"></h1><div id="subtitle"></div></header>
<main>
<section id="summary"><h2>Summary</h2><div class="cards" id="cards"></div><p id="not-found"></p></section>
<section id="units"><h2>Units</h2><div class="scroll"><table id="unit-table"><thead><tr></tr></thead><tbody></tbody></table></div></section>
<section id="cycles"><h2>Cycles</h2><div id="cycle-list"></div></section>
<section id="matrix-section"><h2>Dependency matrix</h2>
<p>A row uses its column; units after what they use, a cycle outlined in red. Groups by folder:
a click on a group (or its row) opens or closes it.<span class="key" style="background:#3b6fb6"></span>interface
<span class="key" style="background:#e0922f"></span>implementation</p>
<ul id="matrix-groups"></ul>
<div id="matrix-view"><div id="matrix-space"></div><canvas id="matrix"></canvas></div>
<div id="cell-entries"></div></section>
<section id="hygiene" class="hidden"><h2>Uses hygiene</h2><div class="scroll"><table id="hygiene-table">
<thead><tr><th>Unit</th><th>Uses</th><th>Verdict</th><th>Why</th><th>Where</th></tr></thead><tbody></tbody></table></div></section>
<section id="treemap-section" class="hidden"><h2>Exclusive sizes</h2>
<p>Each unit holds the units only it brings into the program; areas are bytes. Units too small
to draw are left out.</p><div id="treemap"></div></section>
</main>
)page";

const char* const HtmlPageScript = R"page(<script>
(function () {
"use strict";
const D = JSON.parse(document.getElementById("data").textContent);
const U = D.units, S = D.summary, N = U.length;
const $ = id => document.getElementById(id);
function el(tag, cls, text) {
  const e = document.createElement(tag);
  if (cls) e.className = cls;
  if (text != null) e.textContent = text;
  return e;
}
const fmt = n => n == null ? "" : n.toLocaleString("en-US");
const name = v => U[v][0];

$("title").textContent = "Uni-Trace: " + D.project;
if (!D.completed) $("subtitle").textContent = "The scan did not complete: what follows is partial.";
[["Units", fmt(S.units)], ["Not found", fmt(S.notFound)], ["Cycles", fmt(S.cycles)],
 ["Interface cycles", fmt(S.interfaceCycles)],
 ["Total size", S.totalSize == null ? "unknown" : fmt(S.totalSize) + " bytes"]].forEach(([k, v]) => {
  const c = el("div", "card");
  c.append(el("b", null, v), k);
  $("cards").append(c);
});
if (D.notFound.length) $("not-found").textContent = "Not found: " + D.notFound.join(", ");

// The units table: a click on a header sorts by it, numbers largest first, again reverses.
const cols = [["Unit", 0, 0], ["Folder", 1, 0], ["Size", 2, 1], ["Exclusive", 3, 1],
  ["Recompile", 4, 1], ["Level", 5, 1], ["Fan-in", 6, 1], ["Fan-out", 7, 1]]
  .filter(c => c[1] !== 4 || D.recompile);
const table = $("unit-table"), head = table.tHead.rows[0], body = table.tBodies[0];
for (const [title, key, num] of cols) {
  const th = el("th", null, title);
  th.dataset.key = key;
  th.dataset.num = num;
  head.append(th);
}
let order = U.map((_, i) => i);
function fillTable() {
  const rows = document.createDocumentFragment();
  for (const i of order) {
    const r = U[i], tr = el("tr");
    for (const [, key, num] of cols) {
      const td = el("td", num ? "n" : null, num ? fmt(r[key]) : r[key]);
      if (key === 0 && r[8] >= 0) td.className = D.cycles[r[8]].interface ? "icycle" : "cycle";
      tr.append(td);
    }
    rows.append(tr);
  }
  body.replaceChildren(rows);
}
head.addEventListener("click", e => {
  const th = e.target.closest("th");
  if (!th) return;
  const key = +th.dataset.key, num = th.dataset.num === "1";
  const was = th.getAttribute("aria-sort");
  const desc = was ? was === "ascending" : num;
  for (const h of head.cells) h.removeAttribute("aria-sort");
  th.setAttribute("aria-sort", desc ? "descending" : "ascending");
  const cmp = num ? (a, b) => (U[a][key] ?? -1) - (U[b][key] ?? -1)
                  : (a, b) => U[a][key].localeCompare(U[b][key], "en", {sensitivity: "base"});
  order.sort((a, b) => (desc ? -cmp(a, b) : cmp(a, b)) || a - b);
  fillTable();
});
fillTable();

// Cycles with their cuts.
const cycleList = $("cycle-list");
if (!D.cycles.length) cycleList.textContent = "No cycles among the " + fmt(N) + " units.";
D.cycles.forEach((c, i) => {
  const n = c.units.length;
  cycleList.append(el("h3", c.interface ? "icycle" : "cycle", (i + 1) + ": " + n +
    (n === 1 ? " unit" : " units") + (c.interface
      ? ", a circular unit reference: the compiler rejects it" : ", through implementation uses")));
  // A long cycle shows its first units; the rest open on a click.
  if (n <= 30) cycleList.append(el("div", null, c.units.map(name).join(", ")));
  else {
    const more = el("details"), head = el("summary", null, c.units.slice(0, 30).map(name).join(", ") +
      ", and " + fmt(n - 30) + " more");
    more.append(head, el("div", null, c.units.slice(30).map(name).join(", ")));
    cycleList.append(more);
  }
  if (c.cuts) cycleList.append(el("div", null, "Cut: " + c.cuts.map(e => name(e[0]) + " -> " +
    name(e[1]) + (e[2] ? " (interface)" : " (implementation)")).join("; ")));
});

// The matrix: lines are groups (closed) or their units (open); only visible cells drawn.
const M = D.matrix, G = M.groups;
const open = G.map(() => N <= 300);
const lineOf = new Int32Array(N);
let lines = [], rows = [], blocks = [], hover = [-1, -1];
const view = $("matrix-view"), canvas = $("matrix"), space = $("matrix-space");
const ctx = canvas.getContext("2d");
const HH = 46;
let C = 18;
ctx.font = "12px sans-serif";
let HW = 120;
// Room for a unit's name and, on an open group's first row, the group's name beside it.
for (const g of G) {
  let widest = 0;
  for (const v of g.members) widest = Math.max(widest, ctx.measureText(name(v)).width);
  HW = Math.max(HW, ctx.measureText(g.name).width + Math.max(widest + 30, 90) + 40);
}
HW = Math.min(Math.ceil(HW), 320);
const buttons = G.map((g, i) => {
  const b = el("button");
  b.dataset.group = i;
  b.addEventListener("click", () => toggle(i));
  const li = el("li");
  li.append(b);
  $("matrix-groups").append(li);
  return b;
});
function toggle(g) { open[g] = !open[g]; layout(); }
function layout() {
  lines = [];
  G.forEach((g, i) => {
    if (open[i]) for (const v of g.members) lines.push([i, v]);
    else lines.push([i, -1]);
  });
  lines.forEach(([g, v], i) => {
    if (v >= 0) lineOf[v] = i; else for (const m of G[g].members) lineOf[m] = i;
  });
  rows = lines.map(() => new Map());
  for (const [f, t, itf] of M.edges) {
    const row = rows[lineOf[f]], c = lineOf[t];
    let x = row.get(c);
    if (!x) row.set(c, x = [0, 0]);
    x[itf ? 0 : 1]++;
  }
  // Cells as wide as their largest count.
  let most = 0;
  for (const row of rows) for (const [itf, imp] of row.values()) most = Math.max(most, itf + imp);
  ctx.font = "10px sans-serif";
  C = Math.max(18, Math.ceil(ctx.measureText(String(most)).width) + 6);
  blocks = [];
  const span = new Map();
  lines.forEach(([g], i) => {
    const c = G[g].cycle;
    if (c < 0) return;
    if (!span.has(c)) span.set(c, [i, i]);
    span.get(c)[1] = i;
  });
  for (const [a, b] of span.values()) blocks.push([a, b]);
  for (const c of D.cycles) {
    let lo = Infinity, hi = -1, own = true;
    for (const v of c.units) {
      const i = lineOf[v];
      if (lines[i][1] < 0) { own = false; break; }
      lo = Math.min(lo, i); hi = Math.max(hi, i);
    }
    if (own && hi - lo + 1 === c.units.length) blocks.push([lo, hi]);
  }
  buttons.forEach((b, i) => {
    b.setAttribute("aria-expanded", open[i]);
    b.textContent = (open[i] ? "\u25BE " : "\u25B8 ") + G[i].name + " (" + G[i].members.length + ")";
  });
  canvas.dataset.lines = lines.length;
  const full = lines.length * C;
  space.style.width = HW + full + "px";
  space.style.height = HH + full + "px";
  view.style.height = Math.min(HH + full + 20, 620) + "px";
  canvas.width = view.clientWidth;
  canvas.height = view.clientHeight;
  draw();
}
function lineText(i) {
  const [g, v] = lines[i];
  return v < 0 ? "\u25B8 " + G[g].name + " (" + G[g].members.length + ")" : "   " + name(v);
}
function draw() {
  const w = canvas.width, h = canvas.height, sx = view.scrollLeft, sy = view.scrollTop;
  const n = lines.length;
  const r0 = Math.floor(sy / C), r1 = Math.min(n - 1, Math.floor((sy + h - HH) / C));
  const c0 = Math.floor(sx / C), c1 = Math.min(n - 1, Math.floor((sx + w - HW) / C));
  const X = c => HW + c * C - sx, Y = r => HH + r * C - sy;
  ctx.fillStyle = "#fff";
  ctx.fillRect(0, 0, w, h);
  ctx.save();
  ctx.beginPath();
  ctx.rect(HW, HH, w - HW, h - HH);
  ctx.clip();
  ctx.fillStyle = "#eceef2";
  for (let i = Math.max(r0, c0); i <= Math.min(r1, c1); i++) ctx.fillRect(X(i), Y(i), C, C);
  ctx.fillStyle = "rgba(255,200,0,0.22)";
  if (hover[0] >= 0) ctx.fillRect(HW, Y(hover[0]), w, C);
  if (hover[1] >= 0) ctx.fillRect(X(hover[1]), HH, C, h);
  ctx.font = "10px sans-serif";
  ctx.textAlign = "center";
  ctx.textBaseline = "middle";
  for (let r = r0; r <= r1; r++) {
    for (const [c, [itf, imp]] of rows[r]) {
      if (c < c0 || c > c1) continue;
      const x = X(c) + 1, y = Y(r) + 1, s = C - 2;
      ctx.fillStyle = itf ? "#3b6fb6" : "#e0922f";
      ctx.fillRect(x, y, s, s);
      if (itf && imp) {
        ctx.fillStyle = "#e0922f";
        ctx.beginPath();
        ctx.moveTo(x + s, y); ctx.lineTo(x + s, y + s); ctx.lineTo(x, y + s);
        ctx.fill();
      }
      ctx.fillStyle = "#fff";
      ctx.fillText(String(itf + imp), x + s / 2, y + s / 2 + 1);
    }
  }
  ctx.strokeStyle = "#b8bec8";
  ctx.lineWidth = 1;
  lines.forEach(([g, v], i) => {
    if (i === 0 || lines[i - 1][0] === g || i < r0 - 1 && i < c0 - 1) return;
    ctx.beginPath();
    ctx.moveTo(HW, Y(i) + 0.5); ctx.lineTo(w, Y(i) + 0.5);
    ctx.moveTo(X(i) + 0.5, HH); ctx.lineTo(X(i) + 0.5, h);
    ctx.stroke();
  });
  ctx.strokeStyle = "#d00000";
  ctx.lineWidth = 2;
  for (const [a, b] of blocks) ctx.strokeRect(X(a) + 1, Y(a) + 1, (b - a + 1) * C - 2, (b - a + 1) * C - 2);
  ctx.restore();
  ctx.fillStyle = "#222";
  ctx.save();
  ctx.beginPath(); ctx.rect(0, HH, HW, h - HH); ctx.clip();
  ctx.textAlign = "left";
  ctx.textBaseline = "middle";
  for (let r = Math.max(r0, 0); r <= r1; r++) {
    ctx.font = (lines[r][1] < 0 ? "bold " : "") + "12px sans-serif";
    ctx.fillStyle = r === hover[0] ? "#9a6a00" : "#222";
    ctx.fillText((r + 1) + " " + lineText(r), 4, Y(r) + C / 2);
    const [g, v] = lines[r];
    if (v >= 0 && (r === 0 || lines[r - 1][0] !== g)) {
      ctx.fillStyle = "#777";
      ctx.textAlign = "right";
      ctx.fillText(G[g].name, HW - 6, Y(r) + C / 2);
      ctx.textAlign = "left";
    }
  }
  ctx.restore();
  ctx.save();
  ctx.beginPath(); ctx.rect(HW, 0, w - HW, HH); ctx.clip();
  ctx.font = "10px sans-serif";
  ctx.textAlign = "right";
  ctx.textBaseline = "middle";
  for (let c = Math.max(c0, 0); c <= c1; c++) {
    ctx.save();
    ctx.translate(X(c) + C / 2, HH - 4);
    ctx.rotate(-Math.PI / 2);
    ctx.fillStyle = c === hover[1] ? "#9a6a00" : "#222";
    ctx.fillText(String(c + 1), 0, 0);
    ctx.restore();
  }
  ctx.restore();
}
function at(e) {
  const b = canvas.getBoundingClientRect(), x = e.clientX - b.left, y = e.clientY - b.top;
  const r = y < HH ? -1 : Math.floor((y - HH + view.scrollTop) / C);
  const c = x < HW ? -1 : Math.floor((x - HW + view.scrollLeft) / C);
  return [r < lines.length ? r : -1, c < lines.length ? c : -1];
}
view.addEventListener("scroll", draw);
canvas.addEventListener("mousemove", e => { hover = at(e); draw(); });
canvas.addEventListener("mouseleave", () => { hover = [-1, -1]; draw(); });
canvas.addEventListener("click", e => {
  const [r, c] = at(e);
  if (r >= 0 && c < 0) { toggle(lines[r][0]); return; }
  if (r < 0 || c < 0) return;
  const out = [];
  for (const [f, t, itf] of M.edges)
    if (lineOf[f] === r && lineOf[t] === c)
      out.push(name(f) + " -> " + name(t) + (itf ? "  (interface)" : "  (implementation)"));
  $("cell-entries").textContent = out.length ? out.join("\n") : "";
});
window.addEventListener("resize", layout);
layout();

// Hygiene verdicts, when they were judged.
if (D.hygiene) {
  $("hygiene").classList.remove("hidden");
  const tb = $("hygiene-table").tBodies[0];
  for (const [unit, used, verdict, why, file, line] of D.hygiene) {
    const tr = el("tr");
    for (const t of [unit, used, verdict, why, file + ":" + line]) tr.append(el("td", null, t));
    tb.append(tr);
  }
}

// The treemap of exclusive sizes, when the map file gave sizes.
if (D.treemap) {
  $("treemap-section").classList.remove("hidden");
  const t = $("treemap"), colours = ["#2f6f9f", "#4c8c4a", "#8e5ea2", "#b5651d"];
  t.style.width = D.treemap.width + "px";
  t.style.height = D.treemap.height + "px";
  for (const [v, depth, x, y, w, h, bytes] of D.treemap.rects) {
    const d = el("div", null, w > 40 && h > 12 ? name(v) : "");
    d.title = name(v) + ": " + fmt(bytes) + " bytes";
    d.style.cssText = "left:" + x + "px;top:" + y + "px;width:" + w + "px;height:" + h +
      "px;background:" + colours[depth % colours.length];
    t.append(d);
  }
}
})();
</script>
</body></html>
)page";

} // namespace ut::report
