"""WebAgent: drives one browser page for one test.

Every agent of a run shares the run's single Chromium (Playwright's sync API
allows one driver per thread) and gets a browser context of its own, so
cookies and storage never leak between tests. Importing this module starts
nothing; the browser starts with the first agent.
"""

from __future__ import annotations

from tarnwick.chromium import shared_browser


class WebAgent:
    """A page in a fresh browser context, and the steps run on it."""

    def __init__(self, url=None, screenshots=False):
        if url is not None and not isinstance(url, str):
            raise TypeError(f"url must be str or None, not {type(url).__name__}")
        self.url = url
        self.screenshots = screenshots
        self._steps = []
        self._context = shared_browser().new_context()
        try:
            self.page = self._context.new_page()
            if url is not None:
                self.page.goto(url)
        except BaseException:
            # The test never receives this agent, so nobody else would close it.
            self._context.close()
            self._context = None
            raise

    def close(self):
        """Close the agent's browser context; calling it again does nothing.
        The recorded steps stay readable."""
        context, self._context = self._context, None
        if context is not None:
            context.close()
