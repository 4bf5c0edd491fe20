"""The module's tables and the record operations that need no browser."""

import random

import pytest

from tarnwick.engine.browser import pagereader as pr
from tarnwick.engine.browser.pagereader import DOMParser


def test_tables():
    assert pr._NATIVE_TAGS == ["button", "input", "a", "select", "textarea"]
    assert len(pr._ARIA_ROLES) == 13 and pr._ARIA_ROLES[0] == "button" and pr._ARIA_ROLES[-1] == "tab"
    assert pr.CAPTURED_ATTRIBUTES == [
        "id", "name", "type", "placeholder", "aria-label", "aria-labelledby", "title",
        "role", "href", "value", "class", "data-testid", "alt",
    ]
    selectors = pr.INTERACTABLE_SELECTOR.split(", ")
    assert len(selectors) == 21
    assert selectors[:6] == ["button", "input", "a", "select", "textarea", '[role="button"]']
    assert selectors[-3:] == ["img[alt]", "img[data-testid]", "[data-testid]"]
    assert pr.TEXT_SELECTOR == "h1, h2, h3, h4, h5, h6, p, span, label, li, td, th, a, button, div"
    assert pr._TEXT_TAGS == pr.TEXT_SELECTOR.split(", ")
    assert pr._CUSTOM_INPUT_SELECTOR == (
        "span[class*='editable'], div[class*='editable'], span[class*='input'], div[class*='input']"
    )
    assert pr._XPATH_JS.startswith("el =>")


@pytest.mark.parametrize(
    "tag, classes, expected",
    [
        ("div", "Editable-Box", True),
        ("span", "text-INPUT", True),
        ("input", "editable", False),
        ("textarea", "input", False),
        ("select", "input", False),
        ("div", "card", False),
        ("div", None, False),
        ("div", "", False),
    ],
)
def test_is_custom_input(tag, classes, expected):
    assert pr._is_custom_input(tag, classes) is expected


def test_wrong_argument_kinds_raise_type_error():
    with pytest.raises(TypeError, match="tag"):
        pr._is_custom_input(None, "x")
    with pytest.raises(TypeError, match="page"):
        DOMParser(None)
    with pytest.raises(TypeError, match="candidates"):
        DOMParser._dedup_text_elements("not a list")
    with pytest.raises(TypeError, match="candidates"):
        DOMParser._dedup_text_elements([1])
    parser = DOMParser(object())
    with pytest.raises(TypeError, match="handle must be an ElementHandle, not str"):
        parser._get_field_label("#id")
    with pytest.raises(TypeError, match="elements"):
        parser._assign_spatial_labels(None, [])
    with pytest.raises(TypeError, match="label_candidates"):
        parser._assign_spatial_labels([], {"text": "x"})


def box(x, y, width, height):
    return {"x": x, "y": y, "width": width, "height": height}


def element(x, y, width=50, height=20, **attributes):
    return {"tag": "button", "text": "", "attributes": attributes, "bounding_box": box(x, y, width, height)}


def candidate(text, x, y, width=100, height=20):
    return {"text": text, "bounding_box": box(x, y, width, height)}


def test_spatial_labels_change_the_callers_records_in_place():
    elements = [
        element(10, 100),  # under both headings: the nearer wins
        element(10, 100, _label="Kept"),  # already labelled
        {"tag": "a", "text": "", "attributes": {}, "bounding_box": None},  # no box
        element(500, 100),  # nothing above overlaps horizontally
        element(100, 60),  # touching the heading's right edge counts
        element(10, 40),  # equal distances: the earlier candidate
    ]
    before = [id(e["attributes"]) for e in elements]
    candidates = [candidate("Far", 0, 0), candidate("Near", 0, 40), candidate("Twin", 0, 0)]
    assert DOMParser(object())._assign_spatial_labels(elements, candidates) is None
    assert [id(e["attributes"]) for e in elements] == before
    assert [e["attributes"].get("_label") for e in elements] == ["Near", "Kept", None, None, "Near", "Far"]


def test_spatial_labels_reject_boxes_without_coordinates():
    with pytest.raises(ValueError, match="'y'"):
        DOMParser(object())._assign_spatial_labels(
            [{"attributes": {}, "bounding_box": {"x": 0, "width": 1, "height": 1}}], []
        )


def text_element(text, x, y, width, height, direct=False):
    return {"tag": "div", "text": text, "has_direct_text": direct, "attributes": {}, "bounding_box": box(x, y, width, height)}


