"""Verifying and extracting the text beside an anchor."""

import copy

import pytest

from tarnwick.engine.strategies.textfinder import DOMStrategy

from .records import el, same, txt

ROW = "/html[1]/body[1]/table[1]/tr[1]"


def verify(target, expected, texts, dom=None):
    return DOMStrategy()._resolve_verify_spatial_text(target, expected, texts, dom)


def extract(target, texts, dom=None):
    return DOMStrategy()._resolve_extract_spatial_text(target, texts, dom)


def total_page(value="$1,234.00"):
    total = txt("Total", x=0, y=0, width=100, height=20, xpath=ROW + "/td[1]/span[1]")
    amount = txt(value, x=0, y=40, width=100, height=20, xpath=ROW + "/td[1]/span[2]")
    return total, amount


@pytest.mark.parametrize("expected, actual, verified", [
    ("1234.00", "$1,234.00", True),
    ("$1,234", "$1,234.00", True),        # contained in the actual text
    ("12", "Total: 12 items", True),
    ("Total: 12 items", "12", True),       # containment either way
    ("€ 5", "5,00 €", True),               # signs and commas go: "5" in "500"
    ("\u00a05.00\u2003", "€5.00", True),  # trimmed with Unicode whitespace
    ("£5", "£5", True),
    ("99", "$1,234.00", False),
    ("", "$1,234.00", False),              # nothing expected verifies nothing
    ("$ , €", "$1,234.00", False),
    ("12", "$", False),                    # an actual text of signs verifies nothing
    ("", "$", False),
    ("ΟΔΟΣ", "οδος", True),                # full lower-casing, final sigma
])
def test_verify_compares_normalised_texts(expected, actual, verified):
    total, amount = total_page(actual)
    result = verify("below Total", expected, [total, amount])
    assert list(result) == ["resolved", "verified", "confidence", "element", "state", "candidates"]
    assert result["resolved"] is True and result["confidence"] == 1.0
    assert result["verified"] is verified
    assert result["element"] is amount and same(result["candidates"], [amount])
    assert result["state"] == {"expected": expected, "actual": actual}


def test_routed_from_resolve_with_the_instruction_value():
    total, amount = total_page()
    instruction = {"action": "verify_spatial_text", "target": "under a Total", "value": "1234"}
    result = DOMStrategy().resolve(instruction, [], [total, amount])
    assert result["verified"] is True and result["element"] is amount
    # Absent value: the empty expected text, never verified.
    del instruction["value"]
    assert DOMStrategy().resolve(instruction, [], [total, amount])["verified"] is False


@pytest.mark.parametrize("target, anchor_state", [
    ("next to the Price", "right"),
    ("Right of Price", "right"),
    ("left of an Price", "left"),
    ("ABOVE the a Price", "above"),
])
def test_phrase_keywords_and_articles(target, anchor_state):
    price = txt("Price", x=200, y=200, width=100, height=20, xpath="/p[1]")
    result = verify(target, "x", [price])
    assert result["element"] is price
    assert result["state"]["actual"] == f"no element {anchor_state} of 'Price'"


@pytest.mark.parametrize("target", ["below", "below   ", "near Price", "Price", "beneath Price",
                                    "below the", "nextto Price", ""])
def test_phrase_without_direction_or_anchor(target):
    price = txt("Price", xpath="/p[1]")
    result = verify(target, "5", [price])
    if target == "below the":   # "the" without a following space is the anchor itself
        assert result["state"] == {"expected": "5", "actual": "anchor 'the' not found"}
        return
    assert result == {"resolved": False, "verified": False, "confidence": 0.0, "element": None,
                      "state": {"expected": "5"}, "candidates": []}
    assert extract(target, [price]) == {"resolved": False, "confidence": 0.0, "element": None,
                                        "extracted": "", "candidates": []}


def test_anchor_not_found():
    result = verify("below Grand total", "1", [txt("Total", xpath="/p[1]")])
    assert result["resolved"] is False and result["element"] is None
    assert result["state"] == {"expected": "1", "actual": "anchor 'Grand total' not found"}


def test_anchor_by_first_line_and_smallest_box():
    two_lines = txt("  Total\n12.00", x=0, y=0, width=100, height=40, xpath="/div[1]/span[1]")
    big = txt("TOTAL", x=0, y=100, width=300, height=50, xpath="/div[1]/span[2]")
    small = txt("total", x=0, y=200, width=50, height=20, xpath="/div[1]/span[3]")
    below_small = txt("7", x=0, y=230, width=50, height=20, xpath="/div[1]/span[4]")
    result = verify("below Total", "7", [big, two_lines, below_small, small])
    assert result["verified"] is True and result["element"] is below_small
    only = verify("below total", "x", [two_lines])
    assert only["element"] is two_lines     # a valid anchor on its own


def test_anchor_needs_a_path_and_a_box():
    no_path = txt("Total", xpath="")
    no_box = dict(txt("Total"), bounding_box={})
    result = verify("below Total", "1", [no_path, no_box])
    assert result["state"]["actual"] == "anchor 'Total' not found"


