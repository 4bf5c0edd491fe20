"""_parse_target and _normalize: the phrase tables, tie-breaks and text rules."""

import pytest
from hypothesis import given, settings
from hypothesis import strategies as st

from tarnwick.engine.spatial import gridfinder
from tarnwick.engine.spatial.gridfinder import _normalize, _parse_target


@pytest.mark.parametrize(
    "target, expected",
    [
        # The worked examples.
        ("Delete button next to John", ("john", "next_to", "button", None, None, "delete")),
        ("button below Cart", ("cart", "below", "button", None, None, None)),
        ("second link under the Orders heading", ("orders heading", "below", "link", 2, None, None)),
        ("third input", (None, None, "input", 3, None, None)),
        ("second Submit button", (None, None, "button", 2, "submit", None)),
        ("2nd button below", ("", "below", "button", 2, None, None)),
        ("Save", (None, None, None, None, None, None)),
        # Longest relation phrase first, then stored order.
        ("button right of left of X", ("left of x", "right", "button", None, None, None)),
        ("link left of Save next to Cancel", ("cancel", "next_to", "link", None, None, "left of save")),
        # Relations are substrings.
        ("field nearby Email", ("by email", "near", "input", None, None, None)),
        ("link underline", ("line", "below", "link", None, None, None)),
        ("button under", ("", "below", "button", None, None, None)),
        # Articles leave the anchor's start once each, in the order the, a, an.
        ("the button below an a Label", ("a label", "below", "button", None, None, "the")),
        ("button below the a b", ("b", "below", "button", None, None, None)),
        ("button below a the b", ("the b", "below", "button", None, None, None)),
        ("button below the", ("the", "below", "button", None, None, None)),
        # One word may serve two roles.
        ("first button below first heading", ("first heading", "below", "button", 1, None, None)),
        ("SECOND BUTTON", (None, None, "button", 2, None, None)),
        # Table order, not phrase order, picks the type and the ordinal.
        ("input below the Search button", ("search button", "below", "button", None, None, "input")),
        ("third second link", (None, None, "link", 2, "third", None)),
        ("second, link", (None, None, "link", None, None, None)),
        ("5th dropdown", (None, None, "select", 5, None, None)),
        # Ordinal-only search words skip relation words and articles.
        ("the second Save link next to", ("", "next_to", "link", 2, "save", "the save")),
        ("btn 2nd", (None, None, "button", 2, None, None)),
        ("", (None, None, None, None, None, None)),
    ],
)
def test_parse_target(target, expected):
    assert _parse_target(target) == expected


def test_parse_target_uses_full_unicode_lower_casing_and_whitespace():
    assert _parse_target("link below İstanbul")[0] == "i\u0307stanbul"
    assert _parse_target("SECOND\u2003BUTTON\u00a0below\u3000ΣΟΦΙΑΣ") == (
        "σοφιας", "below", "button", 2, None, None)
    assert _parse_target("third\x1finput")[3] == 3


@pytest.mark.parametrize(
    "text, expected",
    [("Sign-up Now", "signupnow"), ("E-mail Address", "emailaddress"), ("", ""),
     ("A\tB\nC", "a\tb\nc"), ("x\u00a0-\u2003Y", "x\u00a0\u2003y"), ("STRASSE-Ä", "strasseä")],
)
def test_normalize(text, expected):
    assert _normalize(text) == expected


def test_constants_and_tables():
    assert (gridfinder.SPATIAL_TOLERANCE, gridfinder.NEAR_MAX_PIXELS, gridfinder.NEAR_MAX_DOM_STEPS) == (40, 300, 10)
    assert list(gridfinder._RELATIONS.items())[0] == ("next to", "next_to")
    assert list(gridfinder._ORDINALS)[:6] == ["first", "second", "third", "fourth", "fifth", "1st"]
    assert gridfinder._TYPE_KEYWORDS["dropdown"] == "select"


@pytest.mark.parametrize("call, name", [(lambda: _parse_target(None), "target"),
                                        (lambda: _parse_target(b"x"), "target"),
                                        (lambda: _normalize(3), "text")])
def test_non_text_arguments_raise_type_error(call, name):
    with pytest.raises(TypeError, match=f"^{name} must be str"):
        call()


# A model of the parse in plain Python, compared on phrases built from the
# table words, so that table order and tie-breaks are exercised together.
RELATIONS = {"next to": "next_to", "below": "below", "under": "below", "above": "above",
             "left of": "left", "right of": "right", "near": "near"}
ORDINALS = {"first": 1, "second": 2, "third": 3, "fourth": 4, "fifth": 5,
            "1st": 1, "2nd": 2, "3rd": 3, "4th": 4, "5th": 5}
TYPES = {"button": "button", "btn": "button", "link": "link", "anchor": "link", "input": "input",
         "field": "input", "textbox": "input", "select": "select", "dropdown": "select"}


def model(target):
    t = target.lower()
    words = t.split()
    phrase = next((p for p in sorted(RELATIONS, key=len, reverse=True) if p in t), None)
    ordinal_word = next((w for w in ORDINALS if w in words), None)
    type_word = next((w for w in TYPES if w in words), None)
    anchor = target_text = search = None
    if phrase:
        before, after = t.split(phrase, 1)
        anchor = after.strip()
        for article in ("the", "a", "an"):
            if anchor.startswith(article + " "):
                anchor = anchor[len(article) + 1:]
        anchor = anchor.strip()
        rest = [w for w in before.split() if w not in (type_word, ordinal_word)]
        target_text = " ".join(rest) or None
    if ordinal_word and not anchor:
        skip = {ordinal_word, type_word, *(phrase.split() if phrase else [])}
        search = " ".join(w for w in words if w not in skip and w not in ("the", "a", "an")) or None
    return (anchor, RELATIONS.get(phrase), TYPES.get(type_word), ORDINALS.get(ordinal_word), search,
            target_text)


vocabulary = [*RELATIONS, *ORDINALS, *TYPES, "the", "a", "an", "Save", "Cart", "nearby", "x", "İ",
              "ΣΑΣ", "2nd,", "-", "ab"]
separators = st.sampled_from([" ", "  ", "\t", "\u00a0", "\u2003", ""])


@settings(max_examples=500, deadline=None)
@given(st.lists(st.tuples(st.sampled_from(vocabulary), separators), max_size=8),
       st.sampled_from(["", " ", "\n"]))
def test_parse_target_agrees_with_a_plain_model(parts, edge):
    target = edge + "".join(w + s for w, s in parts) + edge
    assert _parse_target(target) == model(target)
