"""Element surfaces, matching, tree distance and the action filter."""

import pytest
from hypothesis import given, settings, strategies as st

from tarnwick.engine.strategies import textfinder as tf

from .records import el, same


def test_tables():
    assert tf._TYPE_DESCRIPTORS == {
        "input", "field", "button", "btn", "box", "link", "dropdown", "select", "checkbox",
        "radio", "textarea", "textbox", "area", "icon", "control", "widget", "form", "element"}
    assert tf._MATCH_ATTRIBUTES == ["aria-label", "_label", "placeholder", "data-testid", "type", "alt"]
    assert tf._TEXT_ONLY_TAGS == {"span", "p", "label", "h1", "h2", "h3", "h4", "h5", "h6", "li",
                                  "td", "th", "div", "a"}
    assert tf._DOM_DISTANCE_THRESHOLD == 10
    assert tf._TYPEABLE_TAGS == {"input", "textarea"}
    assert tf._TYPEABLE_ROLES == {"textbox", "searchbox", "spinbutton", "combobox"}
    assert tf._SELECTABLE_TAGS == {"select"}
    assert isinstance(tf._TYPE_DESCRIPTORS, set) and isinstance(tf._MATCH_ATTRIBUTES, list)


@pytest.mark.parametrize("target, expected", [
    ("search input", "search"),
    ("Login Button", "Login"),
    ("username field", "username"),
    ("button", "button"),              # nothing would remain
    ("input field", "input field"),
    ("link to home page", "to home page"),
    ("the login button", "the login"),
    ("  Submit   form  ", "Submit"),
    ("", ""),
    ("   ", "   "),                    # no words: returned untrimmed
    ("BUTTON Save  Btn ICON", "Save"),
    ("save\u00a0button", "save"),      # U+00A0 separates words
    ("buttons", "buttons"),            # whole words only
])
def test_strip_type_descriptors(target, expected):
    assert tf._strip_type_descriptors(target) == expected


@pytest.mark.parametrize("element, include_label, surfaces", [
    (el("Go", aria_label="Go now", _label="Name", placeholder="Type", data_testid="go-btn",
        type="submit", alt="pic"), False, ["Go", "Go now", "Type", "go-btn", "submit", "pic"]),
    (el("Go", aria_label="Go now", _label="Name"), True, ["Go", "Go now", "Name"]),
    (el("", **{"class": "btn css-1x2y3z primary_action"}), False, ["primary action"]),
    (el("", **{"class": "nav__item  shopping-cart_link"}), False, ["nav  item shopping cart link"]),
    (el("", id="main-nav"), False, ["main"]),
    (el("", id="user_name"), False, ["user name"]),
    (el("", id="btn_ok"), False, []),
    (el("", id="a1b2c3"), False, []),
    (el("", data_testid="login", data_qa_login_btn="whatever", data_x="y", data_a1="z"),
     False, ["login", "qa login btn"]),
    # A "data-" name is case-sensitive; only the name is read, never its value.
    (el("", **{"DATA-big": "v", "data-cart_item": None}), False, ["cart item"]),
    # Empty and null attribute values give no surface; text is not trimmed.
    (el(" Save ", aria_label="", title="Save it", alt=None), False, [" Save "]),
    ({"text": None}, False, []),
    ({}, True, []),
    # Superscript digits are digits: the class token is dropped.
    (el("", **{"class": "wide\u00b2 narrow"}), False, ["narrow"]),
    # Code-point length: "äöüß" is 4 characters though 8 bytes.
    (el("", **{"class": "äöü äöüß"}), False, ["äöüß"]),
])
def test_searchable_strings(element, include_label, surfaces):
    assert tf._searchable_strings(element, include_label) == surfaces


def test_searchable_strings_keep_duplicates_and_order():
    element = el("main", aria_label="main", id="main")
    assert tf._searchable_strings(element) == ["main", "main", "main"]


@pytest.mark.parametrize("target, element, include_label, contains, exact", [
    ("cart_icon", el("", **{"class": "shopping-cart_icon-wrapper"}), False, True, False),
    ("", el("x"), False, True, False),
    ("", el(""), False, False, False),
    ("log in", el(" Log In "), False, True, True),
    ("log in", el("Log in now"), False, True, False),
    ("Name", el("", _label="Name"), False, False, False),
    ("Name", el("", _label="Name"), True, True, True),
    ("save ", el("Save"), False, False, False),       # the target is not trimmed
    ("user-name", el("", id="user_name"), False, True, True),
    ("LOGIN", el("", data_testid="Login"), False, True, True),
    # Full lower-casing: İ lowers to "i" + combining dot above.
    ("i\u0307stanbul", el("\u0130STANBUL"), False, True, True),
    ("istanbul", el("\u0130STANBUL"), False, False, False),
    # Final sigma is lowered in context, on the whole surface.
    ("\u03bf\u03b4\u03bf\u03c2", el("\u039f\u0394\u039f\u03a3"), False, True, True),
    ("\u03bf\u03b4\u03bf\u03c3", el("\u039f\u0394\u039f\u03a3"), False, False, False),
    # U+00A0 is whitespace: trimmed for the exact comparison.
    ("ok", el("\u00a0OK\u00a0"), False, True, True),
])
def test_matching(target, element, include_label, contains, exact):
    assert tf._matches_element(target, element, include_label) is contains
    assert tf._exact_matches_element(target, element, include_label) is exact


