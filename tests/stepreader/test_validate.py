"""InstructionParser.validate and validate_all: every check and message."""

import pytest

from tarnwick.engine.agent.stepreader import InstructionParser

MISSING_INTO = "`type` instruction missing `into` keyword. Expected: type <text> into <target>"
MISSING_TEXT = "`type` instruction missing text to type. Expected: type <text> into <target>"
MISSING_FROM = "`select` instruction missing `from` keyword. Expected: select <value> from <target>"
VERIFY_STATE = ("`verify` instruction missing state. Expected ending: "
                "is present | is visible | is enabled | is disabled")
VERIFY_TEXT_STATE = "`verify text` instruction missing state. Expected ending: is present | is visible"
EXPECTED_ACTIONS = ". Expected one of: click, type, verify, hover, select, press, wait, find, extract, sendkeys."


def unknown(word):
    return f"Unknown action {word!r}{EXPECTED_ACTIONS}"


def unbalanced(step):
    return f"Unbalanced quote \u2014 missing closing `\"` in: {step!r}"


def wait_issue(got):
    return f"`wait` value must be a number in milliseconds. Got: {got!r}"


CASES = [
    ("", ["Instruction is empty."]),
    (" \t\u00a0\n", ["Instruction is empty."]),
    # an odd quote count hides everything else
    ('type "abc into Name', [unbalanced('type "abc into Name')]),
    ('  tap "it\'s  ', [unbalanced('tap "it\'s')]),
    ('click "a" "b"', []),
    # first word, lower-cased, must be known
    ("Click Login", []),
    ("tap Login", [unknown("tap")]),
    ("TAP Login", [unknown("tap")]),
    ("clicking Login", [unknown("clicking")]),
    *[(f"{w} x", []) for w in ("hover", "press", "sendkeys", "find", "extract", "accept",
                               "dismiss", "back", "refresh", "navigate")],
    ("back", []),
    # type
    ("type hello into Name", []),
    ("type into Name", [MISSING_TEXT]),
    ("type  into Name", [MISSING_TEXT]),
    ("type \t into Name", [MISSING_TEXT]),
    ("type hello Name", [MISSING_INTO]),
    ("type hello into", [MISSING_INTO]),
    ("TYPE x INTO y", []),
    # select
    ("select Blue from Colour", []),
    ("select Blue Colour", [MISSING_FROM]),
    ("select from List", []),  # validation passes it; parse rejects it
    # verify
    ("verify Login button", [VERIFY_STATE]),
    *[(f"verify Login button {s}", []) for s in ("is present", "is visible", "is enabled", "is disabled")],
    ("verify dialog says Saved", []),
    ("verify dialogue", []),  # "verify dialog" has no trailing blank
    ("verify text Welcome", [VERIFY_TEXT_STATE]),
    ("verify text Welcome is present", []),
    ("verify text Welcome is visible", []),
    ("verify text Welcome is enabled", [VERIFY_TEXT_STATE]),
    *[(f"verify text {p} Total is $5", []) for p in ("next to", "below", "above", "left of", "right of")],
    ("verify text leftover stock", []),  # the prefixes carry no trailing blank
    ("verify text under Price is $5", [VERIFY_TEXT_STATE]),
    ("verify text near Price is $5", [VERIFY_TEXT_STATE]),
    # wait
    ("wait 500", []),
    ('wait "500"', []),
    ("wait '500'", []),
    ("wait 1.5", [wait_issue("1.5")]),
    ("wait 500ms", [wait_issue("500ms")]),
    ("wait -5", [wait_issue("-5")]),
    ("wait \u0665\u0660\u0660", [wait_issue("\u0665\u0660\u0660")]),  # milliseconds are ASCII digits
    ("wait '\"5\"'", [wait_issue('"5"')]),  # '"' is stripped before "'"
]


@pytest.fixture(scope="module")
def parser():
    return InstructionParser()


@pytest.mark.parametrize("step, issues", CASES, ids=[repr(c[0]) for c in CASES])
def test_validate(parser, step, issues):
    assert parser.validate(step) == issues


def test_validate_all_numbers_faulty_steps_from_one(parser):
    assert parser.validate_all(["click Login", "tap Login", "wait 500"]) == {2: [unknown("tap")]}
    assert parser.validate_all([]) == {}
    assert parser.validate_all(("click a", "click b")) == {}


def test_validate_all_keeps_increasing_order(parser):
    got = parser.validate_all(["", "click a", "wait x", "verify a", "tap"])
    assert list(got) == [1, 3, 4, 5]
    assert got[1] == ["Instruction is empty."]
    assert got[3] == [wait_issue("x")]


def test_validate_all_takes_any_iterable_of_str(parser):
    assert parser.validate_all(s for s in ["tap", "click"]) == {1: [unknown("tap")]}
