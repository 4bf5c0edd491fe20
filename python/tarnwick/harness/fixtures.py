"""pytest plug-in of tarnwick: the report option, the project configuration
file, the result reporter and the ``agent`` fixture.

Registered through the ``tarnwick`` pytest11 entry point, so installing the
package is enough for a test project to use it.
"""

from __future__ import annotations

import os

import pytest

from tarnwick import WebAgent
from tarnwick.harness.reporter import TarnwickReporter

CONFIG_FILE_NAME = "tarnwick.web.config.py"
DEFAULT_RESULT_DIR = "test_report"


def _find_config():
    """(configuration map, configuration directory): the nearest
    tarnwick.web.config.py from the working directory upwards, executed."""
    start = os.getcwd()
    while True:
        candidate = os.path.join(start, CONFIG_FILE_NAME)
        # Existence, not "is a file": a directory of that name ends the
        # search and fails to open, which is the author's mistake to see.
        if os.path.exists(candidate):
            cfg = {}
            with open(candidate) as f:
                source = f.read()
            exec(compile(source, candidate, "exec"), cfg)
            return cfg, start
        parent = os.path.dirname(start)
        if parent == start:
            break
        start = parent
    return {}, os.getcwd()


def _load_project_config():
    return _find_config()[0]


def pytest_addoption(parser):
    group = parser.getgroup("tarnwick")
    group.addoption(
        "--tarnwick-report",
        action="store",
        default=None,
        help="Path to tarnwick HTML report output file",
    )


def pytest_configure(config):
    cfg, config_dir = _find_config()
    result_dir = cfg.get("RESULT_DIR", DEFAULT_RESULT_DIR)
    report_path = config.getoption("tarnwick_report", default=None)
    if report_path is None:
        report_path = os.path.join(config_dir, result_dir, "report.html")
    config._tarnwick_result_dir = result_dir
    config.pluginmanager.register(TarnwickReporter(report_path, config), "tarnwick_reporter")


@pytest.fixture
def agent(request):
    """A fresh WebAgent for the test, built from the project configuration."""
    cfg = _load_project_config()
    a = WebAgent(url=cfg.get("URL"), screenshots=cfg.get("SCREENSHOTS_ON_FAILURE", False))
    yield a
    a.close()
    if not hasattr(request.config, "_tarnwick_steps"):
        request.config._tarnwick_steps = {}
    request.config._tarnwick_steps[request.node.nodeid] = a._steps
