"""The rendered report, parsed and checked against its fixed structure."""

import re
import types

import pytest

import tarnwick.harness.reporter as reporter_module
from tarnwick.harness.reporter import TarnwickReporter

TITLE = "tarnwick \u2014 Test Report"
START = 1_000_000.0

STYLE_SELECTORS = [
    "*", "body", ".header", ".header h1", ".header .meta", ".summary", ".card", ".card .label",
    ".card .value", ".card.passed .value", ".card.failed .value", ".card.skipped .value",
    ".card.total .value", ".card.rate .value", ".card.time .value", ".filters", ".filters label",
    ".filter-btn", ".filter-btn:hover", ".filter-btn.active", ".filter-btn.passed.active",
    ".filter-btn.failed.active", ".filter-btn.skipped.active", ".groups", ".file-group",
    ".file-header", ".file-header:hover", ".chevron", ".chevron.collapsed", ".file-name",
    ".file-counts", ".test-table", ".test-table colgroup col:nth-child(1)",
    ".test-table colgroup col:nth-child(2)", ".test-table colgroup col:nth-child(3)",
    ".test-table colgroup col:nth-child(4)", ".test-table colgroup col:nth-child(5)",
    ".test-table thead th", ".test-table tbody tr", ".test-table tbody tr:last-child",
    ".test-table tbody tr:hover", ".test-table td", ".test-name", ".duration", ".msg", ".badge",
    ".badge.passed", ".badge.failed", ".badge.skipped", ".icon", ".icon.passed", ".icon.failed",
    ".icon.skipped", ".expand-btn", ".expand-btn:hover", ".steps-table", ".steps-table tr",
    ".steps-table tr:last-child", ".steps-table td", ".step-text", ".step-msg",
    ".step-screenshot", ".step-screenshot img", ".hidden", ".collapsed-body",
]


def result(nodeid, status="passed", duration=0.0):
    file, _, test = nodeid.partition("::")
    return {"nodeid": nodeid, "file": file, "test": test, "status": status,
            "duration": duration, "message": "", "when": "call"}


@pytest.fixture
def render(monkeypatch, report_parser):
    """render(results, steps=absent, elapsed=1.0) -> (raw html, doctype, tree)."""

    def _render(results, steps=None, elapsed=1.0):
        config = types.SimpleNamespace()
        if steps is not None:
            config._tarnwick_steps = steps
        reporter = TarnwickReporter("report.html", config)
        reporter.results = results
        reporter.start_time = START
        monkeypatch.setattr(reporter_module, "time", types.SimpleNamespace(time=lambda: START + elapsed))
        html = reporter._render()
        doctype, tree = report_parser(html)
        return html, doctype, tree

    return _render


def cards(tree):
    out = {}
    for card in tree.find("div", "summary").elements:
        assert card.tag == "div" and card.classes[0] == "card" and len(card.classes) == 2
        label, value = card.elements
        assert (label.classes, value.classes) == (["label"], ["value"])
        out[card.classes[1]] = (label.text, value.text)
    return out


