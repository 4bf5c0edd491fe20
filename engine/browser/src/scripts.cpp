#include "tarnwick/browser/scripts.hpp"

#include <string>

namespace tarnwick::browser {

const std::string& interactable_selector() {
    static const std::string selector = [] {
        std::string s;
        auto add = [&s](std::string_view part) {
            if (!s.empty()) s += ", ";
            s += part;
        };
        for (auto tag : kNativeTags) add(tag);
        for (auto role : kAriaRoles) add("[role=\"" + std::string(role) + "\"]");
        add("img[alt]");
        add("img[data-testid]");
        add("[data-testid]");
        return s;
    }();
    return selector;
}

const std::string& text_selector() {
    static const std::string selector = [] {
        std::string s;
        for (auto tag : kTextTags) {
            if (!s.empty()) s += ", ";
            s += tag;
        }
        return s;
    }();
    return selector;
}

const std::string_view kTagNameJs = "el => el.tagName.toLowerCase()";

const std::string_view kDataAttributesJs =
    "el => Object.fromEntries(Array.from(el.attributes).filter(a => a.name.startsWith('data-'))"
    ".map(a => [a.name, a.value]))";

const std::string_view kXPathJs = R"JS(el => {
  const parts = [];
  for (let node = el; node && node.nodeType === 1; node = node.parentElement) {
    let position = 1;
    for (let s = node.previousElementSibling; s; s = s.previousElementSibling)
      if (s.tagName === node.tagName) position++;
    parts.unshift(node.tagName.toLowerCase() + '[' + position + ']');
  }
  return '/' + parts.join('/');
})JS";

const std::string_view kDirectTextJs =
    "el => Array.from(el.childNodes).some(n => n.nodeType === 3 && n.textContent.trim().length > 0)";

const std::string_view kPrecedingSiblingTextJs = R"JS(el => {
  for (let s = el.previousElementSibling; s; s = s.previousElementSibling) {
    const own = Array.from(s.childNodes)
      .filter(n => n.nodeType === 3)
      .map(n => n.textContent.trim())
      .filter(t => t.length > 0)
      .join(' ');
    if (own && own.length < 50) return own;
    const first = s.firstElementChild;
    if (first) {
      const t = (first.textContent || '').trim();
      if (t && t.length < 50) return t;
    }
  }
  return null;
})JS";

const std::string_view kParentEarlierChildTextJs = R"JS(el => {
  const parent = el.parentElement;
  if (!parent) return null;
  for (const child of parent.children) {
    if (child === el) break;
    const t = (child.textContent || '').trim();
    if (t && t.length < 50) return t;
  }
  return null;
})JS";

// The clickable-container scan computes paths exactly as the element-path
// function does, so it embeds that function rather than a copy of it.
static const std::string cursor_pointer_js = std::string(R"JS(() => {
  const items = [];
  const seen = new Set();
  const pathOf = )JS") + std::string(kXPathJs) + R"JS(;
  for (const el of document.querySelectorAll('div, span, li, td')) {
    if (getComputedStyle(el).cursor !== 'pointer') continue;
    const text = (el.innerText || '').trim();
    if (!text || text.length > 60) continue;
    if (el.querySelectorAll('*').length > 10) continue;
    const r = el.getBoundingClientRect();
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
  return items;
})JS";
const std::string_view kCursorPointerJs = cursor_pointer_js;

}  // namespace tarnwick::browser
