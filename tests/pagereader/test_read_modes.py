"""Both read modes give the same records, record for record, on the corpus."""

import pytest

from pagereader_support import PAGES_DIR, assert_same_records
from tarnwick.engine.browser.pagereader import DOMParser

PAGES = sorted(p.stem for p in PAGES_DIR.glob("*.html"))


def read(page, read_mode, mode):
    read_mode(mode)
    return DOMParser(page).extract_interactable_elements()


@pytest.mark.parametrize("name", PAGES)
def test_bulk_read_equals_element_by_element_read(load, read_mode, name):
    page = load(name)
    handles = read(page, read_mode, "handles")
    bulk = read(page, read_mode, "bulk")
    assert_same_records(bulk, handles)


def test_text_elements_alone_agree_between_modes(load, read_mode):
    page = load("wrappers")
    read_mode("handles")
    handles = DOMParser(page).extract_text_elements()
    read_mode("bulk")
    assert_same_records(DOMParser(page).extract_text_elements(), handles)


def test_corpus_is_large_enough():
    assert len(PAGES) >= 15


def test_bulk_read_is_one_browser_call(load, read_mode):
    page = load("mixed_app")
    read_mode("bulk")
    calls = []
    original = page.evaluate

    class CountingPage:
        url = page.url

        def evaluate(self, script):
            calls.append(script)
            return original(script)

        def __getattr__(self, name):
            raise AssertionError(f"bulk read used page.{name}")

    elements, texts = DOMParser(CountingPage()).extract_interactable_elements()
    assert len(calls) == 1
    assert elements and texts


def test_modes_agree_on_a_scrolled_page(load, read_mode):
    # Boxes are viewport coordinates in both modes, whatever the scroll.
    page = load("layout")
    page.evaluate("window.scrollTo(0, 700)")
    handles = read(page, read_mode, "handles")
    bulk = read(page, read_mode, "bulk")
    assert_same_records(bulk, handles)
    assert any(e["bounding_box"]["y"] < 0 for e in bulk[0])
