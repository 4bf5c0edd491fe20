"""Page reading speed in real Chromium, run by hand:

    PYTHONPATH=build/<dir>/pkg .venv/bin/python bench/pageread.py [--sizes 100,1000,5000] [--handles-max 1000]

For generated pages with N interactable elements and 3N text elements it
measures, side by side in one run:
  handles  the element-by-element read through element handles
  bulk     the one-call read (the default)
  floor    one evaluate that only visits the same elements and reads each
           one's innerText and getBoundingClientRect(), returned as JSON and
           parsed in Python
and prints handles/bulk and bulk/floor ratios (times are the best of
--repeat runs, bulk and floor taking turns; the median ratio is shown too), the de-duplication time for
20,000 text elements and the process's peak memory. Handles mode above
--handles-max elements is skipped: it needs about twenty browser round trips
per element.
"""

from __future__ import annotations

import argparse
import json
import random
import resource
import statistics
import time

from tarnwick.chromium import shared_browser
from tarnwick.engine import settings
from tarnwick.engine.browser.pagereader import (
    INTERACTABLE_SELECTOR,
    TEXT_SELECTOR,
    _CUSTOM_INPUT_SELECTOR,
    DOMParser,
)

LABEL_SELECTOR = "h1, h2, h3, h4, h5, h6, label, div, span, p"

FLOOR_JS = """() => {
  const out = [];
  for (const el of document.querySelectorAll(%r)) {
    const r = el.getBoundingClientRect();
    out.push([el.innerText, r.x, r.y, r.width, r.height]);
  }
  return JSON.stringify(out);
}""" % ", ".join([INTERACTABLE_SELECTOR, _CUSTOM_INPUT_SELECTOR, LABEL_SELECTOR, TEXT_SELECTOR])


def generated_page(n: int) -> str:
    """n interactable elements and 3n text elements in sections of ten."""
    parts = ["<!doctype html><html><head><meta charset='utf-8'><style>",
             ".card{cursor:pointer;display:inline-block;margin:2px}</style></head><body><h1>Generated</h1>"]
    for i in range(n):
        if i % 10 == 0:
            parts.append(f"<section><h3>Section {i // 10}</h3>")
        kind = i % 6
        if kind == 0:
            parts.append(f"<button data-testid='b{i}'>Button {i}</button>")
        elif kind == 1:
            parts.append(f"<label for='f{i}'>Field {i}</label><input id='f{i}' name='f{i}'>")
        elif kind == 2:
            parts.append(f"<a href='/item/{i}'>Link {i}</a>")
        elif kind == 3:
            parts.append(f"<select name='s{i}'><option>One</option><option>Two</option></select>")
        elif kind == 4:
            parts.append(f"<span role='button' class='card'>Card {i}</span>")
        else:
            parts.append(f"<textarea placeholder='Notes {i}'></textarea>")
        parts.append(f"<p>Paragraph {i} text</p><div><span>Price {i}.99</span></div><li>Item {i}</li>")
        if i % 10 == 9 or i == n - 1:
            parts.append("</section>")
    parts.append("</body></html>")
    return "".join(parts)


def timed(fn, repeat: int) -> float:
    times = []
    for _ in range(repeat):
        start = time.perf_counter()
        fn()
        times.append(time.perf_counter() - start)
    return statistics.median(times)


def side_by_side(fns: dict, repeat: int) -> dict:
    """Best and median seconds of each function, run in turn so that a busy
    machine slows them alike."""
    times = {name: [] for name in fns}
    for _ in range(repeat):
        for name, fn in fns.items():
            start = time.perf_counter()
            fn()
            times[name].append(time.perf_counter() - start)
    return {name: (min(t), statistics.median(t)) for name, t in times.items()}


def read(page, mode: str):
    settings.READ_MODE = mode
    return DOMParser(page).extract_interactable_elements()


def dedup_records(count: int) -> list[dict]:
    """Texts laid out as a page would: rows of cells inside section wrappers."""
    rng = random.Random(1)
    records = []
    y = 0.0
    while len(records) < count:
        section_top = y
        rows = []
        for r in range(8):
            cells = [f"Cell {len(records) + len(rows) * 4 + c} {rng.randint(0, 99)}" for c in range(4)]
            rows.append((y, cells))
            y += 21.0
        text = "\n".join(" ".join(cells) for _, cells in rows)
        records.append(_text("div", text, 0.0, section_top, 1264.0, y - section_top, False))
        for row_y, cells in rows:
            records.append(_text("div", " ".join(cells), 0.0, row_y, 1264.0, 21.0, False))
            for c, cell in enumerate(cells):
                records.append(_text("span", cell, 8.0 + 300 * c, row_y + 2, 120.5, 17.0, True))
        y += 10
    return records[:count]


def _text(tag, text, x, y, w, h, direct):
    return {"tag": tag, "text": text, "has_direct_text": direct, "attributes": {},
            "bounding_box": {"x": x, "y": y, "width": w, "height": h},
            "is_visible": True, "is_enabled": True, "xpath": "/"}


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--sizes", default="100,1000,5000")
    parser.add_argument("--handles-max", type=int, default=1000)
    parser.add_argument("--repeat", type=int, default=9)
    args = parser.parse_args()

    browser = shared_browser()
    page = browser.new_page()
    print(f"{'elements':>8} {'handles s':>10} {'bulk s':>9} {'floor s':>9} {'handles/bulk':>13} "
          f"{'bulk/floor':>11} {'(median)':>9}  records")
    for n in (int(s) for s in args.sizes.split(",")):
        page.set_content(generated_page(n))
        bulk_result = read(page, "bulk")
        best = side_by_side(
            {"bulk": lambda: read(page, "bulk"), "floor": lambda: json.loads(page.evaluate(FLOOR_JS))},
            args.repeat,
        )
        (bulk, bulk_median), (floor, floor_median) = best["bulk"], best["floor"]
        if n <= args.handles_max:
            handles_start = time.perf_counter()
            handles_result = read(page, "handles")
            handles = time.perf_counter() - handles_start
            same = "equal" if handles_result == bulk_result else "DIFFERENT"
            speedup = f"{handles / bulk:12.1f}x"
            handles_text = f"{handles:10.3f}"
        else:
            same, speedup, handles_text = "handles skipped", f"{'-':>13}", f"{'-':>10}"
        print(f"{n:8d} {handles_text} {bulk:9.4f} {floor:9.4f} {speedup} {bulk / floor:10.2f}x "
              f"{bulk_median / floor_median:8.2f}x  {len(bulk_result[0])}+{len(bulk_result[1])} ({same})")

    records = dedup_records(20_000)
    seconds = timed(lambda: DOMParser._dedup_text_elements(records), args.repeat)
    kept = len(DOMParser._dedup_text_elements(records))
    print(f"de-duplication of {len(records)} text elements: {seconds * 1000:.1f} ms ({kept} kept)")
    peak_kib = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss
    print(f"peak memory of this process (Python, engine, Playwright client): {peak_kib / 1024:.1f} MiB")


if __name__ == "__main__":
    main()
