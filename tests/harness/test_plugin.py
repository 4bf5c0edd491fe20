"""The pytest plug-in: configuration discovery, report path, recorded phases,
steps and the report file, checked through real (in-process) pytest runs."""

import os
import textwrap

import pytest

from tarnwick.harness import fixtures

pytest_plugins = ["pytester"]

CONFIG = fixtures.CONFIG_FILE_NAME


def run(pytester, *args):
    """Runs pytest in-process; returns (reporter, config) of that run."""
    reprec = pytester.inline_run("-p", "no:cacheprovider", *args)
    config = reprec.getcall("pytest_sessionfinish").session.config
    return config.pluginmanager.get_plugin("tarnwick_reporter"), config, reprec


# --- configuration discovery ------------------------------------------------


def test_config_in_working_directory_hides_the_parents(tmp_path, monkeypatch):
    (tmp_path / CONFIG).write_text("raise RuntimeError('the parent file must not run')\n")
    proj = tmp_path / "proj"
    proj.mkdir()
    (proj / CONFIG).write_text(
        "import os\nURL = 'http://app.test/'\nRESULT_DIR = 'out'\ndef helper():\n    return 1\n"
    )
    monkeypatch.chdir(proj)
    cfg, config_dir = fixtures._find_config()
    assert config_dir == str(proj)
    assert cfg["URL"] == "http://app.test/" and cfg["RESULT_DIR"] == "out"
    # Every top-level name becomes a key, imports and functions included.
    assert {"os", "helper", "__builtins__"} <= set(cfg)
    assert fixtures._load_project_config()["URL"] == "http://app.test/"


def test_config_found_in_an_ancestor(tmp_path, monkeypatch):
    (tmp_path / CONFIG).write_text("SCREENSHOTS_ON_FAILURE = True\n")
    deep = tmp_path / "a" / "b"
    deep.mkdir(parents=True)
    monkeypatch.chdir(deep)
    cfg, config_dir = fixtures._find_config()
    assert config_dir == str(tmp_path)
    assert cfg["SCREENSHOTS_ON_FAILURE"] is True


def test_no_config_anywhere(tmp_path, monkeypatch):
    monkeypatch.chdir(tmp_path)
    assert fixtures._find_config() == ({}, str(tmp_path))


def test_config_name_taken_by_a_directory_stops_the_search(tmp_path, monkeypatch):
    (tmp_path / CONFIG).write_text("URL = 'parent'\n")
    proj = tmp_path / "proj"
    (proj / CONFIG).mkdir(parents=True)
    monkeypatch.chdir(proj)
    with pytest.raises(IsADirectoryError):
        fixtures._find_config()


def test_broken_config_stops_the_run(pytester):
    (pytester.path / CONFIG).write_text("URL = (\n")
    pytester.makepyfile("def test_a(): pass")
    result = pytester.runpytest_inprocess()
    assert result.ret != 0
    assert "SyntaxError" in result.stderr.str() + result.stdout.str()
    assert not (pytester.path / "test_report").exists()


# --- report path -----------------------------------------------------------


@pytest.mark.parametrize(
    "config_text, option, expected, result_dir",
    [
        (None, None, "sub/test_report/report.html", "test_report"),  # no config: cwd
        ("RESULT_DIR = 'out'", None, "out/report.html", "out"),
        ("RESULT_DIR = {absolute!r}", None, "{absolute}/report.html", "{absolute}"),
        ("RESULT_DIR = 'out'", "my.html", "sub/my.html", "out"),
        (None, "nested/dir/r.html", "sub/nested/dir/r.html", "test_report"),
    ],
    ids=["default", "relative-result-dir", "absolute-result-dir", "option", "option-new-dirs"],
)
def test_report_path(stub_pytester, tmp_path_factory, config_text, option, expected, result_dir):
    # The configuration sits in the project root and pytest runs from a
    # subdirectory: RESULT_DIR is taken from the config's directory, the
    # option from the working directory.
    absolute = str(tmp_path_factory.mktemp("abs") / "r")
    root = stub_pytester.path
    if config_text:
        (root / CONFIG).write_text(config_text.format(absolute=absolute) + "\n")
    sub = root / "sub"
    sub.mkdir()
    (sub / "test_one.py").write_text("def test_a(): pass\n")
    os.chdir(sub)
    args = ["--tarnwick-report", option] if option else []
    reporter, config, _ = run(stub_pytester, *args)

    expected_path = expected.format(absolute=absolute)
    expected_path = os.path.join(str(root), expected_path)  # absolute one wins in join
    assert os.path.isfile(expected_path)
    assert config._tarnwick_result_dir == result_dir.format(absolute=absolute)
    if option:
        assert reporter.report_path == option  # kept as given
    else:
        assert reporter.report_path == expected_path


def test_report_path_without_directory_part(stub_pytester):
    stub_pytester.makepyfile("def test_a(): pass")
    run(stub_pytester, "--tarnwick-report", "report.html")
    assert (stub_pytester.path / "report.html").is_file()


