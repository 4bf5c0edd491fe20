"""DOM snapshots: when they are written, their name, layout and notice."""

import json
import re

import pytest

from tarnwick.engine import settings
from tarnwick.engine.browser.pagereader import DOMParser

NAME = re.compile(r"^\d{8}_\d{6}_(?P<slug>.*?)(?P<suffix>_\d+)?\.json$")


class AddressOnly:
    def __init__(self, url):
        self.url = url


@pytest.fixture
def snapshots(tmp_path, monkeypatch):
    """Snapshots switched on, written under tmp_path/logs."""
    monkeypatch.setattr(settings, "SAVE_SNAPSHOTS", True)
    monkeypatch.setattr(settings, "LOG_PATH", str(tmp_path / "logs" / "deeper"))
    return tmp_path / "logs" / "deeper"


ELEMENTS = [
    {"tag": "button", "text": "Größe ✓ 🎉", "attributes": {"_label": "Ü"}, "is_visible": True,
     "bounding_box": {"x": 8.0, "y": 1.5, "width": 10, "height": 2.0}, "xpath": "/html[1]"},
]
TEXTS = [{"tag": "p", "text": "x", "has_direct_text": False, "attributes": {}}]


def test_document_layout_and_notice(snapshots, capsys):
    url = "https://shop.example:8443/cart?item=1&q=a/b"
    DOMParser(AddressOnly(url))._save_snapshot(ELEMENTS, TEXTS)
    [path] = list(snapshots.iterdir())
    match = NAME.match(path.name)
    assert match and match["suffix"] is None
    assert match["slug"] == "https_shop.example:8443_cart?item=1&q=a_b"
    document = {"url": url, "elements": ELEMENTS, "text_elements": TEXTS}
    assert path.read_text(encoding="ascii") == json.dumps(document, indent=2)
    assert capsys.readouterr().out == f"  [DOM snapshot saved \u2192 {snapshots}/{path.name}]\n"


def test_long_addresses_are_cut_to_sixty_characters(snapshots):
    url = "http://example.com/" + "segment/" * 20
    DOMParser(AddressOnly(url))._save_snapshot([], [])
    [path] = list(snapshots.iterdir())
    slug = NAME.match(path.name)["slug"]
    assert slug == url.replace("://", "_").replace("/", "_")[:60]


def test_reads_in_the_same_second_never_overwrite(snapshots, capsys):
    parser = DOMParser(AddressOnly("about:blank"))
    for n in range(3):
        parser._save_snapshot([{"n": n}], [])
    names = sorted(p.name for p in snapshots.iterdir())
    stems = {NAME.match(n)["slug"] for n in names}
    assert stems == {"about:blank"} and len(names) >= 3
    seen = sorted(json.loads(p.read_text())["elements"][0]["n"] for p in snapshots.iterdir())
    assert seen == [0, 1, 2]
    by_second = {}
    for name in names:
        by_second.setdefault(name[:15], []).append(NAME.match(name)["suffix"])
    for suffixes in by_second.values():
        assert suffixes == [None, "_1", "_2"][: len(suffixes)]
    assert capsys.readouterr().out.count("[DOM snapshot saved") == 3


def test_switched_off_touches_nothing(tmp_path, monkeypatch, capsys):
    monkeypatch.setattr(settings, "SAVE_SNAPSHOTS", False)
    monkeypatch.setattr(settings, "LOG_PATH", str(tmp_path / "never"))
    DOMParser(AddressOnly("about:blank"))._save_snapshot(ELEMENTS, TEXTS)
    assert not (tmp_path / "never").exists()
    assert capsys.readouterr().out == ""


def test_write_failures_reach_the_caller(tmp_path, monkeypatch):
    blocker = tmp_path / "file"
    blocker.write_text("")
    monkeypatch.setattr(settings, "SAVE_SNAPSHOTS", True)
    monkeypatch.setattr(settings, "LOG_PATH", str(blocker / "logs"))
    with pytest.raises(OSError):
        DOMParser(AddressOnly("about:blank"))._save_snapshot([], [])


def test_a_page_read_writes_what_it_returns(snapshots, load, capsys):
    page = load("mixed_app")
    elements, texts = DOMParser(page).extract_interactable_elements()
    [path] = list(snapshots.iterdir())
    assert json.loads(path.read_text()) == {"url": page.url, "elements": elements, "text_elements": texts}
    assert "[DOM snapshot saved" in capsys.readouterr().out
