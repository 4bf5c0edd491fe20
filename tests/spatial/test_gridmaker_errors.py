"""MatrixBuilder and its helpers reject malformed input with a clear error."""

import math

import pytest
from hypothesis import given, settings
from hypothesis import strategies as st
from spatial_support import box, element

from tarnwick.engine.spatial import gridmaker
from tarnwick.engine.spatial.gridmaker import MatrixBuilder


@pytest.mark.parametrize(
    "call, message",
    [
        (lambda: MatrixBuilder(None), "dom_elements must be a list of dicts, not NoneType"),
        (lambda: MatrixBuilder({"tag": "a"}), "dom_elements must be a list of dicts, not dict"),
        (lambda: MatrixBuilder([], "text"), "text_elements must be a list of dicts, not str"),
        (lambda: gridmaker._element_type(None), "element must be a dict, not NoneType"),
        (lambda: gridmaker._searchable([]), "element must be a dict, not list"),
        (lambda: gridmaker._position(None), "bb must be a dict, not NoneType"),
        (lambda: gridmaker._position({"x": "1"}), "bb['x'] must be a number, not str"),
        (lambda: gridmaker._position({"width": True}), "bb['width'] must be a number, not bool"),
        (lambda: gridmaker._element_type({"attributes": None}),
         "element['attributes'] must be a dict, not NoneType"),
    ],
)
def test_wrong_kinds_of_argument_raise_type_error_naming_it(call, message):
    with pytest.raises(TypeError) as err:
        call()
    assert str(err.value) == message


@pytest.mark.parametrize(
    "dom, texts, message",
    [
        ([element("a"), "a"], None, "dom_elements[1] must be a dict, not str"),
        ([{"attributes": ["x"], "bounding_box": box(0, 0)}], None,
         "dom_elements[0]['attributes'] must be a dict, not list"),
        ([{"bounding_box": {"x": 1, "y": None}}], None,
         "dom_elements[0]['bounding_box']['y'] must be a number, not NoneType"),
        ([{"bounding_box": [1, 2, 3, 4]}], None,
         "dom_elements[0]['bounding_box'] must be a dict, not list"),
        ([{"tag": 1, "bounding_box": box(0, 0)}], None, "dom_elements[0]['tag'] must be str, not int"),
        ([{"text": None, "bounding_box": box(0, 0)}], None,
         "dom_elements[0]['text'] must be str, not NoneType"),
        ([{"attributes": {"name": 3}, "bounding_box": box(0, 0)}], None,
         "dom_elements[0]['attributes']['name'] must be str, not int"),
        ([{"is_enabled": "yes", "bounding_box": box(0, 0)}], None,
         "dom_elements[0]['is_enabled'] must be bool, not str"),
        ([], [element("a"), 7], "text_elements[1] must be a dict, not int"),
        ([], [{"attributes": {"_label": 1}}], "text_elements[0]['attributes']['_label'] must be str, not int"),
    ],
)
def test_malformed_records_fail_the_build_with_their_place(dom, texts, message):
    builder = MatrixBuilder(dom, texts)
    with pytest.raises(TypeError) as err:
        builder.build()
    assert str(err.value) == message


def test_whole_numbers_beyond_64_bits_are_a_value_error():
    with pytest.raises(ValueError, match=r"dom_elements\[0\]\['bounding_box'\]\['x'\] is out of range"):
        MatrixBuilder([{"bounding_box": {"x": 2**64}}]).build()
    with pytest.raises(ValueError, match="out of range"):
        MatrixBuilder([{"bounding_box": {"x": 2**62, "width": 2**62}}]).build()


def test_records_without_a_box_are_not_inspected_further_than_needed():
    # A text element's own attributes beyond _label are never read.
    texts = [{"text": "Total", "attributes": {"role": 5}, "bounding_box": box(0, 0)}]
    assert MatrixBuilder([], texts).build()[0]["searchable"] == "Total"


numbers = st.one_of(st.integers(-(2**40), 2**40), st.floats(allow_nan=True, allow_infinity=True))
junk = st.recursive(
    st.one_of(st.none(), st.booleans(), numbers, st.text(max_size=5)),
    lambda inner: st.one_of(st.lists(inner, max_size=3),
                            st.dictionaries(st.sampled_from(["x", "y", "width", "text", "tag"]), inner, max_size=3)),
    max_leaves=8,
)
records = st.dictionaries(
    st.sampled_from(["tag", "text", "attributes", "bounding_box", "is_enabled"]), junk, max_size=5)


@settings(max_examples=300, deadline=None)
@given(st.lists(st.one_of(records, junk), max_size=6), st.lists(records, max_size=3))
def test_any_input_builds_or_raises_a_python_error(dom, texts):
    try:
        matrix = MatrixBuilder(dom, texts).build()
    except (TypeError, ValueError):
        return
    assert [e["index"] for e in matrix] == list(range(len(matrix)))


def sort_key(corner):
    # Python's own tuple order, with NaN placed last as the builder does.
    y, x = corner
    return (math.isnan(y), 0 if math.isnan(y) else y, math.isnan(x), 0 if math.isnan(x) else x)


@settings(max_examples=200, deadline=None)
@given(st.lists(st.tuples(st.one_of(st.integers(-50, 50), st.floats(-50, 50), st.just(math.nan)),
                          st.one_of(st.integers(-50, 50), st.floats(-50, 50))), max_size=30))
def test_order_matches_a_stable_sort_on_the_corner(corners):
    dom = [{"text": str(i), "bounding_box": {"x": x, "y": y, "width": 1, "height": 1}}
           for i, (x, y) in enumerate(corners)]
    expected = sorted(range(len(corners)), key=lambda i: sort_key((corners[i][1], corners[i][0])))
    assert [int(e["text"]) for e in MatrixBuilder(dom).build()] == expected
