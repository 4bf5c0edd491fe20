"""Any input gives a result or a clear error, and results only ever hold the
caller's own records."""

from hypothesis import given, settings, strategies as st

from tarnwick.engine.strategies.textfinder import DOMStrategy

ACTIONS = ["click", "type", "select", "hover", "extract_text", "find_text", "find_exact_text",
           "verify_present", "verify_visible", "verify_enabled", "verify_disabled",
           "verify_text_present", "verify_text_visible", "verify_spatial_text",
           "extract_text_spatial"]
KEYS = ["tag", "text", "attributes", "bounding_box", "is_visible", "is_enabled",
        "is_editable_field", "xpath"]

scalars = st.one_of(st.none(), st.booleans(), st.integers(-50, 50),
                    st.floats(allow_nan=True, allow_infinity=True),
                    st.sampled_from(["", "Total", "total\n9", "$", "span", "td", "/a[1]", "/a[1]/b[1]",
                                     "input", "Go", "\u0130", "x y"]))
values = st.recursive(scalars, lambda inner: st.one_of(
    st.lists(inner, max_size=3),
    st.dictionaries(st.sampled_from(["x", "y", "width", "height", "class", "id", "role",
                                     "aria-label", "_label", "data-a-b"]), inner, max_size=4)),
    max_leaves=8)
records = st.dictionaries(st.sampled_from(KEYS), values, max_size=8)
good_records = st.fixed_dictionaries({
    "tag": st.sampled_from(["span", "button", "input", "td"]),
    "text": st.sampled_from(["Total", "9", "Go", "", "$1.00"]),
    "bounding_box": st.fixed_dictionaries({k: st.integers(0, 300) for k in
                                           ("x", "y", "width", "height")}),
    "xpath": st.sampled_from(["/a[1]", "/a[1]/b[1]", "/a[1]/c[2]"]),
    "is_visible": st.booleans(),
})
instructions = st.fixed_dictionaries(
    {"action": st.sampled_from(ACTIONS)},
    optional={"target": st.sampled_from(["Total", "below Total", "next to the Go", "go", "", "9"]),
              "value": st.sampled_from(["9", "", "$"]),
              "ordinal": st.integers(-4, 4)})


def check(result, dom, texts):
    allowed = {id(r) for r in dom} | {id(r) for r in texts or []}
    assert result["confidence"] == (1.0 if result["resolved"] else 0.0)
    assert result["element"] is None or id(result["element"]) in allowed
    assert all(id(c) in allowed for c in result["candidates"])


@settings(max_examples=300, deadline=None)
@given(instructions, st.lists(st.one_of(records, good_records), max_size=5),
       st.one_of(st.none(), st.lists(st.one_of(records, good_records), max_size=5)))
def test_any_records_give_a_result_or_a_clear_error(instruction, dom, texts):
    try:
        result = DOMStrategy().resolve(instruction, dom, texts)
    except (TypeError, ValueError):
        return
    check(result, dom, texts)


@settings(max_examples=150, deadline=None)
@given(instructions, st.lists(good_records, max_size=6), st.lists(good_records, max_size=6))
def test_well_formed_records_never_raise(instruction, dom, texts):
    check(DOMStrategy().resolve(instruction, dom, texts), dom, texts)
