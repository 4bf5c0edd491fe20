"""Fixtures shared by the test suite."""

import pytest


@pytest.fixture(scope="session")
def browser():
    """The run's shared headless Chromium."""
    from tarnwick.chromium import shared_browser

    return shared_browser()


@pytest.fixture
def page(browser):
    """A fresh page in its own context, closed after the test."""
    context = browser.new_context()
    pg = context.new_page()
    yield pg
    context.close()
