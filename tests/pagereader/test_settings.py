"""Engine settings: defaults, environment, run-time assignment."""

import importlib

import pytest

from tarnwick.engine import settings


NAMES = ("SAVE_SNAPSHOTS", "LOG_PATH", "READ_MODE")


@pytest.fixture
def fresh(monkeypatch):
    """The settings module with nothing assigned at run time."""
    for name in NAMES:
        monkeypatch.delenv("TARNWICK_" + name, raising=False)
    saved = {n: vars(settings).pop(n) for n in NAMES if n in vars(settings)}
    yield importlib.reload(settings)
    for name in NAMES:
        vars(settings).pop(name, None)
    vars(settings).update(saved)


def test_defaults(fresh):
    assert fresh.SAVE_SNAPSHOTS is False
    assert fresh.LOG_PATH == "data/logs/"
    assert fresh.READ_MODE == "bulk"
    assert (fresh.save_snapshots(), fresh.log_path(), fresh.read_mode()) == (False, "data/logs/", "bulk")


@pytest.mark.parametrize("raw, expected", [("1", True), ("true", True), ("YES", True), ("0", False), ("false", False), ("", False)])
def test_environment_is_read_on_every_call(fresh, monkeypatch, raw, expected):
    monkeypatch.setenv("TARNWICK_SAVE_SNAPSHOTS", raw)
    assert fresh.save_snapshots() is expected
    monkeypatch.setenv("TARNWICK_LOG_PATH", "/tmp/snaps")
    monkeypatch.setenv("TARNWICK_READ_MODE", "handles")
    assert (fresh.log_path(), fresh.read_mode()) == ("/tmp/snaps", "handles")


def test_assignment_wins_over_the_environment(fresh, monkeypatch):
    monkeypatch.setenv("TARNWICK_READ_MODE", "bulk")
    fresh.READ_MODE = "handles"
    assert fresh.read_mode() == "handles"


def test_unknown_read_mode_is_a_value_error(fresh, monkeypatch):
    monkeypatch.setenv("TARNWICK_READ_MODE", "fast")
    with pytest.raises(ValueError, match="READ_MODE 'fast'"):
        fresh.read_mode()


def test_unknown_read_mode_stops_a_read_before_touching_the_page(fresh, monkeypatch):
    from tarnwick.engine.browser.pagereader import DOMParser

    monkeypatch.setenv("TARNWICK_READ_MODE", "sideways")
    with pytest.raises(ValueError, match="READ_MODE"):
        DOMParser(object()).extract_interactable_elements()
