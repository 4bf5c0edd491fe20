"""MatrixBuilder: entries, reading order, numbering and the values they carry."""

import math

import pytest
from spatial_support import box, element, text_element, texts_of

from tarnwick.engine.spatial import gridmaker
from tarnwick.engine.spatial.gridmaker import MatrixBuilder

ENTRY_KEYS = ["index", "tag", "element_type", "text", "label", "searchable", "is_enabled",
              "is_anchor_only", "order_in_type", "position", "element"]
POSITION_KEYS = ["x", "y", "w", "h", "cx", "cy", "x2", "y2"]


def test_entries_have_the_eleven_keys_in_order_and_hold_the_callers_records():
    dom = [element("button", "Save", 10, 20, _label="Actions", enabled=False)]
    texts = [text_element("Total", 0, 0)]
    matrix = MatrixBuilder(dom, texts).build()
    assert [list(e) for e in matrix] == [ENTRY_KEYS, ENTRY_KEYS]
    assert [list(e["position"]) for e in matrix] == [POSITION_KEYS, POSITION_KEYS]
    text_entry, button = matrix
    assert button["element"] is dom[0] and text_entry["element"] is texts[0]
    assert button == {**button, "index": 1, "tag": "button", "element_type": "button",
                      "text": "Save", "label": "Actions", "searchable": "Save Actions",
                      "is_enabled": False, "is_anchor_only": False, "order_in_type": 1}
    assert text_entry == {**text_entry, "index": 0, "element_type": "text", "label": "",
                          "searchable": "Total", "is_enabled": True, "is_anchor_only": True}


def test_each_build_is_fresh_and_reads_the_inputs_as_they_are_then():
    dom = [element("a", "One", 0, 0)]
    builder = MatrixBuilder(dom)
    first = builder.build()
    dom.append(element("a", "Two", 0, 50))
    second = builder.build()
    assert texts_of(first) == ["One"] and texts_of(second) == ["One", "Two"]
    assert first[0] is not second[0] and first[0]["element"] is second[0]["element"]
    assert builder.dom_elements is dom
    assert MatrixBuilder(dom).text_elements == [] and MatrixBuilder(dom, []).build() == second


@pytest.mark.parametrize(
    "boxes, expected",
    [
        # Raw corners, no row tolerance: one pixel lower comes later however far left.
        ([("a", 500, 100), ("b", 0, 101)], ["a", "b"]),
        ([("a", 0, 101), ("b", 500, 100)], ["b", "a"]),
        # Same row: left to right; equal corners keep input order.
        ([("a", 30, 5), ("b", 10, 5), ("c", 10, 5)], ["b", "c", "a"]),
        # Whole and real coordinates compare by value.
        ([("a", 0, 10.5), ("b", 0, 10), ("c", 0, 10.25)], ["b", "c", "a"]),
    ],
)
def test_reading_order_is_a_stable_sort_on_the_raw_top_left_corner(boxes, expected):
    dom = [element("button", name, x, y) for name, x, y in boxes]
    assert texts_of(MatrixBuilder(dom).build()) == expected


def test_interactable_precedes_text_at_the_same_corner():
    matrix = MatrixBuilder([element("a", "link", 5, 5)], [text_element("label", 5, 5)]).build()
    assert texts_of(matrix) == ["link", "label"]


def test_elements_without_a_usable_box_are_left_out_and_indices_close_up():
    dom = [element("a", "first", 0, 0), {"tag": "a", "text": "none", "bounding_box": None},
           {"tag": "a", "text": "missing"}, {"tag": "a", "text": "empty", "bounding_box": {}},
           element("a", "zero", 0, 0, 0, 0), element("a", "last", 0, 9)]
    matrix = MatrixBuilder(dom).build()
    assert texts_of(matrix) == ["first", "zero", "last"]
    assert [e["index"] for e in matrix] == [0, 1, 2]
    assert matrix[1]["position"] == {"x": 0, "y": 0, "w": 0, "h": 0, "cx": 0.0, "cy": 0.0,
                                     "x2": 0, "y2": 0}


