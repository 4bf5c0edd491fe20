"""Anchors, geometry and ranking on the matrix."""

import pytest
from spatial_support import element, resolver, text_element, texts_of

from tarnwick.engine.spatial import gridfinder
from tarnwick.engine.spatial.gridfinder import MatrixResolver


def entry(x, y, w=50, h=20, xpath="/html[1]/body[1]/div[1]", index=0, **extra):
    pos = {"x": x, "y": y, "w": w, "h": h, "cx": x + w / 2, "cy": y + h / 2, "x2": x + w, "y2": y + h}
    return {"index": index, "position": pos, "element": {"xpath": xpath}, **extra}


class TestFindAnchor:
    def test_text_tier_wins_and_then_interactables_are_preferred_within_it(self):
        matrix, r = resolver([element("input", "", 0, 0, aria_label="Email")],
                             [text_element("Email", 0, 40)])
        assert r._find_anchor("Email") is matrix[1]  # the anchor-only text entry
        matrix, r = resolver([element("input", "", 0, 0, aria_label="Email"),
                              element("label", "Email", 0, 80)], [text_element("Email", 0, 40)])
        assert r._find_anchor("EMAIL") is matrix[2]

    @pytest.mark.parametrize(
        "sizes, winner",
        [([(20, 20), (10, 10), (5, 30)], 1), ([(10, 10), (20, 5), (5, 20)], 0), ([(9, 9), (3, 27)], 0),
         ([(9, 9), (3, 26)], 1)],
    )
    def test_several_matches_pick_the_smallest_area_then_reading_order(self, sizes, winner):
        dom = [element("button", "OK", 0, i * 40, w, h) for i, (w, h) in enumerate(sizes)]
        matrix, r = resolver(dom)
        assert r._find_anchor("ok") is matrix[winner]

    def test_missing_sizes_count_as_999(self):
        small = entry(0, 0, 998, 999, text="OK")
        unsized = entry(0, 50, text="OK")
        del unsized["position"]["w"], unsized["position"]["h"]
        assert MatrixResolver([unsized, small])._find_anchor("ok") is small
        assert MatrixResolver([unsized, entry(0, 0, 999, 999, text="OK")])._find_anchor("ok") is unsized

    @pytest.mark.parametrize(
        "records, expected",
        [
            ([("button", "Cart (3)", {})], 0),
            ([("button", "Cart(2)", {})], 0),
            ([("button", "Cartridge", {})], None),
            ([("button", "Cart (3)", {}), ("button", "Cart", {})], 1),
            ([("button", "Cart (3)", {}), ("input", "", {"placeholder": "CART"})], 1),
            ([("button", "Cartridge", {}), ("input", "", {"_label": "Cart total"})], 1),
            ([("button", " Save", {})], None),  # entry texts are not trimmed
            ([("input", "", {"aria_label": "", "_label": "cart"})], 0),
        ],
    )
    def test_tiers(self, records, expected):
        text = "cart" if any("art" in t or a for _, t, a in records) else "save"
        dom = [element(tag, t, 0, i * 40, **attrs) for i, (tag, t, attrs) in enumerate(records)]
        matrix, r = resolver(dom)
        found = r._find_anchor(text)
        assert found is (None if expected is None else matrix[expected])

    def test_full_lower_casing_applies_to_anchor_and_texts(self):
        matrix, r = resolver([element("button", "STRASSE"), element("button", "ΣΟΦΙΑΣ", 0, 40)])
        assert r._find_anchor("Strasse") is matrix[0]
        assert r._find_anchor("σοφιας") is matrix[1]


class TestGeometry:
    @pytest.mark.parametrize("gap, overlaps", [(39, True), (40, False), (0, True), (-15, True)])
    def test_overlap_tolerance_is_strict_at_forty(self, gap, overlaps):
        a = entry(0, 100, 10, 10)
        b = entry(0, 100 - 10 - gap, 10, 10)
        assert gridfinder._overlaps_vertically(a, b) is overlaps
        assert gridfinder._overlaps_vertically(b, a) is overlaps
        c = entry(100 - 10 - gap, 0, 10, 10)
        assert gridfinder._overlaps_horizontally(entry(100, 0, 10, 10), c) is overlaps

    def test_centre_distance(self):
        assert gridfinder._centre_distance(entry(0, 0, 10, 10), entry(30, 40, 10, 10)) == 50.0

    @pytest.mark.parametrize(
        "a, b, expected",
        [
            ("/html[1]/body[1]/div[1]/span[1]", "/html[1]/body[1]/div[2]/span[1]", 2),
            ("/html[1]/body[1]", "/html[1]/body[1]", 0),
            ("/html[1]/body[1]/div[1]", "", 4),
            ("", "", 0),
            ("/a/b/c/d", "/a/x/c", 3),
            ("a/b/", "/a/b", 0),
        ],
    )
    def test_dom_distance_counts_every_equal_position(self, a, b, expected):
        assert gridfinder._dom_distance(a, b) == expected

    def test_wrong_kinds_and_missing_keys(self):
        with pytest.raises(TypeError, match="^a must be a dict, not NoneType$"):
            gridfinder._centre_distance(None, entry(0, 0))
        with pytest.raises(TypeError, match="^xpath_b must be str, not NoneType$"):
            gridfinder._dom_distance("/a", None)
        with pytest.raises(ValueError, match=r"^b has no 'position'$"):
            gridfinder._overlaps_vertically(entry(0, 0), {})
        bad = entry(0, 0)
        bad["position"]["y2"] = "20"
        with pytest.raises(TypeError, match=r"^b\['position'\]\['y2'\] must be a number, not str$"):
            gridfinder._overlaps_vertically(entry(0, 0), bad)


