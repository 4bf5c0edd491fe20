"""Fixtures for the page-reader tests: corpus pages and the read mode."""

import pytest

from pagereader_support import PAGES_DIR


@pytest.fixture
def read_mode(monkeypatch):
    """Sets settings.READ_MODE for the rest of the test."""
    from tarnwick.engine import settings

    def use(mode):
        monkeypatch.setattr(settings, "READ_MODE", mode)

    return use


@pytest.fixture
def load(page):
    """Opens a corpus page (by file stem) or an HTML text in the test's page."""

    def open_page(name=None, html=None):
        if html is not None:
            page.set_content(html)
        else:
            page.goto((PAGES_DIR / f"{name}.html").as_uri())
        return page

    return open_page
