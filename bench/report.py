"""What tarnwick's reporter costs a pytest run, and how fast the report renders.

Run by hand:  PYTHONPATH=build/<dir>/pkg .venv/bin/python bench/report.py

Side by side in one run:
  1. A generated suite of 2,000 trivial tests, run by pytest in a fresh
     process three ways, interleaved and repeated (best time kept):
       bare      no reporting plug-in (-p no:tarnwick -p no:html)
       tarnwick  tarnwick's plug-in writing its HTML report
       html      pytest-html writing its report (-p no:tarnwick)
     Targets: tarnwick/bare <= 1.10, and tarnwick below html. Wall time
     and the children's CPU time are both printed: on a busy machine the
     CPU time is the steadier of the two.
  2. TarnwickReporter._render() alone for 10,000 results with 10 steps each,
     against json.dumps of the same results and steps. Target: <= 1.0.
"""

import json
import os
import subprocess
import sys
import tempfile
import time
import types

TESTS, FILES = 2_000, 20
RUNS = 7
RENDER_RESULTS, STEPS_PER_RESULT = 10_000, 10
RENDER_REPEATS = 10


def write_suite(root):
    per_file = TESTS // FILES
    for f in range(FILES):
        body = "".join(f"def test_case_{i}():\n    assert {i} == {i}\n\n" for i in range(per_file))
        with open(os.path.join(root, f"test_generated_{f:02d}.py"), "w") as out:
            out.write(body)


def pytest_seconds(root, args):
    """(wall seconds, CPU seconds of the child) of one pytest run."""
    cmd = [sys.executable, "-m", "pytest", "-q", "-p", "no:cacheprovider", *args]
    # The suite runs elsewhere: keep a relative PYTHONPATH pointing here.
    env = dict(os.environ)
    if env.get("PYTHONPATH"):
        env["PYTHONPATH"] = os.pathsep.join(os.path.abspath(p) for p in env["PYTHONPATH"].split(os.pathsep))
    before = os.times()
    start = time.perf_counter()
    proc = subprocess.run(cmd, cwd=root, env=env, capture_output=True, text=True)
    elapsed = time.perf_counter() - start
    after = os.times()
    if proc.returncode != 0:
        sys.exit(f"pytest {' '.join(args)} failed:\n{proc.stdout[-2000:]}\n{proc.stderr[-2000:]}")
    cpu = (after.children_user - before.children_user) + (after.children_system - before.children_system)
    return elapsed, cpu


def bench_runs():
    with tempfile.TemporaryDirectory() as root:
        write_suite(root)
        modes = {
            "bare": ["-p", "no:tarnwick", "-p", "no:html"],
            "tarnwick": ["-p", "no:html", "--tarnwick-report", os.path.join(root, "out", "tarnwick.html")],
            "html": ["-p", "no:tarnwick", "--html", os.path.join(root, "out", "pytest-html.html")],
        }
        wall = {name: float("inf") for name in modes}
        cpu = dict(wall)
        pytest_seconds(root, modes["bare"])  # warm the file cache and bytecode
        for _ in range(RUNS):
            for name, args in modes.items():
                w, c = pytest_seconds(root, args)
                wall[name], cpu[name] = min(wall[name], w), min(cpu[name], c)
        assert os.path.getsize(os.path.join(root, "out", "tarnwick.html")) > 0
    return wall, cpu


def generated_run():
    results, steps = [], {}
    for i in range(RENDER_RESULTS):
        file = f"tests/test_module_{i // 50:03d}.py"
        nodeid = f"{file}::TestFlow::test_case_{i}[chrome]"
        status = ("passed", "failed", "skipped")[i % 7 % 3]
        results.append({"nodeid": nodeid, "file": file, "test": nodeid.split("::", 1)[1],
                        "status": status, "duration": 0.137 * (i % 13), "message": "",
                        "when": "call"})
        steps[nodeid] = [
            {"instruction": f'type user_{j} into "Username" & press <Enter> on step {j}',
             "status": "passed" if j < 9 or status != "failed" else "failed",
             "message": "" if j < 9 else f"element 'Submit' not found after {j} tries"}
            for j in range(STEPS_PER_RESULT)
        ]
    return results, steps


def best_times(fns, repeats=RENDER_REPEATS):
    """Best time of each function, run in turn so that both see the same load."""
    best = [float("inf")] * len(fns)
    for _ in range(repeats):
        for i, fn in enumerate(fns):
            start = time.perf_counter()
            fn()
            best[i] = min(best[i], time.perf_counter() - start)
    return best


def bench_render():
    from tarnwick.harness.reporter import TarnwickReporter

    results, steps = generated_run()
    reporter = TarnwickReporter("report.html", types.SimpleNamespace(_tarnwick_steps=steps))
    reporter.results = results
    size = len(reporter._render())
    render, dumps = best_times([reporter._render, lambda: json.dumps({"results": results, "steps": steps})])
    return render, dumps, size


def main():
    wall, cpu = bench_runs()
    print(f"pytest, {TESTS} trivial tests, best of {RUNS} runs each (fresh process):")
    print("             wall s    CPU s")
    for name in wall:
        print(f"  {name:9s} {wall[name]:7.3f}  {cpu[name]:7.3f}")
    for label, t in (("wall", wall), ("CPU", cpu)):
        print(f"  {label:4s} tarnwick / bare = {t['tarnwick'] / t['bare']:.3f} (target <= 1.10)"
              f"   tarnwick / html = {t['tarnwick'] / t['html']:.3f} (target < 1.00)")

    render, dumps, size = bench_render()
    print(f"_render, {RENDER_RESULTS} results x {STEPS_PER_RESULT} steps ({size / 1e6:.1f} MB of HTML):")
    print(f"  _render    {render * 1e3:8.1f} ms")
    print(f"  json.dumps {dumps * 1e3:8.1f} ms")
    print(f"  _render / json.dumps = {render / dumps:.3f}   (target <= 1.00)")


if __name__ == "__main__":
    main()
