#include "site/assets.h"

#include <string>

namespace ramulet {

// Long pages stay smooth: the code is cut into chunks the browser lays out
// only when they come near the view (content-visibility), each as tall as
// its lines until then. A chunk contains its styles, so each one starts its
// line counter where it begins (ChunkCounterStyles).
const std::string_view kSiteStylesheet = R"css(:root {
  --fg: #1d232b; --muted: #69737f; --bg: #fff; --side: #f5f6f8; --rule: #dde1e6;
  --kw: #7a2eb8; --str: #a33b00; --com: #2f7d32; --dir: #8a6d00; --link: #0b57d0; --mark: #fff4c2;
}
* { box-sizing: border-box; }
body { margin: 0; font: 14px/1.45 system-ui, sans-serif; color: var(--fg); background: var(--bg); }
a { color: var(--link); text-decoration: none; }
a:hover { text-decoration: underline; }
header.top { padding: 10px 16px; border-bottom: 1px solid var(--rule); background: var(--side); }
header.top h1 { font-size: 18px; margin: 0 0 2px; }
.meta, .count { color: var(--muted); }
.page { display: grid; grid-template-columns: minmax(280px, 32%) 1fr; }
aside { background: var(--side); border-right: 1px solid var(--rule); padding: 8px 12px;
  overflow: auto; height: calc(100vh - 58px); position: sticky; top: 0; }
aside h2, .index h2 { font-size: 14px; margin: 14px 0 4px; text-transform: uppercase; color: var(--muted); }
aside ul { list-style: none; padding-left: 0; margin: 0; }
aside ul ul { padding-left: 14px; }
aside li { margin: 2px 0; overflow-wrap: anywhere; }
.exp { font-size: 11px; color: var(--com); margin-left: 4px; }
.kind { font-size: 11px; color: var(--muted); margin-left: 4px; }
.sites a { margin-right: 4px; font-size: 12px; }
main.code { font: 13px/18px ui-monospace, "DejaVu Sans Mono", monospace; overflow-x: auto; padding: 6px 0; }
aside ul.group { content-visibility: auto; contain-intrinsic-size: auto 1800px; }
.chunk { content-visibility: auto; contain-intrinsic-size: auto 4608px; }
.chunk.last { contain-intrinsic-size: auto none; }
main.code p { margin: 0; white-space: pre; padding-left: 7ch; position: relative; min-height: 18px;
  counter-increment: line; }
main.code p::before { content: counter(line); position: absolute; left: 0; width: 6ch;
  text-align: right; color: var(--muted); user-select: none; }