def test_dedup_cases():
    span = text_element("Only child", 10, 10, 80, 20, direct=True)
    li = text_element("Only child", 0, 0, 200, 40)
    own = text_element("Total", 0, 50, 200, 40, direct=True)
    inner = text_element("Total", 10, 60, 50, 20, direct=True)
    twin_a = text_element("Same", 0, 100, 50, 50)
    twin_b = text_element("Same", 0, 100, 50, 50)
    price_row = text_element("Price 10", 0, 200, 300, 20)
    price = text_element("Price", 0, 200, 40, 20, direct=True)
    touching = text_element("Touch", 300, 200, 10, 10)
    toucher = text_element("To", 310, 200, 5, 5, direct=True)
    candidates = [span, li, own, inner, twin_a, twin_b, price_row, price, touching, toucher]
    kept = DOMParser._dedup_text_elements(candidates)
    assert all(any(k is c for c in candidates) for k in kept)
    assert kept == [span, own, inner, twin_a, twin_b, price, touching, toucher]
    assert kept[0] is span


def test_dedup_rejects_records_without_boxes():
    with pytest.raises(ValueError, match="bounding_box"):
        DOMParser._dedup_text_elements([{"text": "x", "has_direct_text": False}])


def reference_dedup(candidates):
    def area(e):
        b = e["bounding_box"]
        return b["width"] * b["height"]

    def overlaps(a, b):
        a, b = a["bounding_box"], b["bounding_box"]
        return (a["x"] < b["x"] + b["width"] and a["x"] + a["width"] > b["x"]
                and a["y"] < b["y"] + b["height"] and a["y"] + a["height"] > b["y"])

    kept = []
    for e in candidates:
        if e["has_direct_text"] or not any(
            o is not e and area(o) < area(e) and overlaps(o, e) and o["text"] in e["text"] for o in candidates
        ):
            kept.append(e)
    return kept


@pytest.mark.parametrize("seed", range(8))
def test_dedup_matches_the_pairwise_rule_on_generated_layouts(seed):
    rng = random.Random(seed)
    words = ["a", "b", "ab", "ba", "abc", "c"]
    candidates = []
    for _ in range(300):
        w = rng.choice([0, 0.5, 3, 40, 400, 3000])
        h = rng.choice([0, 1, 17.5, 60, 900])
        candidates.append(
            text_element(
                " ".join(rng.choice(words) for _ in range(rng.randint(1, 3))),
                rng.choice([-50, 0, 7.25, 100, 1000, 2500]) + rng.randint(0, 300),
                rng.randint(-20, 4000) + rng.choice([0, 0.5]),
                w, h, direct=rng.random() < 0.2,
            )
        )
    kept = DOMParser._dedup_text_elements(candidates)
    assert [id(k) for k in kept] == [id(k) for k in reference_dedup(candidates)]
    # Boxes the grid cannot index take the pairwise path with the same answer.
    candidates[0]["bounding_box"]["width"] = -5
    kept = DOMParser._dedup_text_elements(candidates)
    assert [id(k) for k in kept] == [id(k) for k in reference_dedup(candidates)]


def reference_spatial_labels(elements, candidates):
    for e in elements:
        if e["attributes"].get("_label") or not e.get("bounding_box"):
            continue
        b = e["bounding_box"]
        best, best_text = float("inf"), ""
        for c in candidates:
            cb = c["bounding_box"]
            if cb["y"] + cb["height"] > b["y"]:
                continue
            if not (cb["x"] <= b["x"] + b["width"] and cb["x"] + cb["width"] >= b["x"]):
                continue
            if b["y"] - (cb["y"] + cb["height"]) < best:
                best, best_text = b["y"] - (cb["y"] + cb["height"]), c["text"]
        if best_text:
            e["attributes"]["_label"] = best_text


@pytest.mark.parametrize("seed", range(6))
def test_spatial_labels_match_the_nearest_above_rule_on_generated_layouts(seed):
    rng = random.Random(seed)
    make = lambda: [element(rng.choice([0, 50, 100.5, 400]), rng.choice([0, 20, 40, 60.25, 300]),
                            rng.choice([0, 30, 100]), 20) for _ in range(120)]
    candidates = [candidate(f"c{i % 9}", rng.choice([0, 45, 100, 130.5, 600]), rng.choice([-10, 0, 20, 40, 55]),
                            rng.choice([0, 10, 50, 200]), rng.choice([0, 5, 20, 40])) for i in range(60)]
    ours = make()
    theirs = [dict(e, attributes=dict(e["attributes"])) for e in ours]
    DOMParser(object())._assign_spatial_labels(ours, candidates)
    reference_spatial_labels(theirs, candidates)
    assert [e["attributes"] for e in ours] == [e["attributes"] for e in theirs]
