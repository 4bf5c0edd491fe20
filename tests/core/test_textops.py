"""The core's text operations agree with Python's own str methods."""

import json
import unicodedata

import pytest
from hypothesis import given, settings, strategies as st

from tarnwick.engine.core import _textops as ops

SPECIAL = "\u00a0\u2003\u001c\u001d\u001e\u001f\u0130\u03a3\u0301\u4e2d\U0001f600\u0085 \t\n"
# Every code point, surrogates included: the text rules follow the running
# Python's Unicode database even where ICU's is newer.
any_char = st.characters(codec=None, categories=None) | st.characters(min_codepoint=0xD800, max_codepoint=0xDFFF)
texts = st.text(alphabet=st.one_of(any_char, st.sampled_from(SPECIAL)), max_size=40)


@settings(max_examples=3000, deadline=None)
@given(texts)
def test_agrees_with_str(s):
    assert ops.lower(s) == s.lower()
    assert ops.strip(s) == s.strip()
    assert ops.split(s) == s.split()
    assert ops.split_once(s) == s.split(None, 1)
    assert ops.has_digit(s) == any(c.isdigit() for c in s)
    assert ops.length(s) == len(s)
    assert ops.repr(s) == repr(s)


@settings(max_examples=500, deadline=None)
@given(st.lists(texts, max_size=5))
def test_repr_of_lists(items):
    assert ops.repr_list(items) == repr(items)


@settings(max_examples=2000, deadline=None)
@given(any_char)
def test_character_classes(c):
    assert ops.is_space(c) == c.isspace()
    assert ops.is_digit(c) == c.isdigit()
    assert ops.is_printable(c) == c.isprintable()


@pytest.mark.parametrize(
    "s",
    ["\u0130stanbul", "\u039f\u03a3 \u03a3\u039f", "A\u03a3\u0301", "\u00a0x\u2003", "\x1cA\x1f"],
)
def test_named_cases(s):
    assert ops.lower(s) == s.lower()
    assert ops.split(s) == s.split()
    assert ops.repr(s) == repr(s)


@pytest.mark.parametrize("c", ["\U00031350", "\U00011f50", "\U0001e4f0"])
def test_characters_newer_than_python_follow_python(c):
    # Assigned by ICU's newer Unicode, unknown to this Python's database.
    if unicodedata.category(c) != "Cn":
        pytest.skip("this Python already knows the character")
    assert ops.repr(c) == repr(c)
    assert ops.is_digit(c) == c.isdigit()


def test_lone_surrogates_pass_through():
    s = "a\ud800b\udfff"
    assert ops.lower(s) == s.lower()
    assert ops.repr(s) == repr(s)
    assert ops.roundtrip({"k": s}) == {"k": s}


def test_record_roundtrip_keeps_kinds_and_order():
    rec = {"b": 1, "a": 1.0, "n": None, "t": True, "s": [1, "x", {"z": 0}], "e": {}}
    back = ops.roundtrip(rec)
    assert back == rec
    assert list(back) == ["b", "a", "n", "t", "s", "e"]
    assert type(back["b"]) is int and type(back["a"]) is float


@pytest.mark.parametrize(
    "bad, error",
    [({1: "x"}, TypeError), ({"x": object()}, TypeError), (2**70, ValueError)],
)
def test_record_conversion_rejects_bad_values(bad, error):
    with pytest.raises(error):
        ops.roundtrip(bad)


def test_cyclic_record_is_an_error_not_a_crash():
    d = {}
    d["self"] = d
    with pytest.raises(ValueError):
        ops.roundtrip(d)


@settings(max_examples=500, deadline=None)
@given(
    st.recursive(
        st.none() | st.booleans() | st.integers(-(2**63), 2**63 - 1)
        | st.floats(allow_nan=False) | texts,
        lambda inner: st.lists(inner, max_size=4) | st.dictionaries(texts, inner, max_size=4),
        max_leaves=20,
    )
)
def test_json_matches_json_dumps(value):
    assert ops.json_dumps(value, 2) == json.dumps(value, indent=2)
