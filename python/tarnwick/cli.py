"""Command line of tarnwick.

``tarnwick check FILE...`` checks step files before a run: one step a line,
blank lines and ``#`` comments ignored. Every validation issue and every step
the parser rejects is reported as ``FILE:LINE: message``.

Exit codes: 0 all steps clean, 1 some step has an issue, 2 a file could not be
read (or the command line was wrong).
"""

from __future__ import annotations

import argparse
import json
import os
import sys
from dataclasses import dataclass

EXIT_CLEAN = 0
EXIT_ISSUES = 1
EXIT_UNREADABLE = 2


@dataclass
class Step:
    path: str
    line: int
    text: str


class UnreadableFile(Exception):
    pass


def read_steps(path: str) -> list[Step]:
    """The steps of one file, with their 1-based line numbers."""
    try:
        # utf-8-sig: a byte-order mark written by some editors is not part of
        # the first step.
        with open(path, encoding="utf-8-sig") as f:
            content = f.read()
    except UnicodeDecodeError as e:
        raise UnreadableFile(f"{path}: not UTF-8 text (byte {e.start})") from None
    except OSError as e:
        raise UnreadableFile(f"{path}: {e.strerror or e}") from None
    steps = []
    # Lines are counted at line feeds only (universal newlines already turned
    # \r\n and \r into \n), as editors number them; str.splitlines() would
    # also break at characters like U+2028 and shift the numbers.
    for number, line in enumerate(content.split("\n"), start=1):
        stripped = line.strip()
        if not stripped or stripped.startswith("#"):
            continue
        steps.append(Step(path, number, line))
    return steps


def check_step(parser, step: Step) -> tuple[list[str], dict | None, str | None]:
    """(validation issues, parsed record or None, rejection message or None)."""
    issues = parser.validate(step.text)
    try:
        return issues, parser.parse(step.text), None
    except ValueError as e:
        return issues, None, str(e)


def _write(stream, text: str) -> None:
    try:
        stream.write(text + "\n")
    except UnicodeEncodeError:
        # A console that cannot show a character still gets the whole report.
        encoding = getattr(stream, "encoding", None) or "ascii"
        stream.write(text.encode(encoding, "backslashreplace").decode(encoding) + "\n")


def run_check(paths: list[str], as_json: bool, out=None, err=None) -> int:
    from tarnwick.engine.agent.stepreader import InstructionParser

    out = out or sys.stdout
    err = err or sys.stderr
    parser = InstructionParser()
    unreadable = 0
    faulty_steps = 0
    problems = 0
    total = 0
    for path in paths:
        try:
            steps = read_steps(path)
        except UnreadableFile as e:
            _write(err, f"tarnwick: cannot read {e}")
            unreadable += 1
            continue
        for step in steps:
            total += 1
            issues, parsed, rejection = check_step(parser, step)
            found = issues + ([rejection] if rejection else [])
            if found:
                faulty_steps += 1
                problems += len(found)
            if as_json:
                record = {"file": step.path, "line": step.line, "step": step.text}
                if parsed is not None:
                    record["parsed"] = parsed
                else:
                    record["error"] = rejection
                record["issues"] = issues
                _write(out, json.dumps(record))
            else:
                for message in found:
                    _write(out, f"{step.path}:{step.line}: {message}")

    if not as_json:
        files = len(paths) - unreadable
        summary = f"{total} step{'s' * (total != 1)} in {files} file{'s' * (files != 1)}: "
        if problems:
            summary += f"{problems} issue{'s' * (problems != 1)} in {faulty_steps} step{'s' * (faulty_steps != 1)}"
        else:
            summary += "no issues"
        _write(out, summary)
    if unreadable:
        return EXIT_UNREADABLE
    return EXIT_ISSUES if problems else EXIT_CLEAN


def build_argument_parser() -> argparse.ArgumentParser:
    ap = argparse.ArgumentParser(
        prog="tarnwick", description="Plain-English web UI tests for pytest."
    )
    commands = ap.add_subparsers(dest="command", metavar="COMMAND")
    check = commands.add_parser(
        "check",
        help="check step files for issues before a run",
        description="Check step files (one step a line; blank lines and lines "
        "starting with # are ignored). Exit status: 0 clean, 1 issues found, "
        "2 a file could not be read.",
    )
    check.add_argument("files", nargs="+", metavar="FILE", help="a steps file")
    check.add_argument(
        "--json",
        action="store_true",
        help="print each step's parsed instruction (or its error) as one JSON object a line",
    )
    return ap


def main(argv: list[str] | None = None) -> int:
    ap = build_argument_parser()
    args = ap.parse_args(argv)
    if args.command == "check":
        try:
            return run_check(args.files, args.json)
        except BrokenPipeError:
            # The reader went away (`tarnwick check ... | head`): stop quietly,
            # and keep the interpreter from complaining at exit.
            devnull = os.open(os.devnull, os.O_WRONLY)
            os.dup2(devnull, sys.stdout.fileno())
            return EXIT_ISSUES
    ap.print_help(sys.stderr)
    return EXIT_UNREADABLE
