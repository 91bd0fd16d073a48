#!/usr/bin/env python3
"""Mutation pass: each hand-made fault of faults.json is put into the source in turn, the test
binary that should catch it is rebuilt and its tests run; the fault is caught when they fail, and
the tests that failed are the ones that caught it. Every file is restored afterwards. On demand,
not in CI (it rebuilds once per fault).

    scripts/mutation/run.py [--build DIR] [--only TEXT] [--matrix FILE.tsv] [faults.json]

A fault: {"name", "file", "old", "new", "target", "filter"}: `old` (exact text, first match) in
`file` becomes `new`; `target` is the test binary under DIR/tests, `filter` its gtest filter.
--matrix writes the kill matrix: one line per fault with its verdict and the tests that caught it.
Exit status 1 when a fault survived, was not found or did not build."""
import argparse
import json
import os
import pathlib
import re
import subprocess
import sys

root = pathlib.Path(__file__).resolve().parents[2]
parser = argparse.ArgumentParser()
parser.add_argument("faults", nargs="?", default=str(root / "scripts/mutation/faults.json"))
parser.add_argument("--build", default=str(root / "build"))
parser.add_argument("--only", default="", help="only the faults whose name holds this text")
parser.add_argument("--matrix", help="write the kill matrix here, tab-separated")
args = parser.parse_args()
build = pathlib.Path(args.build)
env = dict(os.environ, QT_QPA_PLATFORM="offscreen")

# gtest's "[  FAILED  ] Suite.Name (3 ms)"; a crash names the test that was running.
FAILED = re.compile(r"^\[  FAILED  \] ([\w/]+\.[\w/]+)", re.M)
RUNNING = re.compile(r"^\[ RUN      \] ([\w/]+\.[\w/]+)", re.M)


def make(target):
    """The first error of a failed build, or None when it built."""
    made = subprocess.run(["cmake", "--build", str(build), "--target", target],
                          capture_output=True, text=True, errors="replace")
    if made.returncode == 0:
        return None
    errors = [line for line in made.stdout.splitlines() if "error:" in line]
    return (errors or ["build failed"])[0].strip()


def failing_tests(target, gtest_filter):
    """The tests that failed; empty when all passed."""
    try:
        ran = subprocess.run([str(build / "tests" / target), "--gtest_filter=" + gtest_filter],
                             capture_output=True, text=True, errors="replace", env=env,
                             timeout=600)
    except subprocess.TimeoutExpired:
        return ["(timed out)"]
    if ran.returncode == 0:
        return []
    failed = list(dict.fromkeys(FAILED.findall(ran.stdout)))
    if ran.returncode < 0:
        running = RUNNING.findall(ran.stdout)
        failed.append(f"{running[-1] if running else target} (signal {-ran.returncode})")
    return failed or [f"(exit status {ran.returncode})"]


faults = [f for f in json.load(open(args.faults, encoding="utf-8")) if args.only in f["name"]]
names = [f["name"] for f in faults]
for name in sorted({n for n in names if names.count(n) > 1}):
    print(f"warning: two faults are named {name!r}", file=sys.stderr)

# A test that fails without any fault would catch every fault.
for target in sorted({f["target"] for f in faults}):
    broken = make(target) or ", ".join(failing_tests(target, "*"))
    if broken:
        sys.exit(f"{target} fails without any fault: {broken}")

results = []  # (fault, verdict, what caught it or why it was not run)
touched = set()
for number, fault in enumerate(faults, 1):
    path = root / fault["file"]
    # Bytes, so that the file comes back exactly as it was.
    original = path.read_bytes() if path.is_file() else b""
    old, new = fault["old"].encode(), fault["new"].encode()
    if old not in original:
        verdict, detail = "NOT FOUND", ["its old text is not in the file"]
    else:
        touched.add(fault["target"])
        path.write_bytes(original.replace(old, new, 1))
        try:
            error = make(fault["target"])
            if error:
                verdict, detail = "NO BUILD", [error]
            else:
                detail = failing_tests(fault["target"], fault["filter"])
                verdict = "caught" if detail else "SURVIVED"
        finally:
            path.write_bytes(original)
    results.append((fault, verdict, detail))
    print(f"[{number:3}/{len(faults)}] {verdict:9} {fault['name']}  {', '.join(detail)}",
          flush=True)

# The binaries are rebuilt from the restored sources, so no fault is left in them.
for target in sorted(touched):
    make(target)

if args.matrix:
    with open(args.matrix, "w", encoding="utf-8") as out:
        out.write("fault\tfile\ttarget\tverdict\tcaught by\n")
        for fault, verdict, detail in results:
            out.write("\t".join([fault["name"], fault["file"], fault["target"], verdict,
                                 ", ".join(detail)]) + "\n")

caught = sum(1 for _, verdict, _ in results if verdict == "caught")
print(f"\nCaught {caught} of {len(results)} faults.")
for heading in ("SURVIVED", "NOT FOUND", "NO BUILD"):
    listed = [(fault, detail) for fault, verdict, detail in results if verdict == heading]
    if listed:
        print(f"{heading} ({len(listed)}):")
    for fault, detail in listed:
        why = f": {detail[0]}" if heading == "NO BUILD" else ""
        print(f"  {fault['name']}  ({fault['file']}{why})")
sys.exit(0 if caught == len(results) else 1)
