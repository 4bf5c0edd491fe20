"""Helpers for the harness tests: pytester runs with a stand-in agent."""

import textwrap

import pytest


# A conftest for pytester runs: replaces the real WebAgent with a stand-in
# that records how it was built and can be told to fail, so the plug-in's
# behaviour is checked without a browser.
STUB_AGENT_CONFTEST = textwrap.dedent(
    '''
    import os
    import pytest
    import tarnwick.harness.fixtures as fixtures

    class StubAgent:
        built = []

        def __init__(self, **kwargs):
            if os.environ.get("STUB_AGENT_FAIL") == "init":
                raise RuntimeError("agent could not start")
            self.kwargs = kwargs
            self._steps = []
            self.closed = 0
            StubAgent.built.append(self)

        def close(self):
            self.closed += 1
            if os.environ.get("STUB_AGENT_FAIL") == "close":
                raise RuntimeError("agent could not close")

    @pytest.fixture(autouse=True)
    def _stub_agent(monkeypatch):
        monkeypatch.setattr(fixtures, "WebAgent", StubAgent)
    '''
)


@pytest.fixture
def stub_pytester(pytester):
    pytester.makeconftest(STUB_AGENT_CONFTEST)
    return pytester