def test_empty_run_has_the_whole_skeleton(render):
    html, doctype, tree = render([], elapsed=5.0)
    assert doctype == "DOCTYPE html"
    (root,) = tree.elements
    assert root.tag == "html" and root.attrs == {"lang": "en"}
    head, body = root.elements
    assert [e.tag for e in head.elements] == ["meta", "meta", "title", "style"]
    assert head.elements[0].attrs == {"charset": "UTF-8"}
    assert head.elements[1].attrs == {"name": "viewport", "content": "width=device-width, initial-scale=1.0"}
    assert head.elements[2].text == TITLE

    selectors = [s.strip() for s in re.findall(r"([^{}]+)\{[^}]*\}", head.elements[3].text)]
    assert selectors == STYLE_SELECTORS

    header, summary, filters, groups, script = body.elements
    assert header.classes == ["header"]
    assert [(e.tag, e.classes, e.text) for e in header.elements] == [
        ("h1", [], TITLE), ("div", ["meta"], "Completed in 5.0s")]
    assert list(cards(tree).items()) == [
        ("total", ("Total", "0")), ("passed", ("Passed", "0")), ("failed", ("Failed", "0")),
        ("skipped", ("Skipped", "0")), ("rate", ("Pass Rate", "0%")), ("time", ("Duration", "5.0s"))]

    assert filters.classes == ["filters"]
    label, *buttons = filters.elements
    assert (label.tag, label.text) == ("label", "Filter:")
    assert [(b.tag, b.classes, b.attrs["onclick"], b.text) for b in buttons] == [
        ("button", ["filter-btn", "active"], "filter('all', this)", "All"),
        ("button", ["filter-btn", "passed"], "filter('passed', this)", "Passed"),
        ("button", ["filter-btn", "failed"], "filter('failed', this)", "Failed"),
        ("button", ["filter-btn", "skipped"], "filter('skipped', this)", "Skipped")]

    assert (groups.tag, groups.classes, groups.attrs["id"], groups.elements) == ("div", ["groups"], "groups", [])
    assert script.tag == "script"
    for fn in ("function filter(status, btn)", "function toggleGroup(header)", "function toggleSteps(id, btn)"):
        assert fn in script.text
    assert not tree.find_all(cls="msg")


@pytest.mark.parametrize(
    "statuses, rate",
    [
        (["passed"] + ["failed"] * 7, "12%"),
        (["passed"] * 3 + ["failed"] * 5, "38%"),
        (["passed", "passed", "failed"], "67%"),
        (["passed", "passed", "failed", "skipped"], "50%"),
        (["passed", "error"], "50%"),
    ],
)
def test_counts_and_pass_rate(render, statuses, rate):
    results = [result(f"t.py::t{i}", s) for i, s in enumerate(statuses)]
    _, _, tree = render(results)
    c = cards(tree)
    assert c["total"][1] == str(len(statuses))
    for kind in ("passed", "failed", "skipped"):
        assert c[kind][1] == str(statuses.count(kind))
    assert c["rate"][1] == rate


@pytest.mark.parametrize(
    "elapsed, shown", [(3.14159, "3.14"), (5.0, "5.0"), (2.5, "2.5"), (0.001, "0.0"), (59.999, "60.0")]
)
def test_run_duration_format(render, elapsed, shown):
    _, _, tree = render([], elapsed=elapsed)
    assert tree.find("div", "meta").text == f"Completed in {shown}s"
    assert cards(tree)["time"][1] == f"{shown}s"


def test_file_groups_rows_and_badges(render):
    results = [
        result("a.py::test_one", "passed", 0.5),
        result("b.py::TestB::test_two", "failed", 1.234),
        result("a.py::test_three", "skipped", 0.0),
        result("c.py::test_four", "passed", 2.0),
        result("c.py::test_five", "error", 0.004),
    ]
    html, _, tree = render(results)
    groups = tree.find("div", id="groups").elements
    assert [(g.tag, g.classes, g.attrs["data-file"]) for g in groups] == [
        ("div", ["file-group"], "a.py"), ("div", ["file-group"], "b.py"), ("div", ["file-group"], "c.py")]

    header, table = groups[0].elements
    assert (header.classes, header.attrs["onclick"]) == (["file-header"], "toggleGroup(this)")
    chevron, name, counts = header.elements
    assert (chevron.classes, chevron.text) == (["chevron"], "\u25bc")
    assert (name.classes, name.text) == (["file-name"], "a.py")
    assert counts.classes == ["file-counts"]
    badges = lambda g: [(b.classes, b.text) for b in g.elements[0].elements[2].elements]
    assert badges(groups[0]) == [(["badge", "passed"], "1 passed"), (["badge", "skipped"], "1 skipped")]
    assert badges(groups[1]) == [(["badge", "passed"], "0 passed"), (["badge", "failed"], "1 failed")]
    assert badges(groups[2]) == [(["badge", "passed"], "1 passed")]  # "error" counts nowhere
    assert "<span class='badge failed'>" in html and "<span class='badge skipped'>" in html

    assert table.tag == "table" and table.classes == ["test-table"]
    colgroup, thead, tbody = table.elements
    assert [c.tag for c in colgroup.elements] == ["col"] * 5
    assert all(not c.attrs and not c.children for c in colgroup.elements)
    assert [th.text for th in thead.find_all("th")] == ["", "Test", "", "Status", "Duration"]

    def row_cells(tree_node):
        out = []
        for tr in tree_node.find_all("tr", "test-row"):
            icon, name, expand, status, duration = tr.elements
            assert tr.attrs["data-file"] == tr.parent.parent.parent.attrs["data-file"]
            out.append((tr.attrs["data-status"], icon.elements[0].classes, icon.text, name.classes,
                        name.text, expand.children, status.elements[0].classes, status.text,
                        duration.classes, duration.text))
        return out

    assert row_cells(tree) == [
        ("passed", ["icon", "passed"], "\u2713", ["test-name"], "test_one", [], ["badge", "passed"], "passed", ["duration"], "0.50s"),
        ("skipped", ["icon", "skipped"], "\u25cb", ["test-name"], "test_three", [], ["badge", "skipped"], "skipped", ["duration"], "0.00s"),
        ("failed", ["icon", "failed"], "\u2717", ["test-name"], "TestB::test_two", [], ["badge", "failed"], "failed", ["duration"], "1.23s"),
        ("passed", ["icon", "passed"], "\u2713", ["test-name"], "test_four", [], ["badge", "passed"], "passed", ["duration"], "2.00s"),
        ("error", ["icon", "error"], "?", ["test-name"], "test_five", [], ["badge", "error"], "error", ["duration"], "0.00s"),
    ]
    assert not tree.find_all(cls="steps-container")


