"""Finding texts and verifying element and text states."""

import pytest

from tarnwick.engine.strategies.textfinder import DOMStrategy

from .records import el, same, txt

VERIFY_KEYS = ["resolved", "verified", "confidence", "element", "state", "candidates"]
VERIFY_FAILURE = {"resolved": False, "verified": False, "confidence": 0.0, "element": None,
                  "state": {}, "candidates": []}


def resolve(instruction, dom=(), texts=None):
    return DOMStrategy().resolve(instruction, list(dom), texts)


def test_find_text_prefers_the_shortest_text():
    sub, total = txt("Subtotal: 10"), txt("Total")
    result = resolve({"action": "find_text", "target": "total"}, texts=[sub, total])
    assert list(result) == ["resolved", "confidence", "element", "candidates"]
    assert result["element"] is total and same(result["candidates"], [total, sub])


def test_find_text_sees_hidden_texts_and_does_not_strip_the_target():
    hidden = txt("Login button", visible=False)
    assert resolve({"action": "find_text", "target": "LOGIN BUTTON"}, texts=[hidden])["element"] is hidden
    assert resolve({"action": "find_text", "target": "login_button"}, texts=[hidden])["resolved"] is False
    # Without text elements, nothing is found.
    assert resolve({"action": "find_text", "target": "x"}, [el("x")])["resolved"] is False


def test_find_exact_text_reports_exact_matches_twice():
    sub, total = txt("Subtotal"), txt("Total ")
    result = resolve({"action": "find_exact_text", "target": "Total"}, texts=[sub, total])
    assert result["element"] is total
    assert same(result["candidates"], [total, sub, total])


def test_find_exact_text_takes_the_first_exact_match_in_page_order():
    long_exact, short_exact = txt("  ok  "), txt("OK")
    result = resolve({"action": "find_exact_text", "target": "ok"}, texts=[long_exact, short_exact])
    assert result["element"] is long_exact


def test_find_exact_text_reports_near_misses_unresolved():
    total, sub = txt("Total"), txt("Subtotal")
    result = resolve({"action": "find_exact_text", "target": "Tot"}, texts=[sub, total])
    assert result["resolved"] is False and result["element"] is None
    assert result["confidence"] == 0.0
    assert same(result["candidates"], [total, sub])
    # A trailing space in the target never equals a trimmed text.
    result = resolve({"action": "find_exact_text", "target": "Total "}, texts=[total])
    assert result["resolved"] is False and result["candidates"] == []


@pytest.mark.parametrize("action, visible, enabled, verified", [
    ("verify_present", False, False, True),
    ("verify_visible", True, True, True),
    ("verify_visible", False, True, False),
    ("verify_enabled", True, True, True),
    ("verify_enabled", True, False, False),
    ("verify_disabled", True, False, True),
    ("verify_disabled", True, True, False),
])
def test_verify_state_table(action, visible, enabled, verified):
    button = el("Save", visible=visible, enabled=enabled)
    result = resolve({"action": action, "target": "Save"}, [button])
    assert list(result) == VERIFY_KEYS
    assert result["verified"] is verified and result["resolved"] is True
    assert result["state"] == {"present": True, "visible": visible, "enabled": enabled}
    assert list(result["state"]) == ["present", "visible", "enabled"]
    assert result["element"] is button


def test_verify_uses_the_shortest_match_only():
    hidden = el("Save", visible=False)
    shown = el("Save changes")
    result = resolve({"action": "verify_visible", "target": "Save"}, [shown, hidden])
    assert result["element"] is hidden and result["verified"] is False
    assert same(result["candidates"], [hidden, shown])


def test_verify_without_is_enabled_counts_as_disabled():
    bare = {"text": "Go"}
    assert resolve({"action": "verify_disabled", "target": "Go"}, [bare])["verified"] is True
    result = resolve({"action": "verify_enabled", "target": "Go"}, [bare])
    assert result["verified"] is False
    assert result["state"] == {"present": True, "visible": False, "enabled": False}


def test_verify_strips_descriptors_but_text_verification_does_not():
    login = el("Login")
    assert resolve({"action": "verify_present", "target": "Login button"}, [login])["verified"] is True
    text_login = txt("Login")
    result = resolve({"action": "verify_text_present", "target": "Login button"}, texts=[text_login])
    assert result == VERIFY_FAILURE


def test_verify_ignores_labels_and_filters():
    field = el("", tag="input", _label="Email")
    assert resolve({"action": "verify_present", "target": "Email"}, [field]) == VERIFY_FAILURE


@pytest.mark.parametrize("action, verified", [
    ("verify_text_present", True), ("verify_text_visible", False)])
def test_verify_text(action, verified):
    hidden, shown = txt("Paid", visible=False), txt("Paid in full")
    result = resolve({"action": action, "target": "paid"}, texts=[shown, hidden])
    assert list(result) == VERIFY_KEYS
    assert result["verified"] is verified
    assert result["state"] == {"present": True, "visible": False}
    assert result["element"] is hidden and same(result["candidates"], [hidden, shown])


def test_verify_text_not_found():
    assert resolve({"action": "verify_text_visible", "target": "Gone"}, texts=[txt("Here")]) == VERIFY_FAILURE


def test_private_operations_are_reachable_with_their_arguments():
    s = DOMStrategy()
    a, b = txt("Total"), txt("Subtotal")
    assert s._resolve_find_text("total", [b, a])["element"] is a
    assert s._resolve_find_text(target="total", text_elements=[b])["element"] is b
    assert s._resolve_find_exact_text("subtotal", [a, b])["element"] is b
    assert s._resolve_verify("verify_present", "Total", [el("Total")])["verified"] is True
    assert s._resolve_verify_text(action="verify_text_visible", target="sub",
                                  text_elements=[b])["verified"] is True
    with pytest.raises(ValueError):
        s._resolve_verify("verify_text_present", "Total", [el("Total")])
    assert "substring" in DOMStrategy._resolve_find_text.__doc__


def test_text_search_uses_full_lower_casing():
    # "İ".lower() is "i" + U+0307, so it contains "i" but does not equal it.
    dotted = txt("\u0130")
    assert resolve({"action": "find_text", "target": "i"}, texts=[dotted])["element"] is dotted
    assert resolve({"action": "find_exact_text", "target": "i"}, texts=[dotted])["resolved"] is False
    assert resolve({"action": "find_exact_text", "target": "\u0130"}, texts=[dotted])["resolved"]
