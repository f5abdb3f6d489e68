// SPDX-License-Identifier: Apache-2.0
#include "QORMRHtmlAssets.h"

const char* const kQORMRHtmlStyle = R"CSS(
body { font: 14px/1.45 system-ui, -apple-system, "Segoe UI", sans-serif; color: #1f2328; background: #fff;
  max-width: 1200px; margin: 1.5rem auto; padding: 0 1rem; }
h1 { font-size: 1.5rem; margin: 0 0 .3rem; }
h1 code { font-size: inherit; }
h2 { font-size: 1.15rem; margin: 1.2rem 0 .4rem; }
h3 { font-size: 1rem; margin: .8rem 0 .3rem; font-weight: 600; }
code { font-family: ui-monospace, "DejaVu Sans Mono", monospace; font-size: 13px; white-space: pre-wrap;
  word-break: break-all; }
.files code, .uuid { color: #57606a; }
.summary { display: flex; flex-wrap: wrap; gap: 2rem; align-items: flex-start; }
table { border-collapse: collapse; }
th, td { border: 1px solid #d0d7de; padding: 2px 8px; text-align: left; vertical-align: top; }
th { background: #f6f8fa; font-weight: 600; }
.counts td:not(:first-child) { text-align: right; min-width: 4em; }
.counts td.change { text-align: left; }
.fields { width: 100%; table-layout: fixed; margin: .3rem 0; }
.fields th:first-child { width: 16%; } .fields th:last-child { width: 12%; }
.fields th.value { width: 36%; }
tr.added td.new, .k-added > .fields td.new { background: #e6ffec; }
tr.deleted td.old, .k-deleted > .fields td.old { background: #ffebe9; }
tr.changed td.old, tr.changed td.new { background: #fff8c5; }
del { background: #ffcecb; text-decoration: line-through; text-decoration-color: #cf222e; }
ins { background: #aceebb; text-decoration: none; }
.chart text { font-size: 12px; fill: #1f2328; }
.chart rect.added { fill: #2da44e; } .chart rect.deleted { fill: #cf222e; }
.chart rect.changed { fill: #d4a72c; } .chart rect.moved { fill: #0969da; }
.tools { position: sticky; top: 0; background: #fff; padding: .5rem 0; display: flex; gap: .5rem;
  align-items: center; border-bottom: 1px solid #d0d7de; z-index: 1; }
#filter { flex: 1; font: inherit; padding: 4px 8px; }
details.section { border: 1px solid #d0d7de; border-radius: 6px; margin: .5rem 0; }
details.section > summary { cursor: pointer; padding: .4rem .7rem; background: #f6f8fa; border-radius: 6px; }
details.section[open] > summary { border-bottom: 1px solid #d0d7de; border-radius: 6px 6px 0 0; }
.body { padding: .3rem .8rem .6rem; }
.item { border-left: 3px solid #d0d7de; padding-left: .6rem; margin: .6rem 0; }
.tag { font-weight: 600; } .name { font-weight: 600; }
.status { color: #57606a; }
.k-added > summary .status, .k-added > h3 .status { color: #1a7f37; }
.k-deleted > summary .status, .k-deleted > h3 .status { color: #cf222e; }
.k-changed > summary .status, .k-changed > h3 .status { color: #9a6700; }
.k-moved > h3 .status { color: #0969da; }
.item.k-added { border-left-color: #2da44e; } .item.k-deleted { border-left-color: #cf222e; }
.item.k-changed { border-left-color: #d4a72c; } .item.k-moved { border-left-color: #0969da; }
ul.below { margin: .3rem 0; }
.none { font-size: 1.1rem; }
details.moves > summary { cursor: pointer; }
details.moves > summary h2, details.moves > summary h4 { display: inline; }
h4 { font-size: 1rem; margin: .8rem 0 .3rem; }
section.file { border-top: 2px solid #d0d7de; margin-top: 1.5rem; }
section.file > h2 code { font-size: inherit; }
.failure { color: #cf222e; }
.mark { font-size: 12px; font-weight: 600; padding: 0 6px; border-radius: 10px; white-space: nowrap; }
.mark.error { color: #fff; background: #cf222e; } .mark.warning { color: #1f2328; background: #eac54f; }
ul.marks { margin: .3rem 0; padding-left: 1.2rem; }
ul.marks li.error { color: #a40e26; } ul.marks li.warning { color: #7d4e00; }
#only { white-space: nowrap; }
.only-flagged .item:not(.flagged) { display: none; }
.counts.flagged { margin-top: .6rem; }
)CSS";

const char* const kQORMRHtmlScript = R"JS(
(function () {
  "use strict";
  // The sections of each place that shows them (one per document's report), in page order.
  var groups = JSON.parse(document.getElementById("report-data").textContent);
  var lists = document.querySelectorAll("main.sections");
  var filter = document.getElementById("filter");
  var onlyFlagged = document.getElementById("flagged-only");
  var shown = document.getElementById("shown");
  var OPEN_AT_START = 50;  // sections drawn open at once; the others when opened
  var entries = [];

  function make(tag, className, text) {
    var node = document.createElement(tag);
    if (className) node.className = className;
    if (text !== undefined && text !== null) node.textContent = text;
    return node;
  }

  function heading(element, container) {
    container.appendChild(make("span", "tag", element.t));
    if (element.n) { container.appendChild(document.createTextNode(" ")); container.appendChild(make("span", "name", element.n)); }
    if (element.u) { container.appendChild(document.createTextNode(" ")); container.appendChild(make("code", "uuid", element.u)); }
    container.appendChild(document.createTextNode(" "));
    container.appendChild(make("span", "status", element.s));
    marksOf(element).forEach(function (mark) {
      container.appendChild(document.createTextNode(" "));
      container.appendChild(make("span", "mark " + mark[0], mark[0] + " " + mark[1]));
    });
    return container;
  }

  // The changes a rule flags on an element: [severity, rule, message] each.
  function marksOf(element) { return element.r || []; }

  // Whether an element or anything in it is flagged.
  function flagged(element) { return marksOf(element).length > 0 || element.i.some(flagged); }

  // The value in a cell; from start to stop (in characters) marked with tag.
  function value(cell, text, start, stop, tag) {
    var chars = Array.from(text);
    var code = make("code", "v");
    code.appendChild(document.createTextNode(chars.slice(0, start).join("")));
    if (stop > start) code.appendChild(make(tag, null, chars.slice(start, stop).join("")));
    code.appendChild(document.createTextNode(chars.slice(Math.max(start, stop)).join("")));
    cell.appendChild(code);
  }

  // Old and new side by side, the part between their common start and end marked.
  function changedPair(oldCell, newCell, oldText, newText) {
    var a = Array.from(oldText), b = Array.from(newText);
    var start = 0;
    while (start < a.length && start < b.length && a[start] === b[start]) start++;
    var end = 0;
    while (end < a.length - start && end < b.length - start && a[a.length - 1 - end] === b[b.length - 1 - end]) end++;
    value(oldCell, oldText, start, a.length - end, "del");
    value(newCell, newText, start, b.length - end, "ins");
  }

  var KINDS = { " ": "same", "~": "changed", "+": "added", "-": "deleted" };

  function fieldTable(fields) {
    var table = make("table", "fields");
    var head = make("tr");
    ["field", "old", "new", "change"].forEach(function (title, i) {
      head.appendChild(make("th", i === 1 || i === 2 ? "value" : null, title));
    });
    table.appendChild(head);
    fields.forEach(function (field) {
      var kind = KINDS[field[0]];
      var row = make("tr", kind);
      row.appendChild(make("td", "field")).appendChild(make("code", null, field[1]));
      var oldCell = row.appendChild(make("td", "old"));
      var newCell = row.appendChild(make("td", "new"));
      if (kind === "changed") {
        changedPair(oldCell, newCell, field[2], field[3]);
      } else {
        if (field[2] !== null) value(oldCell, field[2], 0, 0, null);
        if (field[3] !== null) value(newCell, field[3], 0, 0, null);
      }
      row.appendChild(make("td", "change", field[4] || kind));
      table.appendChild(row);
    });
    return table;
  }

  function nodeList(nodes) {
    var ul = make("ul", "below");
    nodes.forEach(function (node) {
      var li = ul.appendChild(make("li"));
      if (node.e !== undefined) {
        li.appendChild(document.createTextNode("element "));
        li.appendChild(make("code", null, node.e));
        var fields = li.appendChild(make("ul"));
        node.f.forEach(function (field) {
          var item = fields.appendChild(make("li", null, "field "));
          item.appendChild(make("code", null, field[0]));
          item.appendChild(document.createTextNode(": "));
          item.appendChild(make("code", "v", field[1]));
        });
        if (node.c.length) li.appendChild(nodeList(node.c));
      } else {
        var what = node.m !== undefined ? "comment: " : node.p !== undefined ? "instruction " + node.p + ": " : "text: ";
        li.appendChild(document.createTextNode(what));
        li.appendChild(make("code", "v", node.m !== undefined ? node.m : node.x));
      }
    });
    return ul;
  }

  function fill(element, container) {
    if (marksOf(element).length) {
      var list = container.appendChild(make("ul", "marks"));
      marksOf(element).forEach(function (mark) {
        list.appendChild(make("li", mark[0], mark[0] + " " + mark[1] + ": " + mark[2]));
      });
    }
    if (element.f.length) container.appendChild(fieldTable(element.f));
    if (element.b.length) container.appendChild(nodeList(element.b));
    element.i.forEach(function (item) {
      var block = container.appendChild(make("div", "item k-" + item.k + (flagged(item) ? " flagged" : "")));
      heading(item, block.appendChild(make("h3")));
      fill(item, block);
    });
  }

  function words(data, out) {
    if (typeof data === "string") out.push(data);
    else if (data && typeof data === "object") Object.keys(data).forEach(function (key) { words(data[key], out); });
    return out;
  }

  groups.forEach(function (sections, group) {
    sections.forEach(function (section) {
      var details = make("details", "section k-" + section.k);
      heading(section, details.appendChild(make("summary")));
      var body = details.appendChild(make("div", "body"));
      var entry = { section: section, details: details, drawn: false, text: null, flagged: flagged(section) };
      entry.draw = function () {
        if (entry.drawn) return;
        entry.drawn = true;
        fill(section, body);
      };
      details.addEventListener("toggle", function () { if (details.open) entry.draw(); });
      if (entries.length < OPEN_AT_START) { entry.draw(); details.open = true; }
      lists[group].appendChild(details);
      entries.push(entry);
    });
  });

  // The filter's words and the switch for flagged changes together; only
  // flagged changes also hides the items of a section that are not.
  function applyFilter() {
    var query = filter.value.trim().toLowerCase();
    var flaggedOnly = onlyFlagged.checked;
    var count = 0;
    document.body.classList.toggle("only-flagged", flaggedOnly);
    entries.forEach(function (entry) {
      if (query && entry.text === null) entry.text = words(entry.section, []).join("\n").toLowerCase();
      var match = (!query || entry.text.indexOf(query) >= 0) && (!flaggedOnly || entry.flagged);
      entry.details.hidden = !match;
      if (match) count++;
    });
    shown.textContent = count + " of " + entries.length + " sections";
  }

  // #flagged in the page's address opens it showing only flagged changes,
  // and the switch keeps the address in step, so that the view can be shared.
  onlyFlagged.disabled = !entries.some(function (entry) { return entry.flagged; });
  onlyFlagged.checked = !onlyFlagged.disabled && location.hash === "#flagged";
  onlyFlagged.addEventListener("change", function () {
    try { history.replaceState(null, "", onlyFlagged.checked ? "#flagged" : location.pathname + location.search); }
    catch (e) { /* an address that cannot change (a sandboxed frame) */ }
    applyFilter();
  });
  filter.addEventListener("input", applyFilter);
  document.getElementById("expand").addEventListener("click", function () {
    entries.forEach(function (entry) { if (!entry.details.hidden) entry.details.open = true; });
  });
  document.getElementById("collapse").addEventListener("click", function () {
    entries.forEach(function (entry) { entry.details.open = false; });
  });
  applyFilter();
})();
)JS";
