"""What the reader returns for real pages: record shapes, sources, labels and
texts. Read in the default (bulk) mode; test_read_modes shows that the
element-by-element mode returns the same records."""

import pytest

from tarnwick.engine.browser.pagereader import DOMParser

MAIN_KEYS = ["tag", "text", "attributes", "bounding_box", "is_visible", "is_enabled", "xpath"]
CUSTOM_KEYS = MAIN_KEYS[:6] + ["is_editable_field", "xpath"]
TEXT_KEYS = ["tag", "text", "has_direct_text", "attributes", "bounding_box", "is_visible", "is_enabled", "xpath"]


def read(page):
    return DOMParser(page).extract_interactable_elements()


def by_text(records, text):
    return [r for r in records if r["text"] == text]


def test_record_shapes_and_number_types(load):
    elements, texts = read(load("custom_inputs"))
    main = [e for e in elements if "is_editable_field" not in e]
    custom = [e for e in elements if "is_editable_field" in e]
    assert main and custom
    for record in main:
        assert list(record) == MAIN_KEYS
        assert all(type(v) is float for v in record["bounding_box"].values())
    for record in custom:
        assert list(record) == CUSTOM_KEYS
        assert record["is_visible"] is record["is_enabled"] is record["is_editable_field"] is True
    for record in texts:
        assert list(record) == TEXT_KEYS
        assert record["text"] == record["text"].strip() != ""

    elements, _ = read(load("pointer_containers"))
    containers = [e for e in elements if e["xpath"].endswith(("div[1]", "span[1]")) and e["tag"] == "button"]
    assert containers
    for record in containers:
        assert list(record) == MAIN_KEYS
        assert list(record["bounding_box"]) == ["x", "y", "width", "height"]
        assert all(type(v) is int for v in record["bounding_box"].values())


def test_main_pass_rules(load):
    elements, _ = read(load("attributes"))
    button = by_text(elements, "Text")[0]
    # Captured attributes in table order (data-testid in its place), then
    # the other data- attributes in page order, then the label.
    assert list(button["attributes"]) == [
        "id", "name", "type", "aria-label", "title", "role", "value", "class", "data-testid",
        "data-z", "data-a", "data-testid-extra", "_label",
    ]
    assert by_text(elements, "Send")[0]["attributes"]["value"] == "  Send  "
    assert by_text(elements, "Empty class")[0]["attributes"]["class"] == ""
    # A native button with a test id comes from one query match: once.
    assert len(by_text(elements, "Text")) == 1

    elements, _ = read(load("hidden"))
    # Hidden but laid out, with an aria-label: kept, marked invisible.
    labelled = [e for e in elements if e["attributes"].get("aria-label") == "Invisible labelled"]
    assert [(e["text"], e["is_visible"]) for e in labelled] == [("", False)]
    texts = [e["text"] for e in elements]
    assert "Invisible plain" not in texts and "Zero size" not in texts
    # Without a layout box nothing is kept, labelled or not.
    assert not any(e["attributes"].get("aria-label") == "Hidden with label" for e in elements)
    assert "Visible again" in texts and "Transparent" in texts


def test_enabled_state_follows_the_browser(load):
    elements, _ = read(load("disabled"))
    enabled = {e["text"]: e["is_enabled"] for e in elements}
    assert enabled["Disabled button"] is False
    assert enabled["In disabled fieldset"] is False
    assert enabled["In legend"] is True
    assert enabled["In enabled fieldset"] is True
    assert enabled["Aria disabled by parent"] is False
    assert enabled["Re-enabled"] is True
    assert enabled["Upper case true"] is False
    assert enabled["Plain span"] is True  # no role that takes aria-disabled
    assert enabled["label span"] is False  # follows the label to its disabled input


def test_elements_the_browser_cannot_read_as_text_are_left_out(load):
    elements, _ = read(load("svg"))
    testids = [e["attributes"].get("data-testid") for e in elements]
    assert "logo" not in testids and "dot" not in testids and "svg-group" not in testids
    assert [e["attributes"].get("alt") for e in elements if e["tag"] == "img"] == ["Photo", ""]


def test_open_shadow_roots_are_pierced_and_closed_ones_are_not(load):
    elements, texts = read(load("shadow_dom"))
    names = [e["text"] for e in elements]
    assert names == ["Before host", "", "Shadow button", "Deep link", "Deep span", "After host"]
    assert elements[1]["attributes"]["_label"] == "Shadow label"
    assert "Closed button" not in [t["text"] for t in texts]


