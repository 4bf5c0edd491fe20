"""The report's script, run in real Chromium."""

import types

import pytest

from tarnwick.harness.reporter import TarnwickReporter


def result(nodeid, status):
    file, _, test = nodeid.partition("::")
    return {"nodeid": nodeid, "file": file, "test": test, "status": status,
            "duration": 0.1, "message": "", "when": "call"}


def load_report(page, results, steps):
    config = types.SimpleNamespace(_tarnwick_steps=steps)
    reporter = TarnwickReporter("report.html", config)
    reporter.results = results
    dialogs = []
    page.on("dialog", lambda d: (dialogs.append(d.message), d.dismiss()))
    page.set_content(reporter._render())
    return dialogs


def visible_rows(page):
    return page.eval_on_selector_all(
        ".test-row", "rows => rows.filter(r => r.offsetParent !== null).map(r => r.cells[1].textContent)"
    )


def visible_groups(page):
    return page.eval_on_selector_all(
        ".file-group", "gs => gs.filter(g => !g.classList.contains('hidden')).map(g => g.dataset.file)"
    )


@pytest.fixture
def report_page(page):
    results = [
        result("a.py::test_ok", "passed"),
        result("a.py::test_broken", "failed"),
        result("b.py::test_later", "skipped"),
        result("c.py::test_fine", "passed"),
    ]
    steps = {"a.py::test_broken": [{"instruction": "click Login", "status": "failed", "message": "not found"}]}
    load_report(page, results, steps)
    return page


def test_filter_buttons(report_page):
    page = report_page
    assert visible_rows(page) == ["test_ok", "test_broken", "test_later", "test_fine"]

    page.click("button.filter-btn.failed")
    assert visible_rows(page) == ["test_broken"]
    assert visible_groups(page) == ["a.py"]
    assert page.eval_on_selector_all(".filter-btn.active", "bs => bs.map(b => b.textContent)") == ["Failed"]

    page.click("button.filter-btn.passed")
    assert visible_rows(page) == ["test_ok", "test_fine"]
    assert visible_groups(page) == ["a.py", "c.py"]

    page.click("button.filter-btn.skipped")
    assert visible_groups(page) == ["b.py"]

    page.click("text=All")
    assert visible_rows(page) == ["test_ok", "test_broken", "test_later", "test_fine"]
    assert visible_groups(page) == ["a.py", "b.py", "c.py"]
    assert page.eval_on_selector_all(".filter-btn.active", "bs => bs.map(b => b.textContent)") == ["All"]


def test_group_collapse(report_page):
    page = report_page
    header = page.locator(".file-group[data-file='a.py'] .file-header")
    table = page.locator(".file-group[data-file='a.py'] .test-table")
    chevron = header.locator(".chevron")
    header.click()
    assert table.is_hidden()
    assert "collapsed-body" in table.get_attribute("class")
    assert "collapsed" in chevron.get_attribute("class")
    assert page.locator(".file-group[data-file='c.py'] .test-table").is_visible()
    header.click()
    assert table.is_visible()
    assert chevron.get_attribute("class") == "chevron"


def test_steps_toggle(report_page):
    page = report_page
    button = page.locator(".expand-btn")
    steps_row = page.locator(".steps-container")
    assert steps_row.is_hidden() and button.inner_text() == "view steps"

    button.click()
    assert steps_row.is_visible()
    assert button.inner_text() == "hide steps"
    assert button.get_attribute("class").split() == ["expand-btn", "open"]
    assert page.locator(".step-msg").inner_text() == "not found"

    # An opened steps row stays when its test row is filtered out.
    page.click("button.filter-btn.passed")
    assert "test_broken" not in visible_rows(page)
    assert steps_row.is_visible()
    page.click("text=All")

    button.click()
    assert steps_row.is_hidden()
    assert button.inner_text() == "view steps"
    assert button.get_attribute("class").split() == ["expand-btn"]


def test_injected_values_stay_inert(page):
    mark = "window.__pwned = (window.__pwned || 0) + 1"
    file = f"tests/x'); {mark};//\".py"
    nodeid = f"{file}::test[<script>{mark}</script>]"
    payload = f"<img src=x onerror=\"{mark}\"><script>{mark};alert(1)</script>'); alert(1);//"
    steps = {nodeid: [{"instruction": payload, "status": f"failed\" onmouseover=\"{mark}",
                       "message": f"</td></tr></table>{payload}", "screenshot": f"\" onerror=\"{mark}"}]}
    dialogs = load_report(page, [result(nodeid, "failed")], steps)

    button = page.locator(".expand-btn")
    button.click()
    steps_row = page.locator(".steps-container")
    assert steps_row.is_visible() and button.inner_text() == "hide steps"  # ids still match
    page.hover(".step-text")
    page.locator(".file-header").click()
    page.wait_for_timeout(100)  # let a broken image's error handler run, if there were one

    assert page.evaluate("window.__pwned") is None
    assert dialogs == []
    assert page.locator(".test-name").inner_text() == f"test[<script>{mark}</script>]"
    assert page.locator(".step-text").evaluate("e => e.firstChild.textContent") == payload
