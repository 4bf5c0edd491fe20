"""Engine settings, read by the page reader on every call.

Each setting is a module attribute that code (or a test) may assign at run
time; when the attribute has not been assigned, the environment variable of
the same name with a ``TARNWICK_`` prefix supplies it, else the default.
"""

from __future__ import annotations

import os

READ_MODES = ("bulk", "handles")

_DEFAULTS = {
    "SAVE_SNAPSHOTS": False,
    "LOG_PATH": "data/logs/",
    "READ_MODE": "bulk",
}

_FALSE_WORDS = {"", "0", "false", "no", "off"}


def _from_environment(name: str):
    raw = os.environ.get("TARNWICK_" + name)
    if raw is None:
        return _DEFAULTS[name]
    if name == "SAVE_SNAPSHOTS":
        return raw.strip().lower() not in _FALSE_WORDS
    return raw


def __getattr__(name: str):
    # Only reached when the attribute was never assigned, so an assignment
    # (settings.READ_MODE = "handles") always wins over the environment.
    if name in _DEFAULTS:
        return _from_environment(name)
    raise AttributeError(f"module {__name__!r} has no attribute {name!r}")


def save_snapshots() -> bool:
    return bool(globals().get("SAVE_SNAPSHOTS", _from_environment("SAVE_SNAPSHOTS")))


def log_path() -> str:
    value = globals().get("LOG_PATH", _from_environment("LOG_PATH"))
    if not isinstance(value, (str, os.PathLike)):
        raise TypeError(f"LOG_PATH must be str, not {type(value).__name__}")
    return os.fspath(value)


def read_mode() -> str:
    value = globals().get("READ_MODE", _from_environment("READ_MODE"))
    if value not in READ_MODES:
        raise ValueError(
            f"unknown READ_MODE {value!r}; expected one of {', '.join(map(repr, READ_MODES))}"
        )
    return value
