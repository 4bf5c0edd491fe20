"""The step checker: `tarnwick check FILE...`."""

import json
import os
import pathlib
import subprocess
import sys

import pytest

from tarnwick import cli

EXAMPLES = sorted((pathlib.Path(__file__).parents[2] / "examples" / "steps").glob("*.txt"))

FAULTY = """\
# A login flow with mistakes.
navigate http://127.0.0.1:8000/

  type standard_user into "Username"
tap Login
   # indented comment
verify Login button
type into Name
"""


@pytest.fixture
def faulty(tmp_path):
    path = tmp_path / "faulty.txt"
    path.write_text(FAULTY, encoding="utf-8")
    return path


def run(capsys, *args):
    code = cli.main(["check", *map(str, args)])
    out, err = capsys.readouterr()
    return code, out.splitlines(), err


def test_examples_are_clean(capsys):
    assert len(EXAMPLES) >= 2
    code, out, err = run(capsys, *EXAMPLES)
    assert (code, err) == (0, "")
    assert out[-1].endswith(f"in {len(EXAMPLES)} files: no issues")


def test_reports_every_issue_by_file_and_line(capsys, faulty):
    code, out, err = run(capsys, faulty)
    assert code == 1 and err == ""
    located = [line.split(": ", 1) for line in out[:-1]]
    assert [loc for loc, _ in located] == [f"{faulty}:5", f"{faulty}:5", f"{faulty}:7", f"{faulty}:7",
                                           f"{faulty}:8", f"{faulty}:8"]
    messages = [m for _, m in located]
    assert messages[0].startswith("Unknown action 'tap'.")
    assert messages[1].startswith("Unrecognised instruction: 'tap Login'.")
    assert messages[2].startswith("`verify` instruction missing state.")
    assert messages[3].startswith("Unrecognised instruction: 'verify Login button'.")
    assert messages[4].startswith("`type` instruction missing text to type.")
    assert messages[5].startswith("Unrecognised instruction: 'type into Name'.")
    assert out[-1] == "5 steps in 1 file: 6 issues in 3 steps"


def test_parse_rejection_alone_is_reported(capsys, tmp_path):
    path = tmp_path / "steps.txt"
    path.write_text("click a\nback\n", encoding="utf-8")  # "back" passes validation only
    code, out, _ = run(capsys, path)
    assert code == 1
    assert out[0].startswith(f"{path}:2: Unrecognised instruction: 'back'.")


def test_json_prints_each_step(capsys, faulty):
    code, out, err = run(capsys, "--json", faulty)
    assert code == 1 and err == ""
    records = [json.loads(line) for line in out]
    assert [r["line"] for r in records] == [2, 4, 5, 7, 8]
    assert records[1] == {
        "file": str(faulty), "line": 4, "step": '  type standard_user into "Username"',
        "parsed": {"action": "type", "target": "Username", "value": "standard_user",
                   "_literal_target": True},
        "issues": [],
    }
    assert "parsed" not in records[2]
    assert records[2]["error"].startswith("Unrecognised instruction: 'tap Login'.")
    assert records[2]["issues"][0].startswith("Unknown action 'tap'.")


def test_json_of_a_clean_file_exits_zero(capsys, tmp_path):
    path = tmp_path / "ok.txt"
    path.write_text("\ufeffclick second Buy button\r\nwait 5\r\n", encoding="utf-8")
    code, out, _ = run(capsys, "--json", path)
    assert code == 0
    first = json.loads(out[0])
    assert first["parsed"] == {"action": "click", "target": "Buy button", "value": None,
                               "ordinal": 2, "_literal_target": False}
    assert json.loads(out[1])["line"] == 2


@pytest.mark.parametrize("make, reason", [
    (lambda d: d / "missing.txt", "No such file or directory"),
    (lambda d: d, "Is a directory"),
    (lambda d: (d / "latin1.txt").write_bytes(b"click Caf\xe9\n") and d / "latin1.txt", "not UTF-8"),
])
def test_unreadable_file_is_a_clear_error(capsys, tmp_path, faulty, make, reason):
    bad = make(tmp_path)
    code, out, err = run(capsys, bad, faulty)
    assert code == 2
    assert err.startswith(f"tarnwick: cannot read {bad}: ") and reason in err
    assert "Traceback" not in err
    # the readable file is still checked
    assert any(line.startswith(f"{faulty}:5:") for line in out)


def test_command_line_errors_exit_2(capsys):
    with pytest.raises(SystemExit) as exc:
        cli.main(["check"])
    assert exc.value.code == 2
    assert cli.main([]) == 2
    assert "check" in capsys.readouterr().err


def test_python_dash_m(faulty):
    env = dict(os.environ, PYTHONPATH=os.pathsep.join(sys.path))
    done = subprocess.run([sys.executable, "-m", "tarnwick", "check", str(faulty)],
                          capture_output=True, text=True, env=env)
    assert done.returncode == 1
    assert f"{faulty}:5: Unknown action 'tap'." in done.stdout
    done = subprocess.run([sys.executable, "-m", "tarnwick", "check", str(faulty) + ".none"],
                          capture_output=True, text=True, env=env)
    assert done.returncode == 2 and "Traceback" not in done.stderr