def test_custom_fields(load):
    elements, _ = read(load("custom_inputs"))
    custom = {e["xpath"]: e for e in elements if e.get("is_editable_field")}
    labels = [e["attributes"].get("_label") for e in custom.values()]
    assert "Name" in labels and "Card number" in labels and "Custom by id" in labels
    assert all(e["tag"] in ("div", "span") for e in custom.values())
    # A test id and an input-like class: once from each source.
    amount = [e for e in elements if e["attributes"].get("data-testid") == "amount"]
    assert [("is_editable_field" in e) for e in amount] == [False, True]
    assert "Hidden editable" not in [e["text"] for e in custom.values()]


def test_clickable_containers(load):
    elements, _ = read(load("pointer_containers"))
    containers = [e for e in elements if e["tag"] == "button"]
    texts = [e["text"] for e in containers]
    assert "1 2 3 4 5 6 7 8 9 10".replace(" ", "") in [t.replace("\n", "") for t in texts]
    assert not any(t.replace("\n", "").endswith("11") for t in texts)
    assert "1234567890" * 6 in texts and "1234567890" * 6 + "1" not in texts
    card = by_text(containers, "Card one")[0]
    assert card["attributes"] == {"class": "p card", "aria-label": "Card one", "_label": "Cards"}
    # Also read by the main pass as a role=button element.
    assert len(by_text(elements, "Role button and pointer")) == 2
    half = by_text(containers, "Half pixels")[0]["bounding_box"]
    assert half == {"x": 11, "y": 301, "width": 101, "height": 20}


FIELD_LABELS = [
    ("aria", "Email"),
    ("both", "Email"),  # aria-label before label[for]
    (":r1:", "React field"),
    ('say"hi', "Quoted id"),
    ("1st", "Leading digit"),
    ("missing-ref", "Fallback placeholder"),
]


@pytest.mark.parametrize("mode", ["handles", "bulk"])
def test_field_labels(load, read_mode, mode):
    read_mode(mode)
    elements, _ = read(load("field_labels"))
    labels = [e["attributes"].get("_label") for e in elements]
    by_id = {e["attributes"].get("id"): e["attributes"].get("_label") for e in elements}
    for element_id, label in FIELD_LABELS:
        assert by_id[element_id] == label, element_id
    by_name = {e["attributes"].get("name"): e["attributes"].get("_label") for e in elements}
    assert by_name["forty-nine"] == "a" * 49
    # The fifty-character span is passed over; the nearest text above wins.
    assert by_name["fifty"] != "b" * 50
    assert by_name["first-child"] == "Nested first child"
    assert by_name["parent-child"] == "Parent earlier child"
    assert "Spaced" in labels and "Full name" in labels
    assert "Search here" in labels and "Titled field" in labels and "Preceding sibling" in labels


def test_field_label_of_one_handle(load):
    page = load("field_labels")
    parser = DOMParser(page)
    assert parser._get_field_label(page.query_selector("#\\:r1\\:")) == "React field"
    assert parser._get_field_label(page.query_selector("h1")) == ""


def test_spatial_labels(load):
    page = load("headings")
    elements, _ = read(page)
    label = {e["text"]: e["attributes"].get("_label") for e in elements}
    assert label["First button"] == "Name"
    assert label["Second button"] == "Address"
    assert label["Under tall"] != "Tall heading"  # 41 px high: no candidate
    assert label["Under exact"] == "Exact heading"
    assert label["Right button"] != "Left only"  # no horizontal overlap
    candidates = DOMParser(page)._collect_label_candidates()
    assert [c["text"] for c in candidates].count("Name") == 1
    assert all(list(c) == ["text", "bounding_box"] for c in candidates)


def test_text_elements_drop_wrappers(load):
    texts = DOMParser(load("wrappers")).extract_text_elements()
    shown = [(t["tag"], t["text"]) for t in texts]
    assert ("span", "Only child") in shown and ("li", "Only child") not in shown
    assert ("div", "Total Total") in shown and ("span", "Total") in shown
    assert not any(t["attributes"].get("id") == "price-row" for t in texts)
    assert shown.count(("div", "Same box")) == 2  # equal boxes never dominate
    texts = DOMParser(load("lists")).extract_text_elements()
    assert not any(t["text"] == "" for t in texts)
    assert ("li", "Own text Own text") in [(t["tag"], t["text"]) for t in texts]


def test_empty_page(load):
    assert read(load("empty")) == ([], [])
