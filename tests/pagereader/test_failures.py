"""Failure rules in the element-by-element mode, against real Chromium: a
failing element is dropped, a failing page query ends the read, a failing
clickable-container scan gives none."""

import pytest

from tarnwick.engine.browser.pagereader import INTERACTABLE_SELECTOR, DOMParser

HTML = """
<h2>Form</h2>
<button id="keep">Keep</button>
<button id="gone">Gone</button>
<input id="last" aria-label="Last">
<div style="cursor:pointer">Pointer</div>
"""


class PageProxy:
    """Forwards to a real page, with hooks on the calls the reader makes."""

    def __init__(self, page, on_query_all=None, on_evaluate=None):
        self._page = page
        self._on_query_all = on_query_all
        self._on_evaluate = on_evaluate

    def __getattr__(self, name):
        return getattr(self._page, name)

    def query_selector_all(self, selector):
        handles = self._page.query_selector_all(selector)
        return self._on_query_all(selector, handles) if self._on_query_all else handles

    def evaluate(self, script):
        if self._on_evaluate:
            self._on_evaluate(script)
        return self._page.evaluate(script)


@pytest.fixture
def form(load, read_mode):
    read_mode("handles")
    return load(html=HTML)


def test_detached_element_is_left_out_and_the_read_goes_on(form):
    def detach_second(selector, handles):
        if selector == INTERACTABLE_SELECTOR:
            handles[1].evaluate("el => el.remove()")
        return handles

    elements, texts = DOMParser(PageProxy(form, detach_second)).extract_interactable_elements()
    assert [e["text"] for e in elements] == ["Keep", "", "Pointer"]
    assert elements[1]["attributes"]["_label"] == "Last"
    assert "Gone" not in [t["text"] for t in texts]


class Interrupting:
    def __init__(self, handle):
        self._handle = handle

    def __getattr__(self, name):
        return getattr(self._handle, name)

    def is_visible(self):
        raise KeyboardInterrupt


def test_interrupt_is_not_swallowed_by_the_per_element_guard(form):
    def interrupt(selector, handles):
        return [Interrupting(h) for h in handles] if selector == INTERACTABLE_SELECTOR else handles

    with pytest.raises(KeyboardInterrupt):
        DOMParser(PageProxy(form, interrupt)).extract_interactable_elements()


def test_failing_page_query_ends_the_read(form):
    def fail(selector, handles):
        raise RuntimeError("page closed")

    with pytest.raises(RuntimeError, match="page closed"):
        DOMParser(PageProxy(form, fail)).extract_interactable_elements()


def test_failing_container_scan_gives_no_containers(form):
    def fail(script):
        raise RuntimeError("script error")

    parser = DOMParser(PageProxy(form, on_evaluate=fail))
    assert parser._extract_cursor_pointer_elements() == []
    elements, _ = parser.extract_interactable_elements()
    assert [e["text"] for e in elements] == ["Keep", "Gone", ""]


def test_failing_bulk_script_ends_the_read(load, read_mode):
    read_mode("bulk")
    page = load(html=HTML)

    def fail(script):
        raise RuntimeError("script error")

    with pytest.raises(RuntimeError, match="script error"):
        DOMParser(PageProxy(page, on_evaluate=fail)).extract_interactable_elements()


def test_closed_page_raises(browser, read_mode):
    context = browser.new_context()
    page = context.new_page()
    page.set_content(HTML)
    context.close()
    for mode in ("handles", "bulk"):
        read_mode(mode)
        with pytest.raises(Exception):
            DOMParser(page).extract_interactable_elements()
