"""Result collector and HTML report of a tarnwick run.

pytest's hook caller introspects Python signatures, so the plug-in object is
this small class; collecting a phase report, extracting its message and
rendering the report happen in the compiled ``_reporter`` module.
"""

from __future__ import annotations

import os
import time

from tarnwick.harness import _reporter


class TarnwickReporter:
    """Keeps one result per test and writes the HTML report at the end of the run."""

    def __init__(self, report_path, config):
        if not isinstance(report_path, str):
            raise TypeError(f"report_path must be str, not {type(report_path).__name__}")
        self.report_path = report_path
        self.config = config
        self.results = []
        self.start_time = time.time()

    def pytest_runtest_logreport(self, report):
        _reporter.collect(self.results, report)

    def pytest_sessionfinish(self, session, exitstatus):
        directory = os.path.dirname(self.report_path) or "."
        os.makedirs(directory, exist_ok=True)
        html = self._render()
        # A lone surrogate in a step text cannot be UTF-8; write it escaped
        # rather than lose the whole report.
        with open(self.report_path, "w", encoding="utf-8", errors="backslashreplace") as f:
            f.write(html)

    def _extract_message(self, report):
        return _reporter.extract_message(report)

    def _render(self):
        steps = getattr(self.config, "_tarnwick_steps", None)
        return _reporter.render(self.results, steps, time.time() - self.start_time)
