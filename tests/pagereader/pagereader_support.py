"""Shared by the page-reader tests: the corpus location and a strict record
comparison (int and float apart, key order included)."""

from pathlib import Path

PAGES_DIR = Path(__file__).parent / "pages"


def first_difference(a, b, path="$"):
    """Where two records differ, type and key order included; None if equal."""
    if type(a) is not type(b):
        return f"{path}: {type(a).__name__} {a!r} != {type(b).__name__} {b!r}"
    if isinstance(a, dict):
        if list(a) != list(b):
            return f"{path}: keys {list(a)} != {list(b)}"
        for key in a:
            found = first_difference(a[key], b[key], f"{path}[{key!r}]")
            if found:
                return found
        return None
    if isinstance(a, (list, tuple)):
        if len(a) != len(b):
            return f"{path}: length {len(a)} != {len(b)}"
        for i, (x, y) in enumerate(zip(a, b)):
            found = first_difference(x, y, f"{path}[{i}]")
            if found:
                return found
        return None
    return None if a == b else f"{path}: {a!r} != {b!r}"


def assert_same_records(a, b):
    found = first_difference(a, b)
    assert found is None, found
