"""Spatial matrix and resolver, measured against json.dumps of the same records.

Run by hand:  PYTHONPATH=build/<dir>/pkg .venv/bin/python bench/spatial.py

For generated pages of 1,000, 5,000 and 20,000 records it times, side by side
in one run:
  floor  json.dumps of the page's records (ElementDescriptors + TextElements)
  api    MatrixBuilder(...).build() + MatrixResolver(matrix) + one resolve of
         each phrase, through the Python API
  core   the same work in the C++ cores alone, on records converted once
and prints api/floor and core/floor. Targets at 5,000 records: api <= 2x,
core <= 0.2x.

All times are CPU time of the running thread (the best of several runs), so
other work on a busy machine does not distort the ratios.
"""

import json
import random
import time

from tarnwick.engine.spatial import gridfinder, gridmaker

PHRASES = [
    "Delete button next to Item 50",  # relation, narrowed by free words
    "second link below Item 50",  # relation with an ordinal
    "field near Email 7",  # relation through an aria-label anchor
    "third input",  # ordinal only
    "second Submit button",  # ordinal with search words
]


def page(n, seed=7):
    """n records: three quarters interactable, a quarter text, laid out in rows."""
    rnd = random.Random(seed)
    dom, texts = [], []
    kinds = ["button", "a", "input", "select", "textarea"]
    for i in range(n):
        row, col = divmod(i, 8)
        box = {"x": 20.0 + col * 140 + rnd.random(), "y": 40.0 + row * 32 + rnd.random(),
               "width": 120.0, "height": 24.0}
        xpath = f"/html[1]/body[1]/main[1]/div[{row + 1}]/div[{col + 1}]"
        if i % 4 == 3:
            texts.append({"tag": "span", "text": f"Item {i // 4}", "has_direct_text": True,
                          "attributes": {"class": "label"}, "bounding_box": box,
                          "is_visible": True, "is_enabled": True, "xpath": xpath + "/span[1]"})
            continue
        tag = kinds[i % 5]
        attrs = {"id": f"el-{i}", "class": "control"}
        text = ""
        if tag == "button":
            text = ["Submit", "Delete", "Edit", "Save changes"][(i // 5) % 4]
        elif tag == "a":
            text = f"Link {i}"
            attrs["href"] = f"/item/{i}"
        elif tag == "input":
            attrs["type"] = "text"
            attrs["aria-label"] = f"Email {i % 50}"
            attrs["placeholder"] = "you@example.com"
        else:
            attrs["name"] = f"field{i}"
        attrs["_label"] = f"Section {row // 10}"
        dom.append({"tag": tag, "text": text, "attributes": attrs, "bounding_box": box,
                    "is_visible": True, "is_enabled": i % 17 != 0, "xpath": f"{xpath}/{tag}[1]"})
    return dom, texts


def best(fn, repeats):
    times = []
    for _ in range(repeats):
        start = time.thread_time()
        fn()
        times.append(time.thread_time() - start)
    return min(times)


def main():
    print(f"{'records':>8} {'floor ms':>9} {'api ms':>8} {'core ms':>8} {'api/floor':>10} {'core/floor':>11}")
    for n in (1_000, 5_000, 20_000):
        dom, texts = page(n)
        repeats = 30 if n <= 5_000 else 10

        floor = best(lambda: json.dumps(dom + texts), repeats)

        def api():
            matrix = gridmaker.MatrixBuilder(dom, texts).build()
            resolver = gridfinder.MatrixResolver(matrix)
            for phrase in PHRASES:
                resolver.resolve({"action": "click", "target": phrase, "value": None})

        api_time = best(api, repeats)

        matrix = gridmaker.MatrixBuilder(dom, texts).build()
        resolver = gridfinder.MatrixResolver(matrix)
        unresolved = [p for p in PHRASES if not resolver.resolve({"target": p})["resolved"]]
        assert not unresolved, unresolved
        core = min(gridmaker._bench_core(dom, texts, 3) for _ in range(3)) + min(
            gridfinder._bench_core(matrix, PHRASES, 3) for _ in range(3))

        print(f"{n:>8} {floor * 1e3:>9.2f} {api_time * 1e3:>8.2f} {core * 1e3:>8.2f} "
              f"{api_time / floor:>9.2f}x {core / floor:>10.2f}x")


if __name__ == "__main__":
    main()
