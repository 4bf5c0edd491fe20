"""Whatever the matrix holds, resolving answers or raises a Python error."""

import math

from hypothesis import given, settings
from hypothesis import strategies as st
from spatial_support import element, text_element

from tarnwick.engine.spatial.gridfinder import MatrixResolver
from tarnwick.engine.spatial.gridmaker import MatrixBuilder

PHRASES = ["button below Cart", "second link next to Cart", "field near cart", "third input",
           "second Cart button", "button left of Cart", "link above Cart", "right of Cart", "Save"]

numbers = st.one_of(st.integers(-300, 300), st.floats(allow_nan=True, allow_infinity=True),
                    st.just(math.nan))
junk = st.one_of(st.none(), st.booleans(), numbers, st.text(max_size=4), st.just([]), st.just({}))
position = st.dictionaries(st.sampled_from(["x", "y", "w", "h", "cx", "cy", "x2", "y2"]),
                           st.one_of(numbers, junk), max_size=8)
entry = st.fixed_dictionaries(
    {},
    optional={
        "index": st.one_of(st.integers(0, 5), junk),
        "text": st.one_of(st.sampled_from(["Cart", "cart (2)", "OK", ""]), junk),
        "searchable": st.one_of(st.sampled_from(["Cart", "ok"]), junk),
        "element_type": st.one_of(st.sampled_from(["button", "link", "input"]), junk),
        "is_anchor_only": st.one_of(st.booleans(), junk),
        "position": st.one_of(position, junk),
        "element": st.one_of(st.fixed_dictionaries({}, optional={
            "attributes": st.one_of(st.dictionaries(st.sampled_from(["aria-label", "_label", "placeholder"]),
                                                    st.one_of(st.just("Cart total"), junk), max_size=3), junk),
            "xpath": st.one_of(st.just("/html[1]/body[1]"), junk)}), junk),
    },
)


@settings(max_examples=400, deadline=None)
@given(st.lists(entry, max_size=6), st.sampled_from(PHRASES))
def test_resolving_junk_never_crashes(matrix, phrase):
    try:
        result = MatrixResolver(matrix).resolve({"target": phrase})
    except (TypeError, ValueError):
        return
    assert result["confidence"] == (1.0 if result["resolved"] else 0.0)


@settings(max_examples=150, deadline=None)
@given(st.lists(st.tuples(st.sampled_from(["button", "a", "input", "span"]),
                          st.sampled_from(["Cart", "OK", "Cart (1)", ""]),
                          st.integers(0, 400), st.integers(0, 400),
                          st.one_of(st.integers(0, 80), st.floats(0, 80))), max_size=12),
       st.sampled_from(PHRASES))
def test_built_matrices_resolve_to_their_own_records(rows, phrase):
    dom = [element(tag, text, x, y, w) for tag, text, x, y, w in rows if tag != "span"]
    texts = [text_element(text, x, y, w) for tag, text, x, y, w in rows if tag == "span"]
    matrix = MatrixBuilder(dom, texts).build()
    result = MatrixResolver(matrix).resolve({"target": phrase})
    if result["resolved"]:
        assert any(result["element"] is d for d in dom)
        if "anchor_text" in result:  # a relation: the chosen one leads the ranked list
            assert result["element"] is result["candidates"][0]
        else:
            assert any(result["element"] is c for c in result["candidates"])
