"""tarnwick: plain-English web UI tests for pytest, run in real Chromium."""

__version__ = "0.1.0"

__all__ = ["WebAgent", "__version__"]


def __getattr__(name):
    # WebAgent pulls in Playwright; load it only when asked for, so that the
    # step checker and the engine modules import without a browser stack.
    if name == "WebAgent":
        from tarnwick.agent import WebAgent

        return WebAgent
    raise AttributeError(f"module 'tarnwick' has no attribute {name!r}")