def test_reporter_rejects_a_path_that_is_not_text():
    from tarnwick.harness.reporter import TarnwickReporter

    with pytest.raises(TypeError, match="report_path"):
        TarnwickReporter(b"r.html", None)


def test_report_written_only_at_the_end_and_replaced(stub_pytester):
    report = stub_pytester.path / "test_report" / "report.html"
    report.parent.mkdir()
    report.write_text("old report")
    stub_pytester.makepyfile(
        f"""
        def test_during_run():
            assert open({str(report)!r}).read() == "old report"
        """
    )
    reporter, _, reprec = run(stub_pytester)
    reprec.assertoutcome(passed=1)
    html = report.read_text(encoding="utf-8")
    assert html.startswith("<!DOCTYPE html>") and "test_during_run" in html


# --- recorded phases ---------------------------------------------------------

PHASES = textwrap.dedent(
    """
    import pytest

    @pytest.fixture
    def broken_setup():
        raise RuntimeError("setup went wrong")

    @pytest.fixture
    def broken_teardown():
        yield
        raise RuntimeError("teardown went wrong")

    def test_pass():
        pass

    def test_assertion():
        x = 1
        assert x == 2

    def test_setup_error(broken_setup):
        pass

    @pytest.mark.skip(reason="by marker")
    def test_skip_marker():
        pass

    def test_skip_in_body():
        pytest.skip("not today")

    def test_teardown_failure(broken_teardown):
        pass

    class TestGroup:
        def test_method(self):
            pass
    """
)


def test_recorded_phases(stub_pytester):
    stub_pytester.makepyfile(test_phases=PHASES)
    reporter, _, reprec = run(stub_pytester)
    by_test = {r["test"]: r for r in reporter.results}
    assert list(by_test) == [
        "test_pass",
        "test_assertion",
        "test_setup_error",
        "test_skip_in_body",
        "test_teardown_failure",
        "TestGroup::test_method",
    ]  # the skip marker leaves no record; one record per test
    for r in reporter.results:
        assert list(r) == ["nodeid", "file", "test", "status", "duration", "message", "when"]
        assert r["file"] == "test_phases.py"
        assert r["nodeid"] == f"test_phases.py::{r['test']}"
        assert type(r["duration"]) is float

    expected = {
        "test_pass": ("passed", "", "call"),
        "test_assertion": ("failed", "assert 1 == 2", "call"),
        "test_setup_error": ("failed", "RuntimeError: setup went wrong", "setup"),
        "test_teardown_failure": ("passed", "", "call"),
        "TestGroup::test_method": ("passed", "", "call"),
    }
    for name, (status, message, when) in expected.items():
        assert (by_test[name]["status"], by_test[name]["message"], by_test[name]["when"]) == (
            status,
            message,
            when,
        ), name

    skipped = by_test["test_skip_in_body"]
    assert (skipped["status"], skipped["when"]) == ("skipped", "call")
    assert skipped["message"].startswith("(") and skipped["message"].endswith("'Skipped: not today')")

    # The duration is the recorded phase's own, never a sum of phases.
    reports = {
        (rep.nodeid, rep.when): rep for rep in reprec.getreports("pytest_runtest_logreport")
    }
    for r in reporter.results:
        assert r["duration"] == reports[(r["nodeid"], r["when"])].duration


class FakeReport:
    """A phase report with only what the reporter reads."""

    def __init__(self, when="call", passed=False, failed=True, longrepr=None, nodeid="t.py::t", **extra):
        self.when, self.passed, self.failed = when, passed, failed
        self.longrepr, self.nodeid = longrepr, nodeid
        self.__dict__.update(extra)


class Crash:
    def __init__(self, reprcrash):
        self.reprcrash = reprcrash

    def __str__(self):
        return "full traceback\nE   last line"


@pytest.mark.parametrize(
    "longrepr, message",
    [
        (None, ""),
        (Crash(type("C", (), {"message": "AssertionError: boom"})()), "AssertionError: boom"),
        (Crash(None), "E   last line"),  # a crash point that is None: last-line rule
        ("Traceback\n  frame\n    indented last\n\n   \n", "    indented last"),
        ("one line only", "one line only"),
    ],
    ids=["none", "reprcrash", "reprcrash-none", "plain-text", "one-line"],
)
def test_extract_message(longrepr, message):
    from tarnwick.harness.reporter import TarnwickReporter

    reporter = TarnwickReporter("r.html", None)
    assert reporter._extract_message(FakeReport(longrepr=longrepr)) == message


def test_collect_without_duration_and_with_wrong_kinds():
    from tarnwick.harness.reporter import TarnwickReporter

    reporter = TarnwickReporter("r.html", None)
    reporter.pytest_runtest_logreport(FakeReport(passed=True, failed=False, nodeid="x.py"))
    assert reporter.results == [
        {"nodeid": "x.py", "file": "x.py", "test": "", "status": "passed",
         "duration": 0.0, "message": "", "when": "call"}
    ]
    with pytest.raises(TypeError, match="report.nodeid"):
        reporter.pytest_runtest_logreport(FakeReport(nodeid=None))
    with pytest.raises(TypeError, match="report.duration"):
        reporter.pytest_runtest_logreport(FakeReport(duration="slow"))
    reporter.pytest_runtest_logreport(FakeReport(when="teardown", nodeid=None))  # ignored unread
    assert len(reporter.results) == 1


