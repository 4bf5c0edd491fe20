"""MatrixResolver.resolve and _resolve_ordinal: results, tie-breaks and errors."""

import pytest
from spatial_support import element, resolver, text_element, texts_of

from tarnwick.engine.spatial.gridfinder import MatrixResolver

UNRESOLVED = {"resolved": False, "confidence": 0.0, "element": None, "candidates": []}
RELATION_KEYS = ["resolved", "confidence", "element", "anchor_text", "ordinal", "type_relaxed",
                 "actual_type", "candidates"]
ORDINAL_KEYS = ["resolved", "confidence", "element", "candidates"]


def resolve(dom, target, texts=None, **instruction):
    matrix, r = resolver(dom, texts)
    result = r.resolve({"action": "click", "target": target, **instruction})
    if result["resolved"]:
        # Element records come back as the caller's own objects.
        records = dom + (texts or [])
        assert any(result["element"] is rec for rec in records)
        assert all(any(c is rec for rec in records) for c in result["candidates"])
    return result


def summary(result):
    """The result with records shown by their text."""
    out = dict(result)
    if out["element"] is not None:
        out["element"] = out["element"]["text"]
    out["candidates"] = texts_of(out["candidates"])
    return out


def buttons(*texts_, x=0):
    return [element("button", t, x, 40 * i) for i, t in enumerate(texts_)]


CART_ROW = [element("button", "Cart", 100, 100)]


@pytest.mark.parametrize(
    "dom, target, expected",
    [
        # No relation and no ordinal.
        (buttons("Save"), "Save", UNRESOLVED),
        ([element("select", "", 0, 0)], "dropdown", UNRESOLVED),
        # Ordinal only: reading order, candidates are the whole pool.
        ([element("input", "", 0, 40 * i, name=f"i{i}") for i in range(2)], "third input", UNRESOLVED),
        (buttons("Submit", "Cancel", "Submit"), "second Submit button",
         {"resolved": True, "confidence": 1.0, "element": "Submit", "candidates": ["Submit", "Submit"]}),
        (buttons("Submit", "Submit order", "Cancel"), "second Submit button",
         {"resolved": True, "confidence": 1.0, "element": "Submit order",
          "candidates": ["Submit", "Submit order"]}),
        # No exact or contained match: the pool stays whole.
        (buttons("Go", "Stop"), "second Submit button",
         {"resolved": True, "confidence": 1.0, "element": "Stop", "candidates": ["Go", "Stop"]}),
        # Type words never yield "textbox": a role-typed field is not an input.
        ([element("div", "", 0, 0, role="textbox"), element("input", "", 0, 40),
          element("textarea", "", 0, 80)], "second field",
         {"resolved": True, "confidence": 1.0, "element": "", "candidates": ["", ""]}),
        # Relations.
        (CART_ROW + [element("button", "Below", 100, 140)], "link below Cart", UNRESOLVED),
        (CART_ROW + [element("button", "Below", 100, 140), element("a", "Far", 900, 900)],
         "link below Cart",
         {"resolved": True, "confidence": 1.0, "element": "Below", "anchor_text": "Cart", "ordinal": 1,
          "type_relaxed": True, "actual_type": "button", "candidates": ["Below"]}),
        (CART_ROW + [element("button", f"B{i}", 100 + i, 300 - 60 * i) for i in range(3)],
         "second button below Cart",
         {"resolved": True, "confidence": 1.0, "element": "B1", "anchor_text": "Cart", "ordinal": 2,
          "type_relaxed": False, "actual_type": "button", "candidates": ["B1"]}),
        (CART_ROW + [element("a", "Below", 100, 140)], "below Cart",
         {"resolved": True, "confidence": 1.0, "element": "Below", "anchor_text": "Cart", "ordinal": 1,
          "type_relaxed": False, "actual_type": None, "candidates": ["Below"]}),
        # The anchor text reported is the anchor's searchable text.
        ([element("a", "", 0, 0, aria_label="Orders", name="orders-link"), element("a", "View", 0, 40)],
         "link below orders",
         {"resolved": True, "confidence": 1.0, "element": "View", "anchor_text": "Orders orders-link",
          "ordinal": 1, "type_relaxed": False, "actual_type": "link", "candidates": ["View"]}),
        # The anchor itself is never a candidate.
        (buttons("Cart"), "button below Cart", UNRESOLVED),
    ],
)
def test_resolve(dom, target, expected):
    result = resolve(dom, target)
    assert list(result) == (RELATION_KEYS if "anchor_text" in expected else list(expected))
    assert summary(result) == expected


def john_row(*buttons_):
    dom = [element("button", t, 200 + 100 * i, 100) for i, t in enumerate(buttons_)]
    return dom, [text_element("John", 0, 100)]


@pytest.mark.parametrize(
    "buttons_, target, chosen, candidates",
    [
        (("Edit", "Delete"), "Delete button next to John", "Delete", ["Delete"]),
        (("Edit", "Remove"), "Delete button next to John", "Edit", ["Edit"]),
        (("Edit", "Delete", "Copy"), "second button next to John", "Delete", ["Delete"]),
        (("Sign-Up now", "Other"), "sign up button next to John", "Sign-Up now", ["Sign-Up now"]),
    ],
)
def test_free_words_before_the_relation_narrow_only_when_they_match(buttons_, target, chosen,
                                                                    candidates):
    dom, texts = john_row(*buttons_)
    result = summary(resolve(dom, target, texts))
    assert (result["element"], result["candidates"]) == (chosen, candidates)


def test_text_elements_anchor_but_are_never_candidates():
    dom, texts = john_row()
    texts.append(text_element("Smith", 100, 100))
    assert resolve(dom, "button next to John", texts) == UNRESOLVED
    assert resolve(dom, "next to John", texts) == UNRESOLVED


