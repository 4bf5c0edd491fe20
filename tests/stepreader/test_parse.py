"""InstructionParser.parse: every rule, table entry and rejection."""

import pytest

from tarnwick.engine.agent import stepreader
from tarnwick.engine.agent.stepreader import InstructionParser

ABSENT = object()

SUPPORTED = [
    "click", "type", "hover", "select", "press_key", "sendkeys", "extract_text",
    "extract_text_spatial", "find_text", "find_exact_text", "verify_present",
    "verify_visible", "verify_enabled", "verify_disabled", "verify_text_present",
    "verify_text_visible", "verify_spatial_text", "accept_dialog", "dismiss_dialog",
    "verify_dialog",
]
SPATIAL_KW = ["next to ", "below ", "above ", "left of ", "right of ", "under ", "near "]


def record(action, target, value, literal, ordinal=ABSENT):
    r = {"action": action, "target": target, "value": value}
    if ordinal is not ABSENT:
        r["ordinal"] = ordinal
    r["_literal_target"] = literal
    return r


@pytest.fixture(scope="module")
def parser():
    return InstructionParser()


CASES = [
    # type / select: first separator splits, value never trimmed
    ("type  hello into Name", record("type", "Name", " hello", False)),
    ('type standard_user into "Username"', record("type", "Username", "standard_user", True)),
    ("type a into b into Name", record("type", "b into Name", "a", False)),
    ("TYPE Secret INTO the Password field", record("type", "Password field", "Secret", False)),
    ('type x into  "Name"  ', record("type", "Name", "x", True)),
    ('type "Name" into Name', record("type", "Name", "Name", True)),
    ("select Blue from Colour", record("select", "Colour", "Blue", False)),
    ('select  Price (low to high)  from "Sort"', record("select", "Sort", " Price (low to high) ", True)),
    ("select a from b from c", record("select", "b from c", "a", False)),
    # find
    ("find exact text  the Total ", record("find_exact_text", " the Total", None, False)),
    ('find exact text "Total"', record("find_exact_text", "Total", None, True)),
    ("find text the Total  due", record("find_text", "Total due", None, False)),
    ('find text "the Total"', record("find_text", "the Total", None, True)),
    # extract text: both spellings, "from", ordinals, spatial keywords
    ("extract_text near Price", record("extract_text_spatial", "near Price", None, False)),
    ('extract text next to "Total"', record("extract_text_spatial", "next to Total", None, False)),
    ("extract text from second row", record("extract_text", "row", None, False, 2)),
    ("Extract_Text FROM the Price", record("extract_text", "Price", None, False, 1)),
    ('extract text "Total"', record("extract_text", "Total", None, True, 1)),
    ("extract text the second row", record("extract_text", "second row", None, False, 1)),
    # click: ordinal before cleaning, literals survive cleaning
    ('click "Log in"', record("click", "Log in", None, True, 1)),
    ('click first button next to "Sign up"', record("click", "button next to Sign up", None, False, 1)),
    ("Click The Submit Button", record("click", "Submit Button", None, False, 1)),
    ("click the second button", record("click", "second button", None, False, 1)),
    ("click second button", record("click", "button", None, False, 2)),
    ("click first", record("click", "", None, False, 1)),
    ('click "Second Hand"', record("click", "Hand", None, False, 2)),
    ('click "the Cart"', record("click", "the Cart", None, True, 1)),
    ("click button below Cart", record("click", "button below Cart", None, False, 1)),
    ('click "Login', record("click", '"Login', None, False, 1)),
    ('click ""', record("click", '""', None, False, 1)),
    # hover, navigate, press
    ("hover over the Menu", record("hover", "over the Menu", None, False)),
    ("hover the Menu", record("hover", "Menu", None, False)),
    ("navigate 'https://shop.test/'", record("navigate", "https://shop.test/", None, False)),
    ('navigate  "https://shop.test/a b" ', record("navigate", "https://shop.test/a b", None, False)),
    ("press  Control+Shift+K ", record("press_key", "Control+Shift+K", None, False)),
    # dialogs
    ("accept dialog", record("accept_dialog", None, None, False)),
    ("  Dismiss Dialog  ", record("dismiss_dialog", None, None, False)),
    ("verify dialog says Saved!", record("verify_dialog", None, "Saved!", False)),
    ("verify dialog says  Saved is present", record("verify_dialog", None, " Saved is present", False)),
    # sendkeys, wait: quotes stripped, never checked
    ("sendkeys Control+A", record("sendkeys", "Control+A", "Control+A", False)),
    ("sendkeys '\"abc\"'", record("sendkeys", "abc", "abc", False)),  # literal, then ' stripped
    ("wait 500", record("wait", "500", None, False)),
    # '"' is stripped before "'": only the outer kind goes when they nest
    ("wait \"'500", record("wait", "500", None, False)),
    ("wait '\"500", record("wait", '"500', None, False)),
    ("wait 'soon'", record("wait", "soon", None, False)),
    # verify text with a spatial phrase: last " is " splits
    ('verify text next to "Potential Returns" is $29.00',
     record("verify_spatial_text", "next to Potential Returns", "$29.00", False)),
    ("verify text below Total is present", record("verify_spatial_text", "below Total", "present", False)),
    ("verify text near Status is is fine", record("verify_spatial_text", "near Status is", "fine", False)),
    ("verify text under Price is $5", record("verify_spatial_text", "under Price", "$5", False)),
    # verify text states; a state only rule 17 knows falls through to it
    ('verify text "Welcome back" is present', record("verify_text_present", "Welcome back", None, True)),
    ("verify text  the Welcome  is visible", record("verify_text_visible", "the Welcome", None, False)),
    ("verify text near Foois visible", record("verify_text_visible", "near Foo", None, False)),
    ("verify text Foo is enabled", record("verify_enabled", "text Foo", None, False)),
    # verify element states
    ('verify "Products" is present', record("verify_present", "Products", None, True)),
    ("verify the Login button is visible", record("verify_visible", "Login button", None, False)),
    ("VERIFY Cart IS ENABLED", record("verify_enabled", "Cart", None, False)),
    ("verify the Pay button is disabled", record("verify_disabled", "Pay button", None, False)),
    ("verify Foois present", record("verify_present", "Foo", None, False)),
]