main.code p:target { background: var(--mark); }
main.code p.h { background: #eef3ff; }
main.code b { color: var(--kw); font-weight: 600; }
main.code s { color: var(--str); text-decoration: none; }
main.code i { color: var(--com); }
main.code u { color: var(--dir); text-decoration: none; }
#tree details > summary, #tree-box > summary { cursor: pointer; }
#tree-box > summary h2 { display: inline; }
#tree ul { padding-left: 14px; }
svg.hood { width: 100%; height: auto; margin-top: 6px; }
svg.hood text { font: 11px sans-serif; fill: var(--fg); }
svg.hood rect { fill: #fff; stroke: #9aa4b1; }
svg.hood rect.self { fill: #e8f0ff; stroke: var(--link); }
svg.hood line { stroke: #9aa4b1; }
.index { padding: 8px 16px 40px; max-width: 1100px; }
.index table { border-collapse: collapse; width: 100%; margin-bottom: 8px; }
.index th, .index td { text-align: left; padding: 2px 8px; border-bottom: 1px solid var(--rule); }
.index td.n, .index th.n { text-align: right; font-variant-numeric: tabular-nums; }
#search { width: 100%; max-width: 520px; font: inherit; padding: 6px 8px; }
#results { list-style: none; padding-left: 0; }
#results li { padding: 2px 0; }
)css";

// Search over every method of the configuration (prefix, word starts such
// as "ПЗР" for ПолучитьЗначениеРеквизита, substring; best first), and the
// call tree of a module page, whose levels are made when first opened.
const std::string_view kSiteScript = R"js((function () {
  'use strict';

  function initials(name) {
    var out = '';
    for (var i = 0; i < name.length; i++) {
      var c = name.charAt(i), prev = i > 0 ? name.charAt(i - 1) : '';
      var upper = c !== c.toLowerCase();
      if (i === 0 || prev === '_' || (upper && prev === prev.toLowerCase() && prev !== prev.toUpperCase())) out += c;
    }
    return out.toUpperCase();
  }

  function setUpSearch() {
    var field = document.getElementById('search');
    var list = document.getElementById('results');
    if (!field || !list || typeof RAMULET_SEARCH === 'undefined') return;
    var data = RAMULET_SEARCH, names = data.names.split('\n'), folded = null, starts = null;
    function prepare() {
      folded = names.map(function (n) { return n.toUpperCase(); });
      starts = names.map(initials);
    }
    function show() {
      var query = field.value.trim().toUpperCase();
      list.textContent = '';
      if (!query) return;
      if (!folded) prepare();
      var found = [];
      for (var i = 0; i < names.length; i++) {
        var rank = folded[i].indexOf(query) === 0 ? 0 : starts[i].indexOf(query) === 0 ? 1 :
                   folded[i].indexOf(query) > 0 ? 2 : -1;
        if (rank >= 0) found.push([rank, names[i].length, i]);
      }
      found.sort(function (a, b) { return a[0] - b[0] || a[1] - b[1] || a[2] - b[2]; });
      var shown = Math.min(found.length, 50);
      for (var k = 0; k < shown; k++) {
        var at = found[k][2], module = data.module[at];
        var item = document.createElement('li');
        var link = document.createElement('a');
        link.href = 'm' + module + '.html#M' + data.method[at];
        link.textContent = names[at];
        var where = document.createElement('span');
        where.className = 'kind';
        where.textContent = data.modules[module];
        item.appendChild(link);
        item.appendChild(where);
        list.appendChild(item);
      }
      var note = document.getElementById('found');
      if (note) note.textContent = found.length ? found.length + (found.length > shown ? ' (first ' + shown + ' shown)' : '') : 'nothing found';
    }
    field.addEventListener('input', show);
    if (field.value) show();
  }

  function setUpTree() {
    var box = document.getElementById('tree-box');
    if (!box) return;
    box.addEventListener('toggle', function () {
      if (box.open && !box.made) {
        box.made = true;
        makeTree(document.getElementById('tree'));
      }
    });
  }

  function makeTree(tree) {
    var methods = tree.getAttribute('data-methods'), counts = tree.getAttribute('data-children');
    if (!methods) return;
    methods = methods.split(',').map(Number);
    counts = counts.split(',').map(Number);
    var names = JSON.parse(tree.getAttribute('data-names'));
    var roots = Number(tree.getAttribute('data-roots'));
    // Nodes are stored breadth first, each node's children together.
    var first = new Array(methods.length), next = roots;
    for (var i = 0; i < methods.length; i++) { first[i] = next; next += counts[i]; }
    function item(node) {
      var li = document.createElement('li');
      var link = document.createElement('a');
      link.href = '#M' + methods[node];
      link.textContent = names[methods[node]];
      if (!counts[node]) { li.appendChild(link); return li; }
      var details = document.createElement('details');
      var summary = document.createElement('summary');
      summary.appendChild(link);
      details.appendChild(summary);
      details.addEventListener('toggle', function () {
        if (!details.open || details.childNodes.length > 1) return;
        var ul = document.createElement('ul');
        for (var c = first[node]; c < first[node] + counts[node]; c++) ul.appendChild(item(c));
        details.appendChild(ul);
      });
      li.appendChild(details);
      return li;
    }
    var top = document.createElement('ul');
    for (var r = 0; r < roots && r < methods.length; r++) top.appendChild(item(r));
    tree.appendChild(top);
  }

  setUpSearch();
  setUpTree();
})();
)js";

std::string ChunkCounterStyles(int32_t chunks, int32_t chunk_lines) {
  std::string styles;
  for (int32_t chunk = 0; chunk < chunks; ++chunk) {
    styles += ".c" + std::to_string(chunk) + " { counter-reset: line " + std::to_string(chunk * chunk_lines) + "; }\n";
  }
  return styles;
}

}  // namespace ramulet
