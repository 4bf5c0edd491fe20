"""Wrong argument kinds, lone surrogates and non-ASCII text; properties that
hold for any input."""

import unicodedata

import pytest
from hypothesis import given, settings, strategies as st

from tarnwick.engine.agent import stepreader
from tarnwick.engine.agent.stepreader import InstructionParser



@pytest.fixture(scope="module")
def P():
    return InstructionParser()


CALLS = [
    ("parse", "instruction"),
    ("validate", "instruction"),
    ("_unquote", "instruction"),
    ("_clean_target", "target"),
]


@pytest.mark.parametrize("method, name", CALLS)
@pytest.mark.parametrize("bad", [None, 5, b"click x", ["click x"], 1.5])
def test_wrong_kind_raises_type_error_naming_the_argument(P, method, name, bad):
    with pytest.raises(TypeError, match=name):
        getattr(P, method)(bad)
    with pytest.raises(TypeError, match="text"):
        stepreader._extract_ordinal(bad)


@pytest.mark.parametrize("bad", [None, "click x", b"click x", 5])
def test_validate_all_wants_a_list_of_str(P, bad):
    with pytest.raises(TypeError, match="instructions"):
        P.validate_all(bad)


def test_validate_all_names_the_bad_item(P):
    with pytest.raises(TypeError, match=r"instructions\[1\]"):
        P.validate_all(["click a", None])


def test_keyword_arguments(P):
    assert P.parse(instruction="wait 5")["target"] == "5"
    assert stepreader._extract_ordinal(text="third x") == (3, "x")


LONE = "\ud800"


def test_lone_surrogates_pass_through_unchanged(P):
    assert P.parse(f'click "{LONE}x"') == {
        "action": "click", "target": f"{LONE}x", "value": None, "ordinal": 1, "_literal_target": True}
    assert P.parse(f"type a{LONE} into {LONE}")["value"] == f"a{LONE}"
    assert P._unquote(f'"{LONE}" b') == (f"{LONE} b", [LONE])
    assert P._clean_target(f"the {LONE}\udfff") == f"{LONE}\udfff"
    assert P.validate(f"{LONE} x") == [
        f"Unknown action '\\ud800'. Expected one of: click, type, verify, hover, select, press, "
        "wait, find, extract, sendkeys."]
    with pytest.raises(ValueError, match=r"^Unrecognised instruction: '\\udfff'\. "):
        P.parse("\udfff")


@pytest.mark.parametrize("step, field, expected", [
    # lower-casing U+023A gives U+2C65, one UTF-8 byte longer: texts are cut
    # at character positions
    ("type \u023a\u023a\u023a into Name", "value", "\u023a\u023a\u023a"),
    ("verify text \u023a\u023a is present", "target", "\u023a\u023a"),
    ("verify text near \u023a is \u023a\u023a", "value", "\u023a\u023a"),
    ("click \u023a\u023a\u023a\u023a", "target", "\u023a\u023a\u023a\u023a"),
    ("\u0130\u0130 x", None, None),  # rejected, see below
    # non-ASCII letters keep their case; the rule test folds them
    ("Click THE Caf\u00c9 Men\u00dc", "target", "Caf\u00c9 Men\u00dc"),
    ("click \u4e2d\u6587 \U0001f600", "target", "\u4e2d\u6587 \U0001f600"),
    # Python's whitespace: U+00A0, U+2003, U+001F separate and are trimmed
    ("click the\u2003\u00a0Cart\u001f", "target", "Cart"),
    ("\u2003press Enter\u00a0", "target", "Enter"),
    # the Kelvin sign lower-cases to "k", as str.lower() does
    ("CLIC\u212a Login", "target", "Login"),
])
def test_non_ascii_positions(P, step, field, expected):
    if field is None:
        with pytest.raises(ValueError):
            P.parse(step)
    else:
        assert P.parse(step)[field] == expected