def test_steps_rows(render):
    png = "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mNk+M9QDwADhgGAWjR9awAAAABJRU5ErkJggg=="
    results = [
        result("tests/test_a.py::test_plain"),
        result("tests/test_a.py::test_steps", "failed"),
        result("tests/test_a.py::test_no_entry"),
        result("tests/test_a.py::test_empty_list"),
    ]
    steps = {
        "tests/test_a.py::test_steps": [
            {"instruction": "click Login button", "status": "passed", "message": "", "extra": 1},
            {"instruction": "verify Products is present", "status": "failed",
             "message": "Products not found", "screenshot": png},
            {"instruction": "hover Menu", "status": "error", "screenshot": None},
        ],
        "tests/test_a.py::test_empty_list": [],
        "unrelated::node": [{"instruction": "never shown", "status": "passed"}],
    }
    _, _, tree = render(results, steps)
    rows = tree.find("tbody").elements
    assert [r.classes for r in rows] == [
        ["test-row"], ["test-row"], ["steps-container", "hidden"], ["test-row"], ["test-row"]]

    buttons = tree.find_all("button", "expand-btn")
    assert len(buttons) == 1
    button = buttons[0]
    assert button.parent is rows[1].elements[2]
    assert button.attrs["onclick"] == "toggleSteps('steps-tests/test_a.py-1', this)"
    assert button.text == "view steps"

    container = rows[2]
    assert container.attrs["id"] == "steps-tests/test_a.py-1"
    (cell,) = container.elements
    assert cell.attrs == {"colspan": "4", "style": "padding:0 16px 12px 40px"}
    (steps_table,) = cell.elements
    assert steps_table.classes == ["steps-table"]
    (steps_body,) = steps_table.elements
    step_rows = steps_body.elements
    assert [r.classes for r in step_rows] == [["step-row"]] * 3

    def step(row):
        mark, text = row.elements
        (icon,) = mark.elements
        assert icon.attrs["style"] == "font-size:11px"
        assert text.classes == ["step-text"]
        parts = [c if isinstance(c, str) else (c.tag, c.classes, c.text, [(i.tag, i.attrs) for i in c.elements])
                 for c in text.children]
        return icon.classes, icon.text, parts

    assert step(step_rows[0]) == (["icon", "passed"], "\u2713", ["click Login button"])
    assert step(step_rows[1]) == (["icon", "failed"], "\u2717", [
        "verify Products is present",
        ("div", ["step-msg"], "Products not found", []),
        ("div", ["step-screenshot"], "", [("img", {"src": "data:image/png;base64," + png, "alt": "screenshot"})]),
    ])
    assert step(step_rows[2]) == (["icon", "error"], "\u2717", ["hover Menu"])