def test_order_in_type_counts_each_type_in_reading_order():
    dom = [element("button", "b1", 0, 0), element("a", "l1", 0, 10), element("button", "b2", 0, 30),
           element("input", "", 0, 35), element("button", "b3", 0, 50)]
    texts = [text_element("t1", 0, 20), text_element("t2", 0, 40)]
    matrix = MatrixBuilder(dom, texts).build()
    assert [(e["element_type"], e["order_in_type"]) for e in matrix] == [
        ("button", 1), ("link", 1), ("text", 1), ("button", 2), ("input", 1), ("text", 2),
        ("button", 3)]


@pytest.mark.parametrize(
    "record, expected",
    [
        ({"tag": "textarea"}, "input"),
        ({"tag": "input", "attributes": {"type": "submit"}}, "button"),
        ({"tag": "input", "attributes": {"type": "reset"}}, "button"),
        ({"tag": "input", "attributes": {"type": "checkbox"}}, "input"),
        ({"tag": "input", "attributes": {"type": "Submit"}}, "input"),
        ({"tag": "div", "attributes": {"role": "combobox"}}, "combobox"),
        ({"tag": "div", "attributes": {"role": "textbox"}}, "textbox"),
        ({"tag": "a", "attributes": {"role": "button"}}, "button"),
        ({"tag": "span", "attributes": {"role": "Button"}}, "span"),
        ({"tag": "a"}, "link"),
        ({"tag": "A"}, "A"),
        ({"tag": "select"}, "select"),
        ({"tag": "div"}, "div"),
        ({}, ""),
    ],
)
def test_element_type(record, expected):
    assert gridmaker._element_type(record) == expected


@pytest.mark.parametrize(
    "record, expected",
    [
        ({"text": "Sign in ", "attributes": {"aria-label": "Sign in", "name": "login"}},
         "Sign in  Sign in login"),
        ({"text": "", "attributes": {"_label": "Email", "placeholder": "you@x"}}, "Email you@x"),
        ({"text": "\u2003Go\u00a0", "attributes": {}}, "Go"),
        ({"attributes": {"name": "q", "title": "ignored", "id": "ignored"}}, "q"),
        ({"text": "A", "attributes": {"aria-label": "", "name": " "}}, "A"),
        ({}, ""),
    ],
)
def test_searchable(record, expected):
    assert gridmaker._searchable(record) == expected


@pytest.mark.parametrize(
    "bb, expected",
    [
        ({"x": 10, "y": 2, "width": 5, "height": 4}, (10, 2, 5, 4, 12.5, 4.0, 15, 6)),
        ({"x": 10.0, "y": 2, "width": 5, "height": 4.5}, (10.0, 2, 5, 4.5, 12.5, 4.25, 15.0, 6.5)),
        ({"y": 7}, (0, 7, 0, 0, 0.0, 7.0, 0, 7)),
        ({"x": -3, "width": 3, "y": 1e308, "height": 1e308}, (-3, 1e308, 3, 1e308, -1.5, 1.5e308, 0, math.inf)),
    ],
)
def test_position_keeps_stored_kinds_and_derives_the_rest(bb, expected):
    pos = gridmaker._position(bb)
    assert tuple(pos.values()) == expected
    # Whole stays whole only where both operands are whole; centres are always real.
    assert [type(v) for v in pos.values()] == [type(v) for v in expected]


def test_stored_coordinates_cross_as_the_callers_objects():
    bb = box(1.25, 2**40, 3, 4.5)
    pos = MatrixBuilder([{"tag": "a", "bounding_box": bb}]).build()[0]["position"]
    assert pos["x"] is bb["x"] and pos["y"] is bb["y"] and pos["h"] is bb["height"]
    assert pos["y2"] == 2**40 + 4.5 and type(pos["x2"]) is float


def test_texts_pass_through_unchanged():
    odd = "\ud800 Straße ΣΑΣ "  # lone surrogate, non-ASCII, trailing space
    record = {"tag": "button", "text": odd, "attributes": {"_label": odd}, "bounding_box": box(0, 0)}
    entry = MatrixBuilder([record]).build()[0]
    assert entry["text"] == odd and entry["label"] == odd
    assert entry["searchable"] == f"{odd} {odd}".strip()