def test_derived_surface_matches_only_as_built():
    # "primary action" is a surface; "primary_action" normalises to it.
    element = el("", **{"class": "btn primary_action"})
    assert tf._matches_element("primary_action", element)
    assert tf._exact_matches_element("Primary-Action", element)
    # Pieces dropped for length or digits never match.
    assert not tf._matches_element("btn", element)
    assert not tf._matches_element("css", el("", **{"class": "css-1x2y3z"}))
    # Non-ASCII values are matched without shortcuts.
    # Id pieces are judged alone, by code points: "uns" is too short.
    assert tf._searchable_strings(el("", id="über-uns-seite")) == ["über seite"]
    assert tf._matches_element("ÜBER seite", el("", id="über-uns-seite"))
    assert not tf._matches_element("über uns", el("", id="über-uns"))


@pytest.mark.parametrize("a, b, distance", [
    ("/html[1]/body[1]/div[1]/span[1]", "/html[1]/body[1]/div[2]/p[1]", 4),
    ("a[1]/b[1]", "a[1]/b[1]/c[1]", 1),
    ("", "", 0),
    ("/html[1]/body[1]", "/html[1]/body[1]", 0),
    ("/a[1]/b[1]", "/a[1]/c[1]", 2),
    ("//a[1]/b[1]//", "a[1]/b[1]", 0),       # leading and trailing slashes go
    ("/a[1]/b[1]", "/x[1]/b[1]", 4),         # b[1] after a difference is not common
])
def test_dom_distance(a, b, distance):
    assert tf._dom_distance(a, b) == distance
    assert tf._dom_distance(b, a) == distance


def test_filter_by_action():
    button, div = el("b", tag="button"), el("d", tag="div")
    field = el("", tag="input")
    role = el("", tag="div", role="searchbox")
    editable = dict(el("", tag="div"), is_editable_field=True)
    select = el("", tag="select")
    upper = el("", tag="INPUT", role="Textbox")   # exact, case-sensitive tests
    page = [button, field, role, div, editable, select, upper]

    assert same(tf._filter_by_action("type", page), [field, role, editable])
    assert same(tf._filter_by_action("select", page), [select])
    # Nothing qualifies: the whole input comes back, not an empty list.
    unfit = [button, div]
    assert tf._filter_by_action("type", unfit) is unfit
    assert tf._filter_by_action("select", unfit) is unfit
    # Other actions leave the sequence as it is.
    assert tf._filter_by_action("click", page) is page
    assert tf._filter_by_action("Type", page) is page
    assert tf._filter_by_action("type", []) == []


def _steps_apart(a, b):
    sa, sb = a.strip("/").split("/"), b.strip("/").split("/")
    common = 0
    while common < min(len(sa), len(sb)) and sa[common] == sb[common]:
        common += 1
    return len(sa) + len(sb) - 2 * common


@settings(max_examples=500, deadline=None)
@given(st.lists(st.sampled_from(["a[1]", "a[2]", "b[1]", "", "/"]), max_size=6),
       st.lists(st.sampled_from(["a[1]", "a[2]", "b[1]", "", "/"]), max_size=6))
def test_dom_distance_counts_split_steps(a, b):
    xa, xb = "/".join(a), "/" + "/".join(b)
    assert tf._dom_distance(xa, xb) == _steps_apart(xa, xb)


# A model of the surface rules in plain Python str operations, checked against
# the engine on generated records, including characters whose lower-casing,
# whitespace or digit status differ from ASCII expectations.
def _model_surfaces(element, include_label):
    def pieces(s, min_length):
        return [p for p in s.split() if len(p) >= min_length and not any(c.isdigit() for c in p)]

    out = [element["text"]] if element.get("text") else []
    attrs = element.get("attributes") or {}
    for name in tf._MATCH_ATTRIBUTES:
        if (name != "_label" or include_label) and attrs.get(name):
            out.append(attrs[name])
    kept = [t.replace("_", " ").replace("-", " ") for t in pieces(attrs.get("class") or "", 4)]
    if kept:
        out.append(" ".join(kept))
    kept = pieces((attrs.get("id") or "").replace("_", " ").replace("-", " "), 4)
    if kept:
        out.append(" ".join(kept))
    for name in attrs:
        if name.startswith("data-") and name != "data-testid":
            kept = pieces(name[5:].replace("-", " ").replace("_", " "), 2)
            if kept:
                out.append(" ".join(kept))
    return out


_chars = st.sampled_from("aAbBsSkK _-1\u00b2\u0130\u03a3\u03c3\u00e4\u00a0\t\u2003")
_words = st.text(_chars, max_size=12)
_records = st.fixed_dictionaries({"text": _words}, optional={"attributes": st.dictionaries(
    st.sampled_from(["class", "id", "aria-label", "_label", "alt", "data-testid", "data-ab_c",
                     "data-x1-yy", "data-\u0130s-a"]), _words, max_size=5)})


@settings(max_examples=800, deadline=None)
@given(_records, _words, st.booleans(), st.data())
def test_matching_agrees_with_the_surface_rules(element, target, include_label, data):
    surfaces = _model_surfaces(element, include_label)
    if surfaces and data.draw(st.booleans()):
        # Often a piece of a surface, so that matches are common.
        surface = data.draw(st.sampled_from(surfaces))
        start = data.draw(st.integers(0, len(surface)))
        target = surface[start:data.draw(st.integers(start, len(surface)))].upper()
    assert tf._searchable_strings(element, include_label) == surfaces
    needle = target.lower().replace("_", " ").replace("-", " ")
    assert tf._matches_element(target, element, include_label) == any(
        needle in s.lower() for s in surfaces)
    assert tf._exact_matches_element(target, element, include_label) == any(
        s.lower().strip() == needle for s in surfaces)
