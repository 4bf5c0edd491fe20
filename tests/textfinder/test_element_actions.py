"""Resolving the element an action acts on."""

import pytest

from tarnwick.engine.strategies.textfinder import DOMStrategy

from .records import el, same, txt

FAILURE = {"resolved": False, "confidence": 0.0, "element": None, "candidates": []}


def resolve(instruction, dom, texts=None):
    return DOMStrategy().resolve(instruction, dom, texts)


def test_exact_match_beats_containing_match():
    link = el("Login to your account", tag="a", y=10)
    button = el("Login", tag="button", y=50)
    result = resolve({"action": "click", "target": "Login button"}, [link, button])
    assert list(result) == ["resolved", "confidence", "element", "candidates"]
    assert result["resolved"] is True and result["confidence"] == 1.0
    assert result["element"] is button
    assert same(result["candidates"], [button])


@pytest.mark.parametrize("ordinal, chosen", [
    (None, "top"), (1, "top"), (2, "left"), (3, "right"), (5, "right"),  # beyond: the last
    (0, "left"), (-1, "top"), (-2, "right"),    # from the end of the length ordering
    (True, "top"),
])
def test_ordinal_chooses_in_order(ordinal, chosen):
    # Reading order: y, then x. With ordinal <= 0, text length, ties in page order.
    right = el("Add", x=300, y=100)
    top = el("Add", x=500, y=10)
    left = el("Add", x=10, y=100)
    page = {"right": right, "top": top, "left": left}
    instruction = {"action": "click", "target": "add"}
    if ordinal is not None:
        instruction["ordinal"] = ordinal
    result = resolve(instruction, [right, top, left])
    assert result["element"] is page[chosen]
    expected_order = [top, left, right] if ordinal is None or ordinal > 0 else [right, top, left]
    assert same(result["candidates"], expected_order)


def test_ordinal_zero_takes_longest_text_and_last_among_equals():
    short, long_a, long_b = el("Save"), el("Save all"), el("Save now")
    result = resolve({"action": "click", "target": "sav", "ordinal": 0}, [long_a, short, long_b])
    assert same(result["candidates"], [short, long_a, long_b])
    assert result["element"] is long_b


@pytest.mark.parametrize("ordinal", [-2, -3, -100, -(2 ** 70)])
def test_ordinal_before_the_first_match_fails(ordinal):
    page = [el("Add", y=1), el("Add", y=2)]
    assert resolve({"action": "click", "target": "Add", "ordinal": ordinal}, page) == FAILURE


def test_huge_ordinal_picks_the_last():
    a, b = el("Add", y=1), el("Add", y=2)
    assert resolve({"action": "click", "target": "Add", "ordinal": 2 ** 70}, [b, a])["element"] is b


def test_hidden_elements_count_only_when_no_visible_one_matches():
    hidden = el("Delete", visible=False)
    result = resolve({"action": "click", "target": "Delete"}, [hidden])
    assert result["element"] is hidden
    visible = el("Delete all", y=99)
    result = resolve({"action": "click", "target": "Delete"}, [hidden, visible])
    assert result["element"] is visible and same(result["candidates"], [visible])
    # An absent is_visible counts as hidden.
    unknown = {"text": "Delete"}
    result = resolve({"action": "click", "target": "Delete"}, [unknown, visible])
    assert result["element"] is visible


def test_label_counts_for_typing_only():
    field = el("", tag="input", _label="Email address")
    other = el("Email address help", tag="a")
    typed = resolve({"action": "type", "target": "Email address", "value": "x"}, [other, field])
    assert typed["element"] is field
    clicked = resolve({"action": "click", "target": "Email address"}, [field])
    assert clicked == FAILURE


def test_typing_falls_back_to_all_elements_without_fields():
    div = el("Notes", tag="div")
    result = resolve({"action": "type", "target": "notes"}, [el("Other"), div])
    assert result["element"] is div


def test_typing_prefers_typeable_elements():
    label = el("Search", tag="label")
    box = el("", tag="div", role="searchbox", aria_label="Search")
    result = resolve({"action": "type", "target": "search box"}, [label, box])
    assert result["element"] is box and same(result["candidates"], [box])


def test_typing_accepts_editable_widgets():
    heading = el("Notes", tag="h2")
    widget = dict(el("", tag="div", aria_label="Notes"), is_editable_field=True)
    assert resolve({"action": "type", "target": "notes"}, [heading, widget])["element"] is widget


def test_select_keeps_select_elements():
    heading = el("Colour", tag="h2")
    select = el("", tag="select", _label="Colour", aria_label="Colour")
    assert resolve({"action": "select", "target": "Colour"}, [heading, select])["element"] is select


def test_extract_text_falls_back_to_visible_text_elements():
    hidden_text = txt("Order 42", visible=False)
    shown = txt("Order number 42")
    dom = [el("Checkout")]
    result = resolve({"action": "extract_text", "target": "order"}, dom, [hidden_text, shown])
    assert result["element"] is shown and same(result["candidates"], [shown])
    assert resolve({"action": "click", "target": "order"}, dom, [shown]) == FAILURE
    assert resolve({"action": "extract_text", "target": "order"}, dom) == FAILURE


def test_empty_target_matches_every_element_with_a_surface():
    a, b, bare = el("A", y=2), el("", y=1, title="only title"), {"tag": "div", "is_visible": True}
    b["attributes"]["alt"] = "pic"
    result = resolve({"action": "click"}, [a, bare, b])
    assert same(result["candidates"], [b, a])


def test_missing_box_or_coordinates_count_as_zero():
    boxed = el("Go", x=5, y=5)
    no_box = {"text": "Go", "is_visible": True}
    no_y = dict(el("Go"), bounding_box={"x": 1})
    result = resolve({"action": "click", "target": "go"}, [boxed, no_box, no_y])
    assert same(result["candidates"], [no_box, no_y, boxed])


def test_failure_and_unknown_actions():
    assert resolve({"action": "click", "target": "Nowhere"}, [el("Home")]) == FAILURE
    assert resolve({"action": "click", "target": "x"}, []) == FAILURE
    # Absent action and target: every element with a surface, first in reading order.
    home = el("Home")
    assert resolve({}, [home])["element"] is home
    assert resolve({"action": "Verify_Present", "target": "Home"}, [home])["element"] is home


def test_results_hold_the_callers_records():
    page = [el("Add", y=i) for i in range(3)]
    copy = [dict(r) for r in page]
    result = resolve({"action": "click", "target": "Add", "ordinal": 2}, tuple(page))
    assert result["element"] is page[1]
    assert same(result["candidates"], page)
    assert page == copy       # records are not changed


def test_text_length_counts_code_points():
    # "ää" is two characters (four bytes in UTF-8); "aab" is three.
    umlauts, plain = el("x ää"), el("x aab")
    result = resolve({"action": "click", "target": "x", "ordinal": 0}, [plain, umlauts])
    assert same(result["candidates"], [umlauts, plain])
    assert result["element"] is plain
