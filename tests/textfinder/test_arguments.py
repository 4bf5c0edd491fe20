"""Wrong kinds of argument and malformed records raise clear errors."""

import pytest

from tarnwick.engine.strategies import textfinder as tf
from tarnwick.engine.strategies.textfinder import DOMStrategy

from .records import el, txt

S = DOMStrategy()
PAGE = [el("Go")]


@pytest.mark.parametrize("call, argument", [
    (lambda: tf._strip_type_descriptors(None), "target"),
    (lambda: tf._strip_type_descriptors(b"x"), "target"),
    (lambda: tf._searchable_strings(["text"]), "element"),
    (lambda: tf._searchable_strings({}, include_label=1), "include_label"),
    (lambda: tf._matches_element(1, {}), "target"),
    (lambda: tf._matches_element("x", None), "element"),
    (lambda: tf._exact_matches_element("x", {}, None), "include_label"),
    (lambda: tf._dom_distance("/a[1]", None), "xpath_b"),
    (lambda: tf._dom_distance(3, ""), "xpath_a"),
    (lambda: tf._filter_by_action(None, []), "action"),
    (lambda: tf._filter_by_action("type", {"a": 1}), "elements"),
    (lambda: tf._filter_by_action("click", "abc"), "elements"),
    (lambda: tf._filter_by_action("type", [el("x"), 5]), r"elements\[1\]"),
    (lambda: S.resolve(None, PAGE), "parsed_instruction"),
    (lambda: S.resolve([("action", "click")], PAGE), "parsed_instruction"),
    (lambda: S.resolve({"action": "click"}, None), "dom_elements"),
    (lambda: S.resolve({"action": "click"}, {"x": 1}), "dom_elements"),
    (lambda: S.resolve({"action": "click"}, ["Go"]), r"dom_elements\[0\]"),
    (lambda: S.resolve({"action": "find_text"}, PAGE, "Go"), "text_elements"),
    (lambda: S.resolve({"action": 3}, PAGE), "action"),
    (lambda: S.resolve({"action": None, "target": "Go"}, PAGE), "action"),
    (lambda: S.resolve({"action": "click", "target": None}, PAGE), "target"),
    (lambda: S.resolve({"action": "find_text", "target": ["Go"]}, PAGE, []), "target"),
    (lambda: S.resolve({"action": "click", "ordinal": None}, PAGE), "ordinal"),
    (lambda: S.resolve({"action": "click", "ordinal": "2"}, PAGE), "ordinal"),
    (lambda: S.resolve({"action": "click", "ordinal": 1.5}, PAGE), "ordinal"),
    (lambda: S.resolve({"action": "verify_spatial_text", "target": "below Go", "value": 5}, PAGE),
     "value"),
    (lambda: S._resolve_find_text(None, []), "target"),
    (lambda: S._resolve_find_exact_text("x", None), "text_elements"),
    (lambda: S._resolve_verify(None, "x", []), "action"),
    (lambda: S._resolve_verify_text("verify_text_present", "x", 7), "text_elements"),
    (lambda: S._resolve_verify_spatial_text("below x", None, []), "expected"),
    (lambda: S._resolve_verify_spatial_text("below x", "", [], "dom"), "dom_elements"),
    (lambda: S._resolve_extract_spatial_text(None, []), "target"),
])
def test_wrong_kinds_raise_type_error_naming_the_argument(call, argument):
    with pytest.raises(TypeError, match=argument):
        call()


@pytest.mark.parametrize("record, key", [
    ({"text": 5}, "text"),
    ({"text": "", "attributes": "class=x"}, "attributes"),
    ({"attributes": {"aria-label": 3}}, "aria-label"),
    ({"attributes": {"class": ["a", "b"]}}, "class"),
    ({"attributes": {"id": 1.5}}, "id"),
    ({"attributes": {"x": {1, 2}, "alt": object()}}, "unsupported type"),
])
def test_malformed_records_raise_type_error(record, key):
    with pytest.raises(TypeError, match=key):
        tf._searchable_strings(record)
    with pytest.raises(TypeError, match=r"dom_elements\[1\]"):
        S.resolve({"action": "click", "target": "zzz"}, [el("Go"), record])


def test_values_the_rules_never_read_are_not_checked():
    odd = {"text": "Go", "is_visible": True, "note": object(),
           "attributes": {"data-blob": object(), "href": 5, "role": 7}}
    assert tf._matches_element("go", odd)
    assert S.resolve({"action": "type", "target": "go"}, [odd])["element"] is odd
    # Sequences a path does not read are not converted.
    assert S.resolve({"action": "find_text", "target": "x"}, [{"text": 5}], [txt("x")])["resolved"]


def test_null_values_read_as_absent():
    record = {"text": None, "attributes": None, "bounding_box": None, "is_visible": None}
    assert tf._searchable_strings(record, True) == []
    record = {"text": "Go", "attributes": {"class": None, "id": None}, "bounding_box": None,
              "is_visible": True}
    assert S.resolve({"action": "click", "target": "Go"}, [record])["element"] is record


def test_recursive_record_raises_instead_of_crashing():
    record = {"text": "Go", "attributes": {}}
    record["attributes"]["aria-label"] = record
    with pytest.raises((TypeError, ValueError)):
        tf._matches_element("go", dict(record, text=""))


def test_surrogates_pass_through():
    record = {"text": "a\ud800b"}
    assert tf._searchable_strings(record) == ["a\ud800b"]
    assert tf._matches_element("\ud800", record)
    assert S.resolve({"action": "find_text", "target": "\ud800B"}, [], [record])["element"] is record
