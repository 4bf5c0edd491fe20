"""The road of a step across the deliverables, on a real page in Chromium:
parse the step, read the page, resolve at Level 1, and at Level 2 on the
spatial matrix. Each deliverable is tested alone elsewhere; this shows the
records one produces are the records the next consumes."""

import pytest

from tarnwick.engine.agent.stepreader import InstructionParser
from tarnwick.engine.browser.pagereader import DOMParser
from tarnwick.engine.spatial.gridfinder import MatrixResolver
from tarnwick.engine.spatial.gridmaker import MatrixBuilder
from tarnwick.engine.strategies.textfinder import DOMStrategy

SHOP = """
<html><body style="font-family: sans-serif">
  <h2>Sign in</h2>
  <label for="user">Username</label> <input id="user">
  <label for="pass">Password</label> <input id="pass" type="password">
  <button>Log in</button>
  <h2>Orders</h2>
  <ul>
    <li><a href="/o/1">Order 1</a></li>
    <li><a href="/o/2">Order 2</a></li>
  </ul>
  <table>
    <tr><td>Subtotal</td><td>$27.00</td></tr>
    <tr><td>Total</td><td>$29.00</td></tr>
  </table>
  <button disabled>Checkout</button>
</body></html>
"""


@pytest.fixture
def shop(page):
    page.set_content(SHOP)
    return DOMParser(page).extract_interactable_elements()


def level1(step, records):
    elements, texts = records
    return DOMStrategy().resolve(InstructionParser().parse(step), elements, texts)


def level2(step, records):
    elements, texts = records
    matrix = MatrixBuilder(elements, texts).build()
    return MatrixResolver(matrix).resolve(InstructionParser().parse(step))


@pytest.mark.parametrize(
    "step, tag, text",
    [
        ('type standard_user into "Username"', "input", ""),
        ("type secret into Password field", "input", ""),
        ("click Log in button", "button", "Log in"),
        ("click second Order", "a", "Order 2"),
    ],
)
def test_level_one_finds_the_element(shop, step, tag, text):
    result = level1(step, shop)
    assert result["resolved"]
    assert (result["element"]["tag"], result["element"]["text"]) == (tag, text)
    assert result["element"] in shop[0]


def test_labels_tie_inputs_to_their_names(shop):
    typed = level1('type bob into "Password"', shop)["element"]
    assert typed["attributes"]["id"] == "pass"
    assert typed["attributes"]["_label"] == "Password"


@pytest.mark.parametrize(
    "step, verified",
    [
        ("verify text next to Total is $29.00", True),
        ("verify text next to Subtotal is $29.00", False),
        ("verify Checkout button is disabled", True),
        ('verify text "Orders" is visible', True),
    ],
)
def test_verification_steps(shop, step, verified):
    result = level1(step, shop)
    assert result["verified"] is verified


def test_extract_text_beside_a_label(shop):
    assert level1("extract text right of Subtotal", shop)["extracted"] == "$27.00"


def test_level_two_resolves_relations_and_ordinals(shop):
    # The parser leaves an ordinal after "the" in the target, where the
    # spatial resolver reads it.
    below = level2("click the second link below Orders", shop)
    assert below["resolved"] and below["element"]["text"] == "Order 2"
    assert below["element"] in shop[0]
    second_input = level2("click the second input", shop)
    assert second_input["element"]["attributes"]["id"] == "pass"
    assert not level2("click Save", shop)["resolved"]
