"""Fixtures for the page-reader tests: corpus pages and the read mode."""

import pytest

from pagereader_support import PAGES_DIR


@pytest.fixture
def read_mode():
    """Sets settings.READ_MODE for the rest of the test, then puts back what
    was there (an unassigned setting stays unassigned, so the environment
    keeps its say)."""
    from tarnwick.engine import settings

    saved = vars(settings).get("READ_MODE", None)
    assigned = "READ_MODE" in vars(settings)

    def use(mode):
        settings.READ_MODE = mode

    yield use
    if assigned:
        settings.READ_MODE = saved
    else:
        vars(settings).pop("READ_MODE", None)


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
