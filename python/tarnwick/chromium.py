"""The one Chromium process of a test run.

Playwright's synchronous API allows a single driver per thread, so every user
of a browser in this process (each WebAgent, the page-reading tests) shares
the browser started here. It is Debian's Chromium, launched headless; set
TARNWICK_CHROMIUM to use another executable, or TARNWICK_BROWSER_WS to
connect to a remote Playwright browser server instead of launching one.
"""

from __future__ import annotations

import atexit
import os

DEFAULT_EXECUTABLE = "/usr/bin/chromium"

_playwright = None
_browser = None


def shared_browser():
    """Return the run's Browser, starting Playwright and Chromium on first use."""
    global _playwright, _browser
    if _browser is not None and _browser.is_connected():
        return _browser
    from playwright.sync_api import sync_playwright

    if _playwright is None:
        _playwright = sync_playwright().start()
        atexit.register(close_shared_browser)
    endpoint = os.environ.get("TARNWICK_BROWSER_WS")
    if endpoint:
        _browser = _playwright.chromium.connect(endpoint)
    else:
        _browser = _playwright.chromium.launch(
            executable_path=os.environ.get("TARNWICK_CHROMIUM", DEFAULT_EXECUTABLE),
            headless=True,
            args=["--no-sandbox"],
        )
    return _browser


def close_shared_browser() -> None:
    """Close the browser and stop Playwright; safe to call more than once."""
    global _playwright, _browser
    if _browser is not None:
        try:
            _browser.close()
        except Exception:  # already gone with its process
            pass
        _browser = None
    if _playwright is not None:
        try:
            _playwright.stop()
        except Exception:
            pass
        _playwright = None