def test_direction_tests_and_candidate_tags():
    email = txt("Email", x=100, y=50, width=100, height=20, xpath="/form[1]/label[1]")
    right = txt("a@b.c", x=350, y=50, width=100, height=20, xpath="/form[1]/span[1]")     # centre (400, 60)
    low = txt("low", x=350, y=65, width=100, height=20, xpath="/form[1]/span[2]")          # centre (400, 75)
    button = txt("Send", tag="button", x=200, y=50, width=100, height=20, xpath="/form[1]/button[1]")
    edge = txt("edge", x=500, y=60, width=100, height=20, xpath="/form[1]/span[3]")        # centre y 70
    result = verify("next to Email", "a@b.c", [email, edge, low, button, right])
    assert result["verified"] is True
    assert same(result["candidates"], [right, edge])   # nearest first


def test_tree_distance_limits_text_anchors_only():
    deep = "/" + "/".join(f"div[{i}]" for i in range(1, 11))
    anchor = txt("Total", x=0, y=0, width=100, height=20, xpath="/x[1]")
    ten = txt("ten", x=0, y=30, width=100, height=20, xpath="/x[1]" + deep[: deep.rfind("/")] + "/div[10]")
    eleven = txt("eleven", x=0, y=25, width=100, height=20, xpath="/x[1]" + deep + "/span[1]")
    assert len(ten["xpath"].split("/")) - 2 == 10
    result = verify("below Total", "ten", [anchor, eleven, ten])
    assert same(result["candidates"], [ten])
    # An anchor found among DOM elements does not limit the distance.
    dom_anchor = el("Total", tag="button", x=0, y=0, width=100, height=20, xpath="/x[1]")
    result = verify("below Total", "eleven", [eleven, ten], [dom_anchor])
    assert result["verified"] is True and same(result["candidates"], [eleven, ten])


def test_dom_anchor_by_whole_text_then_aria_label():
    value = txt("42", x=0, y=30, width=100, height=20, xpath="/b[1]")
    multi = el("Qty\nmore", xpath="/a[1]")          # whole text only, no first-line cut
    labelled = el("", xpath="/a[2]", aria_label=" QTY ")
    result = verify("below Qty", "42", [value], [multi, labelled])
    assert result["element"] is value and result["verified"] is True
    assert extract("below qty", [], [labelled])["element"] is labelled


def test_no_element_in_direction_returns_the_anchor():
    qty = txt("Qty", x=100, y=0, width=50, height=20, xpath="/r[1]/td[2]")
    result = verify("under Qty", "3", [qty])
    assert result == {"resolved": True, "verified": False, "confidence": 1.0, "element": qty,
                      "state": {"expected": "3", "actual": "no element below of 'Qty'"},
                      "candidates": []}
    assert result["element"] is qty
    extracted = extract("under Qty", [qty])
    assert extracted["element"] is qty and extracted["extracted"] == "Qty"
    assert extracted["candidates"] == []


def test_extract_reads_the_nearest_text():
    qty = txt("Qty", x=200, y=0, width=50, height=20, xpath="/r[1]/td[3]")
    far = txt("Widget", x=0, y=0, width=50, height=20, xpath="/r[1]/td[1]")
    near = txt("  3 ", x=100, y=0, width=50, height=20, xpath="/r[1]/td[2]")
    result = extract("left of Qty", [far, qty, near])
    assert list(result) == ["resolved", "confidence", "element", "extracted", "candidates"]
    assert result["extracted"] == "3" and result["element"] is near
    assert same(result["candidates"], [near, far])
    routed = DOMStrategy().resolve({"action": "extract_text_spatial", "target": "left of Qty"},
                                   [], [far, qty, near])
    assert routed == result


def test_anchor_is_excluded_by_identity_not_equality():
    # Centres computed two ways differ by a rounding step for this box, so an
    # equal copy of the anchor lies a hair to its right.
    anchor = txt("Total", x=29.04, y=0, width=110.85, height=20, xpath="/p[1]")
    twin = copy.deepcopy(anchor)
    result = verify("next to Total", "Total", [anchor, twin])
    assert result["element"] is twin and result["verified"] is True
    alone = verify("next to Total", "Total", [anchor, anchor])
    assert alone["element"] is anchor and alone["candidates"] == []


@pytest.mark.parametrize("box, error", [
    ({"x": 0, "y": 0, "width": 10}, ValueError),
    ({"x": 0, "y": "0", "width": 10, "height": 10}, TypeError),
    ({"x": None, "y": 0, "width": 10, "height": 10}, TypeError),
])
def test_malformed_boxes_raise(box, error):
    anchor = txt("Total", xpath="/p[1]")
    broken = dict(txt("1", xpath="/p[2]"), bounding_box=box)
    with pytest.raises(error, match="text_elements\\[1\\]"):
        verify("below Total", "1", [anchor, broken])
    with pytest.raises(error):
        verify("below Total", "1", [broken | {"text": "Total"}])
    # A record the rules skip before reading its box raises nothing.
    skipped = dict(broken, tag="button")
    assert verify("below Total", "1", [anchor, skipped])["resolved"] is True