@pytest.mark.parametrize("step, expected", CASES, ids=[c[0] for c in CASES])
def test_parse(parser, step, expected):
    got = parser.parse(step)
    assert type(got) is dict
    assert list(got.items()) == list(expected.items())  # key order too


@pytest.mark.parametrize("word, number", [("first", 1), ("second", 2), ("third", 3), ("fourth", 4), ("fifth", 5)])
def test_every_ordinal_word(parser, word, number):
    assert parser.parse(f"click {word.upper()} link")["ordinal"] == number
    assert parser.parse(f"extract text {word} cell")["ordinal"] == number
    assert stepreader._extract_ordinal(f"{word.title()}  b c ") == (number, "b c ")


def test_no_other_ordinal_words(parser):
    assert parser.parse("click sixth link")["ordinal"] == 1
    assert parser.parse("click 2nd link")["target"] == "2nd link"


@pytest.mark.parametrize("keyword", SPATIAL_KW)
def test_every_spatial_keyword(parser, keyword):
    step = f"{keyword.upper()}Total"
    assert parser.parse(f"extract text {step}") == record("extract_text_spatial", step, None, False)
    assert parser.parse(f"verify text {step} is 3") == record("verify_spatial_text", step, "3", False)


@pytest.mark.parametrize("word", ["on", "the", "a", "an", "in", "at", "into"])
def test_every_stop_word_leads_off_only(parser, word):
    assert parser._clean_target(f"{word.upper()} {word} Cart {word}") == f"Cart {word}"
    assert parser.parse(f"hover {word} Menu")["target"] == "Menu"


REJECTED = [
    "", "   ", "\t\n",
    "type into Name",        # the part after "type " holds no " into "
    "select from List",
    "type hello Name",
    "select Blue Colour",
    "back", "refresh", "tap Login", "hello",
    "accept  dialog",        # compared whole
    "accept dialog now",
    "verify text below Total is",
    "verify Login button",
    "navigate", "click", "verify dialog says",
]


@pytest.mark.parametrize("step", REJECTED, ids=[repr(s) for s in REJECTED])
def test_rejected_with_supported_actions(parser, step):
    with pytest.raises(ValueError) as exc:
        parser.parse(step)
    assert str(exc.value) == f"Unrecognised instruction: {step!r}. Supported actions: {SUPPORTED!r}"


def test_rejection_quotes_the_step_as_passed():
    with pytest.raises(ValueError) as exc:
        InstructionParser().parse("  don't\tgo\x00 ")
    assert str(exc.value).startswith("""Unrecognised instruction: "  don't\\tgo\\x00 ". Supported""")


def test_tables_through_the_instance(parser):
    assert parser.SUPPORTED_ACTIONS == SUPPORTED
    assert list(parser._VERIFY_STATES.items()) == [
        ("is present", "verify_present"), ("is visible", "verify_visible"),
        ("is enabled", "verify_enabled"), ("is disabled", "verify_disabled"),
    ]
    assert list(parser._VERIFY_TEXT_STATES.items()) == [
        ("is present", "verify_text_present"), ("is visible", "verify_text_visible"),
    ]
    assert parser._STOP_WORDS == {"on", "the", "a", "an", "in", "at", "into"}
    assert parser._KNOWN_ACTIONS == {
        "click", "type", "hover", "select", "press", "sendkeys", "wait", "verify",
        "find", "extract", "accept", "dismiss", "back", "refresh", "navigate",
    }
    assert InstructionParser.SUPPORTED_ACTIONS is parser.SUPPORTED_ACTIONS


def test_module_tables():
    assert stepreader._QUOTE_RE.pattern == '"([^"]+)"'
    assert stepreader._QUOTE_RE.findall('a "b" "c d" "') == ["b", "c d"]
    assert stepreader._ORDINALS == {"first": 1, "second": 2, "third": 3, "fourth": 4, "fifth": 5}


@pytest.mark.parametrize("step, text, literals", [
    ('click "Log in"', "click Log in", ["Log in"]),
    ('type "a" into "b c"', "type a into b c", ["a", "b c"]),
    ('click "Login', 'click "Login', []),
    ('x ""abc" y', 'x "abc y', ["abc"]),
    ('"a"b"c"', "abc", ["a", "c"]),
])
def test_unquote_agrees_with_the_pattern(parser, step, text, literals):
    assert parser._unquote(step) == (text, literals)
    assert stepreader._QUOTE_RE.sub(r"\1", step) == text


@pytest.mark.parametrize("text, expected", [
    ("second row", (2, "row")),
    ("  fifth   link below  ", (5, "link below  ")),
    ("first", (1, "")),
    ("the second", (1, "the second")),
    ("", (1, "")),
    ("  Row ", (1, "  Row ")),
])
def test_extract_ordinal(text, expected):
    assert stepreader._extract_ordinal(text) == expected


def test_parse_keeps_no_state(parser):
    first = parser.parse('click "A"')
    with pytest.raises(ValueError):
        parser.parse("nonsense")
    first["target"] = "changed"
    assert parser.parse('click "A"') == record("click", "A", None, True, 1)
