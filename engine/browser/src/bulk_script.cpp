// The one-call page read. It gathers, for every element the reader's queries
// match, the facts the reader would ask Playwright for one by one, computed
// the way Playwright computes them for element handles:
//  - selector lists pierce open shadow roots and come back in composed-tree
//    order (an element, its light subtree, then its shadow tree); single
//    selectors look in the document first, then in each shadow root;
//  - visibility: display:contents looks at the children, otherwise
//    checkVisibility(), visibility:visible and a non-empty client rectangle;
//  - enabled state: retargeted to the enclosing button or the label's control,
//    native disabled (fieldsets outside their legend included) and
//    aria-disabled along the ancestor chain for roles that support it;
//  - inner text is refused for elements outside the HTML namespace;
//  - the box is null for elements without layout boxes.
// The answer is a JSON text in the compact layout MemoryPage reads as it
// comes: far cheaper to transfer than a structured result.
#include <string>

#include "tarnwick/browser/scripts.hpp"

namespace tarnwick::browser {

namespace {

std::string js_string(std::string_view s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

constexpr std::string_view kBody = R"JS(() => {
  const SELECTORS = [@MAIN@, @CUSTOM@, @LABELS@, @TEXT@];
  const precedingSiblingText = @SIBLING@;
  const parentEarlierChildText = @PARENT@;
  const HTML_NS = 'http://www.w3.org/1999/xhtml';
  const root = document.documentElement;

  const shadowRoots = [];
  const collectRoots = r => {
    for (const el of r.querySelectorAll('*'))
      if (el.shadowRoot) { shadowRoots.push(el.shadowRoot); collectRoots(el.shadowRoot); }
  };
  collectRoots(document);

  const lists = SELECTORS.map(() => []);
  if (!shadowRoots.length) {
    SELECTORS.forEach((s, q) => { lists[q] = Array.from(document.querySelectorAll(s)); });
  } else if (root) {
    const stack = [root];
    while (stack.length) {
      const el = stack.pop();
      for (let q = 0; q < SELECTORS.length; q++) if (el.matches(SELECTORS[q])) lists[q].push(el);
      const kids = [];
      for (let c = el.firstElementChild; c; c = c.nextElementSibling) kids.push(c);
      if (el.shadowRoot) for (let c = el.shadowRoot.firstElementChild; c; c = c.nextElementSibling) kids.push(c);
      for (let i = kids.length - 1; i >= 0; i--) stack.push(kids[i]);
    }
  }
  const firstMatch = sel => {
    const hit = document.querySelector(sel);
    if (hit) return hit;
    for (const r of shadowRoots) { const h = r.querySelector(sel); if (h) return h; }
    return null;
  };

  // One entry per element touched: its record of facts (once it has one)
  // and the style, rectangle, text and visibility read for it, shared by
  // every fact that needs them (nothing changes the page during the call).
  // One look-up per element instead of one per cache.
  const records = [];
  const nodes = new Map();
  const nodeOf = el => {
    let n = nodes.get(el);
    if (n === undefined) {
      n = { el, style: undefined, rect: undefined, text: undefined, vis: undefined, contents: undefined, r: undefined, id: -1 };
      nodes.set(el, n);
    }
    return n;
  };
  const recordOf = n => {
    if (n.r === undefined) { n.r = {}; n.id = records.length; records.push(n.r); }
    return n.r;
  };
  const idOf = el => { const n = nodeOf(el); recordOf(n); return n.id; };
  const styleOf = n => n.style === undefined ? (n.style = getComputedStyle(n.el)) : n.style;
  const rectOf = n => n.rect === undefined ? (n.rect = n.el.getBoundingClientRect()) : n.rect;
  const textOf = n => n.text === undefined ? (n.text = n.el.innerText) : n.text;
  const textNodeVisible = node => {
    const range = document.createRange();
    range.selectNode(node);
    const r = range.getBoundingClientRect();
    return r.width > 0 && r.height > 0;
  };
  // checkVisibility() with the visibility property is false exactly when
  // the element has no box (display:contents among others), is hidden by
  // an ancestor, or is not visibility:visible; so the computed style is only
  // read when it says no, to tell display:contents apart.
  const isContents = n => {
    if (n.contents === undefined) n.contents = styleOf(n).display === 'contents';
    return n.contents;
  };
  const isVisible = n => {
    if (n.vis !== undefined) return n.vis;
    const el = n.el;
    let v;
    if (el.checkVisibility({ visibilityProperty: true })) {
      n.contents = false;
      const r = rectOf(n);
      v = r.width > 0 && r.height > 0;
    } else if (isContents(n)) {
      v = false;
      for (let c = el.firstChild; c && !v; c = c.nextSibling)
        v = (c.nodeType === 1 && isVisible(nodeOf(c))) || (c.nodeType === 3 && textNodeVisible(c));
    } else {
      v = false;
    }
    n.vis = v;
    return v;
  };

  const safeTag = el => {
    const t = el.tagName;
    const c = t.charCodeAt(0);
    return c >= 97 && c <= 122 ? t.toUpperCase() : t;
  };
  const parentOrHost = el => el.parentElement || (el.parentNode && el.parentNode.nodeType === 11 ? el.parentNode.host : null);
  const ariaDisabledCache = new Map();
  const ariaDisabledInChain = el => {
    let v = ariaDisabledCache.get(el);
    if (v !== undefined) return v;
    const a = (el.getAttribute('aria-disabled') || '').toLowerCase();
    if (a === 'true') v = true;
    else if (a === 'false') v = false;
    else { const p = parentOrHost(el); v = p ? ariaDisabledInChain(p) : false; }
    ariaDisabledCache.set(el, v);
    return v;
  };
  const DISABLED_ROLES = new Set(['application', 'button', 'composite', 'gridcell', 'group', 'input', 'link', 'menuitem', 'scrollbar', 'separator', 'tab', 'checkbox', 'columnheader', 'combobox', 'grid', 'listbox', 'menu', 'menubar', 'menuitemcheckbox', 'menuitemradio', 'option', 'radio', 'radiogroup', 'row', 'rowheader', 'searchbox', 'select', 'slider', 'spinbutton', 'switch', 'tablist', 'textbox', 'toolbar', 'tree', 'treegrid', 'treeitem']);
  const VALID_ROLES = new Set(['alert', 'alertdialog', 'application', 'article', 'banner', 'blockquote', 'button', 'caption', 'cell', 'checkbox', 'code', 'columnheader', 'combobox', 'complementary', 'contentinfo', 'definition', 'deletion', 'dialog', 'directory', 'document', 'emphasis', 'feed', 'figure', 'form', 'generic', 'grid', 'gridcell', 'group', 'heading', 'img', 'insertion', 'link', 'list', 'listbox', 'listitem', 'log', 'main', 'mark', 'marquee', 'math', 'meter', 'menu', 'menubar', 'menuitem', 'menuitemcheckbox', 'menuitemradio', 'navigation', 'none', 'note', 'option', 'paragraph', 'presentation', 'progressbar', 'radio', 'radiogroup', 'region', 'row', 'rowgroup', 'rowheader', 'scrollbar', 'search', 'searchbox', 'separator', 'slider', 'spinbutton', 'status', 'strong', 'subscript', 'superscript', 'switch', 'tab', 'table', 'tablist', 'tabpanel', 'term', 'textbox', 'time', 'timer', 'toolbar', 'tooltip', 'tree', 'treegrid', 'treeitem']);
  const GLOBAL_ARIA = [['aria-atomic'], ['aria-busy'], ['aria-controls'], ['aria-current'], ['aria-describedby'], ['aria-details'], ['aria-dropeffect'], ['aria-flowto'], ['aria-grabbed'], ['aria-hidden'], ['aria-keyshortcuts'], ['aria-label', ['caption', 'code', 'deletion', 'emphasis', 'generic', 'insertion', 'paragraph', 'presentation', 'strong', 'subscript', 'superscript']], ['aria-labelledby', ['caption', 'code', 'deletion', 'emphasis', 'generic', 'insertion', 'paragraph', 'presentation', 'strong', 'subscript', 'superscript']], ['aria-live'], ['aria-owns'], ['aria-relevant'], ['aria-roledescription', ['generic']]];
  const hasGlobalAria = (el, role) => GLOBAL_ARIA.some(([a, no]) => !(no && no.includes(role || '')) && el.hasAttribute(a));
  const hasTabIndex = el => !Number.isNaN(Number(String(el.getAttribute('tabindex'))));
  const inDisabledFieldset = el => {
    const fs = el.closest('FIELDSET[DISABLED]');
    if (!fs) return false;
    const legend = fs.querySelector(':scope > LEGEND');
    return !legend || !legend.contains(el);
  };
  const nativelyDisabled = el => {
    const t = safeTag(el);
    return ['BUTTON', 'INPUT', 'SELECT', 'TEXTAREA', 'OPTION', 'OPTGROUP'].includes(t) &&
      (el.hasAttribute('disabled') || (t === 'OPTION' && !!el.closest('OPTGROUP[DISABLED]')) || inDisabledFieldset(el));
  };
  const nativelyFocusable = el => {
    const t = safeTag(el);
    if (['BUTTON', 'DETAILS', 'SELECT', 'TEXTAREA'].includes(t)) return true;
    if (t === 'A' || t === 'AREA') return el.hasAttribute('href');
    if (t === 'INPUT') return !el.hidden;
    return false;
  };
  const explicitRole = el => (el.getAttribute('role') || '').toLowerCase().split(' ').map(r => r.trim()).find(r => VALID_ROLES.has(r)) || null;
  const closestCrossShadow = (el, css) => {
    while (el) {
      const c = el.closest(css);
      if (c) return c;
      while (el.parentElement) el = el.parentElement;
      el = parentOrHost(el);
    }
    return null;
  };
  const INPUT_ROLES = { button: 'button', checkbox: 'checkbox', image: 'button', number: 'spinbutton', radio: 'radio', range: 'slider', reset: 'button', submit: 'button' };
  // Only roles that can carry aria-disabled matter here; other tags get a
  // placeholder role that is not one of them.
  const ownImplicitRole = el => {
    switch (safeTag(el)) {
      case 'A': case 'AREA': return el.hasAttribute('href') ? 'link' : null;
      case 'BUTTON': return 'button';
      case 'DATALIST': return 'listbox';
      case 'DETAILS': case 'FIELDSET': case 'OPTGROUP': return 'group';
      case 'HR': return 'separator';
      case 'IMG': return el.getAttribute('alt') === '' && !el.getAttribute('title') && !hasGlobalAria(el) && !hasTabIndex(el) ? 'presentation' : 'img';
      case 'INPUT': {
        const type = el.type.toLowerCase();
        if (['email', 'search', 'tel', 'text', 'url', ''].includes(type)) return type === 'search' ? 'searchbox' : 'textbox';
        if (type === 'hidden') return null;
        if (type === 'file') return 'button';
        return INPUT_ROLES[type] || 'textbox';
      }
      case 'LI': return 'listitem';
      case 'OPTION': return 'option';
      case 'SELECT': return el.multiple || el.size > 1 ? 'listbox' : 'combobox';
      case 'TD': {
        const table = closestCrossShadow(el, 'table');
        const role = table ? explicitRole(table) : '';
        return role === 'grid' || role === 'treegrid' ? 'gridcell' : 'cell';
      }
      case 'TEXTAREA': return 'textbox';
      case 'TH': {
        const scope = el.getAttribute('scope');
        if (scope === 'col' || scope === 'colgroup') return 'columnheader';
        if (scope === 'row' || scope === 'rowgroup') return 'rowheader';
        const next = el.nextElementSibling, prev = el.previousElementSibling;
        const row = el.parentElement && safeTag(el.parentElement) === 'TR' ? el.parentElement : undefined;
        if (!next && !prev) {
          if (row) { const table = closestCrossShadow(row, 'table'); if (table && table.rows.length <= 1) return null; }
          return 'columnheader';
        }
        const isTh = e => !!e && safeTag(e) === 'TH';
        const dataCell = e => !!e && safeTag(e) === 'TD' && !!((e.textContent || '').trim() || e.children.length > 0);
        if (isTh(next) && isTh(prev)) return 'columnheader';
        if (dataCell(next) || dataCell(prev)) return 'rowheader';
        return 'columnheader';
      }
      case 'TR': return 'row';
      case 'SVG': return 'img';
      case 'P': return 'paragraph';
      case 'CODE': return 'code';
      case 'DEL': return 'deletion';
      case 'EM': return 'emphasis';
      case 'INS': return 'insertion';
      case 'STRONG': return 'strong';
      case 'SUB': return 'subscript';
      case 'SUP': return 'superscript';
      case 'CAPTION': return 'caption';
      default: return 'other';
    }
  };
  const INHERIT = { DD: ['DL', 'DIV'], DIV: ['DL'], DT: ['DL', 'DIV'], LI: ['OL', 'UL'], TBODY: ['TABLE'], TD: ['TR'], TFOOT: ['TABLE'], TH: ['TR'], THEAD: ['TABLE'], TR: ['THEAD', 'TBODY', 'TFOOT', 'TABLE'] };
  const implicitRole = el => {
    const own = ownImplicitRole(el);
    if (!own) return null;
    for (let a = el; a;) {
      const p = parentOrHost(a);
      const parents = INHERIT[safeTag(a)];
      if (!parents || !p || !parents.includes(safeTag(p))) break;
      const pr = explicitRole(p);
      if ((pr === 'none' || pr === 'presentation') && !(hasGlobalAria(p, pr) || (!nativelyDisabled(p) && (nativelyFocusable(p) || hasTabIndex(p))))) return pr;
      a = p;
    }
    return own;
  };
  const ariaRole = el => {
    const explicit = explicitRole(el);
    if (!explicit) return implicitRole(el);
    if (explicit === 'none' || explicit === 'presentation') {
      const implicit = implicitRole(el);
      if (hasGlobalAria(el, implicit) || (!nativelyDisabled(el) && (nativelyFocusable(el) || hasTabIndex(el)))) return implicit;
    }
    return explicit;
  };
  const isEnabled = node => {
    let el = node;
    if (!el.matches('input, textarea, select') && !el.isContentEditable)
      el = el.closest('button, [role=button], [role=checkbox], [role=radio]') || el;
    if (!el.matches('a, input, textarea, button, select, option, optgroup, [role=link], [role=button], [role=checkbox], [role=radio]') && !el.isContentEditable) {
      const label = el.closest('label');
      if (label && label.control) el = label.control;
    }
    if (nativelyDisabled(el)) return false;
    return !(ariaDisabledInChain(el) && DISABLED_ROLES.has(ariaRole(el) || ''));
  };

  const positions = new Map();
  const positionOf = el => {
    let p = positions.get(el);
    if (p !== undefined) return p;
    const parent = el.parentNode;
    if (!parent) return 1;
    const counts = new Map();
    for (let c = parent.firstElementChild; c; c = c.nextElementSibling) {
      const n = (counts.get(c.tagName) || 0) + 1;
      counts.set(c.tagName, n);
      positions.set(c, n);
    }
    return positions.get(el);
  };
  // Tag names travel once, in a table; elements and paths give indices.
  const tagTable = [];
  const tagIds = new Map();
  const tagId = name => {
    let i = tagIds.get(name);
    if (i === undefined) { i = tagTable.length; tagTable.push(name); tagIds.set(name, i); }
    return i;
  };
  // Paths travel as a flat table of (back, tag, n) triples standing for
  // "/tag[n]" after the path of the entry `back` places earlier (the root's
  // back points just before the table): every ancestor is sent once instead
  // of once per descendant, and parents are mostly a few places back.
  const pathTable = [];
  const pathIds = new Map();
  let pathCount = 0;
  const pathIndex = el => {
    let i = pathIds.get(el);
    if (i !== undefined) return i;
    const parent = el.parentElement;
    const p = parent ? pathIndex(parent) : -1;
    i = pathCount++;
    pathTable.push(i - p, tagId(el.tagName.toLowerCase()), positionOf(el));
    pathIds.set(el, i);
    return i;
  };
  const paths = new Map();
  const pathOf = el => {
    let p = paths.get(el);
    if (p !== undefined) return p;
    const parent = el.parentElement;
    p = (parent ? pathOf(parent) : '') + '/' + el.tagName.toLowerCase() + '[' + positionOf(el) + ']';
    paths.set(el, p);
    return p;
  };

  const attributesOf = el => {
    const out = {};
    if (!el.hasAttributes()) return out;
    for (const a of el.attributes) out[a.name] = a.value;
    return out;
  };
  // A visible element always has a layout box; others may have none.
  const boxOf = n => {
    if (!isVisible(n) && (isContents(n) || !n.el.getClientRects().length)) return null;
    if (isContents(n)) return null;
    const r = rectOf(n);
    return [r.x, r.y, r.width, r.height];
  };
  // \S knows the same white space as trim(), without making a string.
  const hasDirectText = el => {
    for (let c = el.firstChild; c; c = c.nextSibling)
      if (c.nodeType === 3 && /\S/.test(c.data)) return true;
    return false;
  };
  // Facts are kept under one-letter keys, boxes as [x, y, width, height];
  // each is computed at most once per element, however many queries match it.
  const needVisible = (n, r) => { if (r.v === undefined) r.v = isVisible(n); return r.v; };
  const needEnabled = (n, r) => { if (r.e === undefined) r.e = isEnabled(n.el); };
  const needTag = (n, r) => { if (r.g === undefined) r.g = n.el.tagName.toLowerCase(); };
  const needText = (n, r) => { if (!('t' in r) && n.el.namespaceURI === HTML_NS) r.t = textOf(n); };
  const needBox = (n, r) => { if (r.b === undefined) r.b = boxOf(n); };
  const needAttributes = (n, r) => { if (r.a === undefined) r.a = attributesOf(n.el); };
  const needXPath = (n, r) => { if (r.x === undefined) r.x = pathIndex(n.el); };
  const needDirect = (n, r) => { if (r.d === undefined) r.d = hasDirectText(n.el); };
  const needNeighbours = (n, r) => {
    if (!('s' in r)) try { r.s = precedingSiblingText(n.el); } catch (e) {}
    if (!('p' in r)) try { r.p = parentEarlierChildText(n.el); } catch (e) {}
  };

  // label[for="…"] answered from one index of the labels, in the order a
  // selector query would find them: the document, then each shadow root.
  let labelsByFor = null;
  const labelFor = id => {
    if (!labelsByFor) {
      labelsByFor = new Map();
      for (const r of [document, ...shadowRoots])
        for (const l of r.querySelectorAll('label[for]')) {
          const f = l.getAttribute('for');
          if (!labelsByFor.has(f)) labelsByFor.set(f, l);
        }
    }
    return labelsByFor.get(id) || null;
  };
  const first = {};
  const lookUp = (sel, find) => {
    if (Object.prototype.hasOwnProperty.call(first, sel)) return;
    try {
      const hit = find();
      if (hit) { const n = nodeOf(hit); needText(n, recordOf(n)); first[sel] = n.id; } else first[sel] = null;
    } catch (e) {}
  };
  const fieldLabelFacts = (n, r) => {
    const el = n.el;
    needNeighbours(n, r);
    const by = el.getAttribute('aria-labelledby');
    if (by) { const sel = '#' + CSS.escape(by); lookUp(sel, () => firstMatch(sel)); }
    const id = el.getAttribute('id');
    if (id) {
      const sel = 'label[for="' + CSS.escape(id) + '"]';
      lookUp(sel, () => id.includes('\0') ? firstMatch(sel) : labelFor(id));
    }
  };
  const usable = b => b && b[2] > 0 && b[3] > 0;

  // Records are numbered in the order of the longest query first, so that
  // its answer (and much of the others') is a run of consecutive numbers.
  let longest = lists[0];
  for (const list of lists) if (list.length > longest.length) longest = list;
  for (const el of longest) idOf(el);
  for (const el of lists[0]) {
    const n = nodeOf(el), r = recordOf(n);
    needVisible(n, r); needEnabled(n, r); needTag(n, r); needText(n, r); needBox(n, r); needAttributes(n, r);
    if (!usable(r.b) || !('t' in r)) continue;
    if (!r.v && !r.a['aria-label'] && !r.a['title']) continue;
    needXPath(n, r);
    if (r.g === 'input' || r.g === 'textarea') fieldLabelFacts(n, r);
  }
  for (const el of lists[1]) {
    const n = nodeOf(el), r = recordOf(n);
    needTag(n, r); needAttributes(n, r); needBox(n, r); needVisible(n, r);
    if (!usable(r.b) || !r.v) continue;
    needXPath(n, r); needText(n, r);
    fieldLabelFacts(n, r);
  }
  for (const el of lists[2]) {
    const n = nodeOf(el), r = recordOf(n);
    if (needVisible(n, r)) { needText(n, r); needBox(n, r); }
  }
  for (const el of lists[3]) {
    const n = nodeOf(el), r = recordOf(n);
    if (needVisible(n, r)) {
      needText(n, r); needBox(n, r); needTag(n, r); needXPath(n, r); needAttributes(n, r); needDirect(n, r);
    }
  }

  const queries = {};
  // Answers go out as {d: [first, step, step, ...]}: mostly 1s.
  SELECTORS.forEach((s, q) => {
    const d = new Array(lists[q].length);
    let last = 0;
    lists[q].forEach((el, i) => { const id = idOf(el); d[i] = id - last; last = id; });
    queries[s] = { d };
  });
  const evaluate = {};
  // The clickable-container scan, as the page function does it, on the
  // shared caches.
  try {
    const items = [];
    const seen = new Set();
    for (const el of document.querySelectorAll('div, span, li, td')) {
      const n = nodeOf(el);
      if (styleOf(n).cursor !== 'pointer') continue;
      const text = ((el.namespaceURI === HTML_NS ? textOf(n) : el.innerText) || '').trim();
      if (!text || text.length > 60) continue;
      if (el.querySelectorAll('*').length > 10) continue;
      const r = rectOf(n);
      if (r.width <= 0 || r.height <= 0) continue;
      const xpath = pathOf(el);
      if (seen.has(xpath)) continue;
      seen.add(xpath);
      items.push({
        tag: el.tagName.toLowerCase(), text, xpath,
        x: Math.round(r.left), y: Math.round(r.top), w: Math.round(r.width), h: Math.round(r.height),
        cls: typeof el.className === 'string' ? el.className : '',
        aria: el.getAttribute('aria-label') || '',
      });
    }
    evaluate.cursor = items;
  } catch (e) {}
  // Each record travels as [mask, facts...]: bit i of the mask says fact i
  // of FACTS is present, and the other present facts follow in that order.
  // The yes/no facts ride in the mask itself (bit 10 + i), the tag as an
  // index into the tag table. No keys, few quotes: most of the answer is
  // these records.
  const FACTS = ['v', 'e', 'g', 't', 'b', 'a', 'x', 'd', 's', 'p'];
  const IN_MASK = [true, true, false, false, false, false, false, true, false, false];
  const TAG = 2;
  const packed = new Array(records.length);
  for (let n = 0; n < records.length; n++) {
    const r = records[n];
    const out = [0];
    let mask = 0;
    for (let i = 0; i < FACTS.length; i++) {
      const v = r[FACTS[i]];
      if (v === undefined) continue;  // as JSON.stringify leaves out such a key
      mask |= 1 << i;
      if (IN_MASK[i]) { if (v) mask |= 1 << (10 + i); }
      else out.push(i === TAG ? tagId(v) : v);
    }
    out[0] = mask;
    packed[n] = out;
  }
  return JSON.stringify({ elements: packed, tags: tagTable, paths: pathTable, queries, first, evaluate });
})JS";

std::string replace(std::string s, std::string_view key, std::string_view value) {
    auto at = s.find(key);
    if (at != std::string::npos) s.replace(at, key.size(), value);
    return s;
}

}  // namespace

const std::string& bulk_read_js() {
    static const std::string script = [] {
        std::string s(kBody);
        s = replace(s, "@MAIN@", js_string(interactable_selector()));
        s = replace(s, "@CUSTOM@", js_string(kCustomInputSelector));
        s = replace(s, "@LABELS@", js_string(kLabelCandidateSelector));
        s = replace(s, "@TEXT@", js_string(text_selector()));
        s = replace(s, "@SIBLING@", kPrecedingSiblingTextJs);
        s = replace(s, "@PARENT@", kParentEarlierChildTextJs);
        return s;
    }();
    return script;
}

}  // namespace tarnwick::browser