def test_no_steps_map_means_no_buttons(render):
    _, _, tree = render([result("a.py::t")], steps=None)
    assert not tree.find_all("button", "expand-btn")


def decode_js_string(literal):
    assert literal[0] == literal[-1] == "'"
    body = literal[1:-1]
    assert not re.search(r"(?<!\\)'", body.replace("\\\\", "")), "unescaped quote ends the literal"
    return re.sub(r"\\(x[0-9A-Fa-f]{2}|u[0-9A-Fa-f]{4}|\\)",
                  lambda m: "\\" if m.group(1) == "\\" else chr(int(m.group(1)[1:], 16)), body)


INJECTIONS = [
    "<script>alert(1)</script>",
    "'); alert(1);//",
    "\"><img src=x onerror=alert(1)>",
    "a & b \\ c\nd\u2028e",
]


@pytest.mark.parametrize("payload", INJECTIONS)
def test_inserted_values_are_escaped(render, payload):
    file = f"tests/{payload}.py"
    nodeid = f"{file}::test[{payload}]"
    results = [result(nodeid, "failed")]
    steps = {nodeid: [{"instruction": payload, "status": payload, "message": payload, "screenshot": payload}]}
    html, _, tree = render(results, steps)

    # The document parses to exactly the intended elements, values intact.
    assert len(tree.find_all("script")) == 1 and not tree.find_all("img", src="x")
    group = tree.find("div", "file-group")
    assert group.attrs["data-file"] == file
    assert tree.find("span", "file-name").text == file
    row = tree.find("tr", "test-row")
    assert row.attrs["data-file"] == file
    assert tree.find("td", "test-name").text == f"test[{payload}]"
    step_text = tree.find("td", "step-text")
    assert step_text.children[0] == payload
    assert tree.find("div", "step-msg").text == payload
    assert tree.find("img").attrs["src"] == "data:image/png;base64," + payload

    # The button's argument is a JavaScript string naming the row's id.
    onclick = tree.find("button", "expand-btn").attrs["onclick"]
    m = re.fullmatch(r"toggleSteps\((.*), this\)", onclick, re.S)
    assert m, onclick
    steps_id = decode_js_string(m.group(1))
    assert steps_id == f"steps-{file}-0"
    assert tree.find("tr", "steps-container").attrs["id"] == steps_id


@pytest.mark.parametrize(
    "results, steps, error, match",
    [
        ("nope", None, TypeError, "results must be a list"),
        ([["a"]], None, TypeError, r"results\[0\] must be a dict"),
        ([{"file": "a", "test": "t", "status": "passed", "duration": 0.0}], None, ValueError, "has no 'nodeid'"),
        ([dict(result("a::t"), status=None)], None, TypeError, r"results\[0\]\['status'\] must be str"),
        ([dict(result("a::t"), duration="1s")], None, TypeError, r"\['duration'\] must be a number"),
        ([result("a::t")], {"a::t": "click"}, TypeError, r"steps\['a::t'\] must be a list"),
        ([result("a::t")], {"a::t": [{"status": "passed"}]}, ValueError, r"steps\['a::t'\]\[0\] has no 'instruction'"),
        ([result("a::t")], {"a::t": [{"instruction": "x"}]}, ValueError, "has no 'status'"),
        ([result("a::t")], {"a::t": [{"instruction": 3, "status": "passed"}]}, TypeError, r"\['instruction'\] must be str"),
        ([result("a::t")], {"a::t": [{"instruction": "x", "status": "passed", "message": 5}]}, TypeError, r"\['message'\] must be str"),
        ([result("a::t")], {"a::t": ["click"]}, TypeError, r"\[0\] must be a dict"),
    ],
)
def test_malformed_records_raise(render, results, steps, error, match):
    with pytest.raises(error, match=match):
        render(results, steps)


def test_steps_map_of_wrong_kind(render):
    with pytest.raises(TypeError, match="steps must be a dict"):
        render([result("a::t")], steps=[("a::t", [])])