# --- agent fixture and steps -------------------------------------------------


def test_agent_built_from_config_closed_and_steps_stored(stub_pytester):
    (stub_pytester.path / CONFIG).write_text(
        textwrap.dedent(
            """
            with open("config_runs.txt", "a") as f:
                f.write("x")
            URL = "http://app.test/login"
            SCREENSHOTS_ON_FAILURE = "yes"
            """
        )
    )
    stub_pytester.makepyfile(
        textwrap.dedent(
            """
            def test_passes(agent):
                assert agent.kwargs == {"url": "http://app.test/login", "screenshots": "yes"}
                agent._steps.append({"instruction": "click Login", "status": "passed"})

            def test_fails(agent):
                agent._steps.append({"instruction": "verify Welcome is present", "status": "failed"})
                assert False

            def test_without_agent():
                pass
            """
        )
    )
    reporter, config, reprec = run(stub_pytester)
    reprec.assertoutcome(passed=2, failed=1)
    # Read once at configuration, then again for each test using the agent.
    assert (stub_pytester.path / "config_runs.txt").read_text() == "xxx"
    steps = config._tarnwick_steps
    assert list(steps) == ["test_agent_built_from_config_closed_and_steps_stored.py::test_passes",
                           "test_agent_built_from_config_closed_and_steps_stored.py::test_fails"]
    assert [s["instruction"] for v in steps.values() for s in v] == [
        "click Login", "verify Welcome is present"]
    agents = next(
        p.StubAgent for p in config.pluginmanager.get_plugins() if hasattr(p, "StubAgent")
    ).built
    assert [a.closed for a in agents] == [1, 1]
    assert [a._steps for a in agents] == list(steps.values())
    assert all(a._steps is s for a, s in zip(agents, steps.values()))  # stored by reference

    html = (stub_pytester.path / "test_report" / "report.html").read_text(encoding="utf-8")
    assert html.count('class="expand-btn"') == 2
    assert "click Login" in html and "verify Welcome is present" in html


def test_agent_defaults_without_config(stub_pytester):
    stub_pytester.makepyfile(
        "def test_a(agent):\n    assert agent.kwargs == {'url': None, 'screenshots': False}\n"
    )
    _, config, reprec = run(stub_pytester)
    reprec.assertoutcome(passed=1)
    assert list(config._tarnwick_steps.values()) == [[]]


@pytest.mark.parametrize(
    "failure, outcome, stored",
    [("init", "setup", False), ("close", "teardown", False)],
)
def test_agent_failures_reach_pytest(stub_pytester, monkeypatch, failure, outcome, stored):
    monkeypatch.setenv("STUB_AGENT_FAIL", failure)
    stub_pytester.makepyfile("def test_a(agent):\n    agent_used = agent\n")
    _, config, reprec = run(stub_pytester)
    failed = [r for r in reprec.getreports("pytest_runtest_logreport") if r.failed]
    assert [r.when for r in failed] == [outcome]
    assert bool(getattr(config, "_tarnwick_steps", {})) is stored


def test_malformed_step_makes_the_report_fail(stub_pytester):
    stub_pytester.makepyfile(
        "def test_a(agent):\n    agent._steps.append({'status': 'passed'})\n"
    )
    result = stub_pytester.runpytest_inprocess()
    assert "has no 'instruction'" in result.stdout.str() + result.stderr.str()
    assert not (stub_pytester.path / "test_report" / "report.html").exists()


def test_lone_surrogate_in_a_step_does_not_lose_the_report(tmp_path):
    from types import SimpleNamespace

    from tarnwick.harness.reporter import TarnwickReporter

    steps = {"t.py::a": [{"instruction": "type \ud800 into Name", "status": "passed"}]}
    config = SimpleNamespace(_tarnwick_steps=steps)
    reporter = TarnwickReporter(str(tmp_path / "r.html"), config)
    report = SimpleNamespace(when="call", passed=True, failed=False, duration=0.1,
                             nodeid="t.py::a", longrepr=None)
    reporter.pytest_runtest_logreport(report)
    reporter.pytest_sessionfinish(None, 0)
    assert "type \\ud800 into Name" in (tmp_path / "r.html").read_text(encoding="utf-8")


def test_rerun_under_the_same_node_id_replaces_the_steps(stub_pytester):
    stub_pytester.makepyfile(
        test_again=textwrap.dedent(
            """
            RUNS = []

            def test_x(agent):
                RUNS.append(1)
                agent._steps.append({"instruction": f"run {len(RUNS)}", "status": "passed"})
            """
        )
    )
    reporter, config, _ = run(stub_pytester, "--keep-duplicates", "test_again.py", "test_again.py")
    assert [r["nodeid"] for r in reporter.results] == ["test_again.py::test_x"] * 2
    assert config._tarnwick_steps == {
        "test_again.py::test_x": [{"instruction": "run 2", "status": "passed"}]
    }