def test_dotted_capital_i_never_spells_a_keyword(P):
    # str.lower() makes U+0130 two characters ("i" + U+0307), so it never
    # reads as "i"; the per-character lower-casing keeps it as it is.
    with pytest.raises(ValueError):
        P.parse("type x \u0130NTO Name")
    assert P.parse("type x into \u0130stanbul")["target"] == "\u0130stanbul"
    assert P.validate("type x \u0130NTO Name") == [
        "`type` instruction missing `into` keyword. Expected: type <text> into <target>"]


# Characters Python's own Unicode database knows, so repr() agrees with the
# message (ICU may know newer characters).
assigned = st.characters().filter(lambda c: unicodedata.category(c) != "Cn")

KEYWORDS = ["type ", " into ", "select ", " from ", "find text ", "find exact text ",
            "extract text ", "extract_text ", "click ", "hover ", "navigate ", "press ",
            "accept dialog", "dismiss dialog", "verify dialog says ", "sendkeys ", "wait ",
            "verify text ", "verify ", " is ", "is present", "is visible", "is enabled",
            "is disabled", "next to ", "below ", "near ", "first ", "second ", "the ", '"',
            "'", "from "]
pieces = st.one_of(
    st.sampled_from(KEYWORDS),
    st.sampled_from(KEYWORDS).map(str.upper),
    st.text(alphabet=assigned, max_size=6),
    st.sampled_from(["\u023a", "\u0130", "\u212a", "\u03a3", "\u00a0", "\u2003", "\x1c", LONE, "\U0001f600"]),
)
steps = st.lists(pieces, max_size=8).map("".join)


@settings(max_examples=800, deadline=None)
@given(steps)
def test_parse_gives_a_record_or_a_value_error(P, step):
    try:
        got = P.parse(step)
    except ValueError as e:
        assert str(e).startswith(f"Unrecognised instruction: {step!r}. Supported actions: [")
        return
    assert got["action"] in P.SUPPORTED_ACTIONS + ["navigate", "wait"]
    keys = ["action", "target", "value", "ordinal", "_literal_target"]
    if got["action"] not in ("click", "extract_text"):
        keys.remove("ordinal")
    assert list(got) == keys
    assert got["target"] is None or isinstance(got["target"], str)
    assert got["value"] is None or isinstance(got["value"], str)
    assert type(got["_literal_target"]) is bool
    if "ordinal" in got:
        assert got["ordinal"] in range(1, 6)
    if got["_literal_target"]:
        assert got["target"] in P._unquote(step.strip())[1]


@settings(max_examples=500, deadline=None)
@given(steps)
def test_validate_never_fails(P, step):
    issues = P.validate(step)
    assert isinstance(issues, list) and all(isinstance(i, str) for i in issues)
    assert P.validate_all([step, "click a"]) == ({1: issues} if issues else {})


# A word that contains no whitespace, quote or keyword-forming text survives
# every rule character for character, whatever its UTF-8 length.
words = st.text(
    alphabet=st.characters(blacklist_categories=("Cs", "Cn"), blacklist_characters='"\'')
    .filter(lambda c: not c.isspace()), min_size=1, max_size=12,
).filter(lambda w: w.lower() not in {"on", "the", "a", "an", "in", "at", "into",
                                     "first", "second", "third", "fourth", "fifth"})


@settings(max_examples=400, deadline=None)
@given(words, words)
def test_words_are_cut_out_whole(P, a, b):
    assert P.parse(f"type {a} into {b}")["value"] == a
    assert P.parse(f"type {a} into {b}")["target"] == b
    assert P.parse(f"select {a} from {b}")["value"] == a
    assert P.parse(f"click {a}")["target"] == a
    assert P.parse(f"hover  {a}  {b} ")["target"] == f"{a} {b}"
    assert P.parse(f"verify text {a} is present")["target"] == a
    assert P.parse(f'verify "{a}" is visible')["target"] == a
    assert P.parse(f"verify text below {a} is {b}")["value"] == b
    assert P.parse(f"press {a}")["target"] == a