ANCHOR = dict(x=100, y=100, w=50, h=20)  # x2 150, y2 120


def ranked(candidates, strategy, ordinal=None, anchor=None, resolver_matrix=()):
    anchor = anchor or entry(**ANCHOR, text="anchor")
    result = MatrixResolver(list(resolver_matrix))._rank(candidates, anchor, strategy, ordinal)
    for r in result:
        assert any(r is c for c in candidates)
    return [c["text"] for c in result]


class TestRank:
    def test_below_touching_edges_and_horizontal_tolerance(self):
        cands = [
            entry(100, 200, text="far"),
            entry(100, 120, text="touching"),
            entry(100, 119, text="one-pixel-in"),
            entry(11, 140, text="ends-39-left"),  # x2 = 61, 39 left of x 100
            entry(10, 140, text="ends-40-left"),
        ]
        assert ranked(cands, "below") == ["touching", "ends-39-left", "far"]
        assert ranked(cands, "below", 3) == ["far"]
        assert ranked(cands, "below", 4) == []

    def test_above_left_right_order_nearest_first(self):
        cands = [entry(100, 10, text="above-far"), entry(100, 60, text="above-near"),
                 entry(0, 100, text="left-far"), entry(49, 110, text="left-near"),
                 entry(400, 105, text="right-far"), entry(150, 90, text="right-touching")]
        assert ranked(cands, "above") == ["above-near", "above-far"]
        assert ranked(cands, "left") == ["left-near", "left-far"]
        assert ranked(cands, "right") == ["right-touching", "right-far"]

    def test_equal_keys_keep_candidate_order(self):
        cands = [entry(120, 130, text="b"), entry(100, 130, text="a")]
        assert ranked(cands, "below") == ["b", "a"]

    def test_next_to_is_reading_order_and_one_entry_without_an_ordinal(self):
        cands = [entry(400, 100, index=7, text="third"), entry(200, 105, index=3, text="first"),
                 entry(300, 95, index=5, text="second")]
        assert ranked(cands, "next_to") == ["first"]
        assert ranked(cands, "next_to", 2) == ["second"]
        assert ranked(cands, "next_to", 3) == ["third"]
        assert ranked(cands, "next_to", 4) == []

    def test_near_limits_centre_distance_and_tree_steps(self):
        deep = "/html[1]/body[1]/div[1]"
        anchor = entry(0, 0, 10, 10, xpath=deep, text="anchor")
        cands = [
            entry(180, 240, 10, 10, xpath=deep, text="at-300"),  # 180, 240 → 300
            entry(180.5, 240.4, 10, 10, xpath=deep, text="beyond"),
            entry(3, 0, 10, 10, xpath="/html[1]/a[1]/b[1]/c[1]/d[1]/e[1]/f[1]/g[1]/h[1]", text="ten-steps"),
            entry(2, 0, 10, 10, xpath="/html[1]/a[1]/b[1]/c[1]/d[1]/e[1]/f[1]/g[1]/h[1]/i[1]", text="eleven"),
            {**entry(1, 0, 10, 10, text="no-path"), "element": {}},  # 1 + 3 steps
        ]
        assert ranked(cands, "near", anchor=anchor) == ["no-path", "ten-steps", "at-300"]

    @pytest.mark.parametrize("strategy", ["sideways", "", None, "Below", "next to"])
    def test_other_strategies_yield_nothing(self, strategy):
        assert ranked([entry(100, 200, text="x")], strategy) == []

    def test_argument_kinds(self):
        r = MatrixResolver([])
        with pytest.raises(TypeError, match="^candidates must be a list of dicts"):
            r._rank(None, entry(0, 0), "below", None)
        with pytest.raises(TypeError, match=r"^candidates\[0\] must be a dict, not int$"):
            r._rank([1], entry(0, 0), "below", None)
        with pytest.raises(TypeError, match="^anchor must be a dict"):
            r._rank([], None, "below", None)
        with pytest.raises(TypeError, match="^strategy must be str"):
            r._rank([], entry(0, 0), 3, None)
        with pytest.raises(TypeError, match="^ordinal must be int or None, not bool$"):
            r._rank([], entry(0, 0), "below", True)
        with pytest.raises(ValueError, match="^ordinal must be at least 1$"):
            r._rank([], entry(0, 0), "below", 0)

    def test_malformed_candidates_are_named(self):
        with pytest.raises(ValueError, match=r"^candidates\[1\] has no 'position'$"):
            ranked([entry(100, 200, text="ok"), {"text": "broken"}], "below")
        with pytest.raises(ValueError, match=r"^anchor\['position'\] has no 'y2'$"):
            ranked([entry(100, 200)], "below", anchor={"position": {"x": 1}})


def test_find_anchor_reads_the_matrix_as_it_is_at_call_time():
    matrix, r = resolver([element("button", "Cart")])
    assert r._find_anchor("wishlist") is None
    matrix.append({**matrix[0], "index": 1, "text": "Wishlist"})
    assert r._find_anchor("wishlist") is matrix[1]
    assert texts_of([r._find_anchor("cart")]) == ["Cart"]