def test_ordinal_in_the_result_comes_from_the_phrase_only():
    dom = CART_ROW + [element("button", "Below", 100, 140)]
    result = resolve(dom, "button below Cart", ordinal=3)
    assert result["ordinal"] == 1 and result["resolved"]


def test_resolve_ordinal_directly():
    dom = buttons("Submit", "Cancel", "Submit") + [element("a", "Submit", 0, 200)]
    matrix, r = resolver(dom)
    result = r._resolve_ordinal(2, "button", "SUBMIT")
    assert list(result) == ORDINAL_KEYS
    assert result["element"] is dom[2] and result["candidates"] == [dom[0], dom[2]]
    assert r._resolve_ordinal(3, None, None)["element"] is dom[2]
    assert r._resolve_ordinal(4, None)["element"] is dom[3]
    assert r._resolve_ordinal(5, None) == UNRESOLVED
    # The exact tier compares lower-cased, trimmed texts with the lower-cased words.
    spaced = buttons(" Submit ", "Submit now", "Submit")
    assert MatrixResolver(resolver(spaced)[0])._resolve_ordinal(2, None, "Submit")["element"] is spaced[2]


def test_the_matrix_is_the_callers_list_and_is_read_at_each_call():
    matrix, r = resolver(buttons("Save"))
    assert r.matrix is matrix
    assert r.resolve({"target": "first button"})["element"]["text"] == "Save"
    matrix.clear()
    assert r.resolve({"target": "first button"}) == UNRESOLVED
    other = resolver(buttons("Other"))[0]
    r.matrix = other
    assert r.matrix is other and r.resolve({"target": "first button"})["element"]["text"] == "Other"
    assert r.resolve({}) == UNRESOLVED  # a missing target is the empty text


@pytest.mark.parametrize(
    "call, error, message",
    [
        (lambda r: r.resolve(None), TypeError, "parsed_instruction must be a dict, not NoneType"),
        (lambda r: r.resolve({"target": None}), TypeError,
         "parsed_instruction['target'] must be str, not NoneType"),
        (lambda r: r._find_anchor(None), TypeError, "anchor_text must be str, not NoneType"),
        (lambda r: r._resolve_ordinal(None, None), TypeError, "ordinal must be int, not NoneType"),
        (lambda r: r._resolve_ordinal(1.0, None), TypeError, "ordinal must be int or None, not float"),
        (lambda r: r._resolve_ordinal(1, 3), TypeError, "type_filter must be str, not int"),
        (lambda r: r._resolve_ordinal(1, None, b"x"), TypeError, "search_text must be str, not bytes"),
        (lambda r: r._resolve_ordinal(-1, None), ValueError, "ordinal must be at least 1"),
        (lambda r: MatrixResolver(None), TypeError, "matrix must be a list of dicts, not NoneType"),
        (lambda r: MatrixResolver([{}, "x"]), TypeError, "matrix[1] must be a dict, not str"),
        (lambda r: setattr(r, "matrix", {}), TypeError, "matrix must be a list of dicts, not dict"),
    ],
)
def test_wrong_kinds_of_argument(call, error, message):
    _, r = resolver(buttons("Save"))
    with pytest.raises(error) as err:
        call(r)
    assert str(err.value) == message


def matrix_with(change):
    # Changed after construction: the resolver reads the caller's list as it is.
    matrix, r = resolver(buttons("Cart", "Below"))
    change(matrix)
    return r


@pytest.mark.parametrize(
    "change, target, error, message",
    [
        (lambda m: m[1].pop("position"), "button below Cart", ValueError, "matrix[1] has no 'position'"),
        (lambda m: m[1]["position"].pop("y"), "button below Cart", ValueError,
         "matrix[1]['position'] has no 'y'"),
        (lambda m: m[0]["position"].update(y2="120"), "button below Cart", TypeError,
         "matrix[0]['position']['y2'] must be a number, not str"),
        (lambda m: m[1].update(text=None), "button below Cart", TypeError,
         "matrix[1]['text'] must be str, not NoneType"),
        (lambda m: m[1]["element"].update(attributes=[]), "button below Wishlist", TypeError,
         "matrix[1]['element']['attributes'] must be a dict, not list"),
        (lambda m: m[1].pop("element"), "first button below Cart", ValueError, "matrix[1] has no 'element'"),
        (lambda m: m[1].pop("index"), "button below Cart", ValueError, "matrix[1] has no 'index'"),
        (lambda m: m[1].update(is_anchor_only=0), "first button", TypeError,
         "matrix[1]['is_anchor_only'] must be bool, not int"),
        (lambda m: m.append(3), "first button", TypeError, "matrix[2] must be a dict, not int"),
    ],
)
def test_malformed_entries_raise_a_clear_error(change, target, error, message):
    r = matrix_with(change)
    with pytest.raises(error) as err:
        r.resolve({"target": target})
    assert str(err.value) == message


def test_entries_lacking_unused_keys_still_resolve():
    # Only the keys an operation needs are read: a hand-made matrix may be sparse.
    record = {"text": "Go"}
    matrix = [{"index": 0, "element": record}]
    assert MatrixResolver(matrix).resolve({"target": "first"})["element"] is record


def test_class_documentation():
    from tarnwick.engine.spatial.gridmaker import MatrixBuilder

    assert MatrixResolver.__doc__ == "Finds elements using spatial relationships — proximity, direction, ordinal."
    assert MatrixBuilder.__doc__ == (
        "Builds a flat spatial matrix sorted in natural reading order (top→bottom, left→right).")
