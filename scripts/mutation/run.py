#!/usr/bin/env python3
"""Mutation pass: each hand-made fault of faults.json is put into the source in turn, the test
binary that should catch it is rebuilt and its tests run; the fault is caught when they fail.
Every file is restored afterwards. On demand, not in CI (it rebuilds once per fault).

    scripts/mutation/run.py [--build DIR] [--only TEXT] [faults.json]

A fault: {"name", "file", "old", "new", "target", "filter"}: `old` (exact text, first match) in
`file` becomes `new`; `target` is the test binary under DIR/tests, `filter` its gtest filter.
Exit status 1 when a fault survived, was not found or did not build."""
import argparse
import json
import os
import pathlib
import subprocess
import sys

root = pathlib.Path(__file__).resolve().parents[2]
parser = argparse.ArgumentParser()
parser.add_argument("faults", nargs="?", default=str(root / "scripts/mutation/faults.json"))
parser.add_argument("--build", default=str(root / "build"))
parser.add_argument("--only", default="", help="only the faults whose name holds this text")
args = parser.parse_args()
build = pathlib.Path(args.build)

env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
results = []
touched = set()
for fault in json.load(open(args.faults)):
    if args.only not in fault["name"]:
        continue
    path = root / fault["file"]
    original = path.read_text()
    if fault["old"] not in original:
        results.append(("NOT FOUND", fault["name"]))
        continue
    touched.add(fault["target"])
    path.write_text(original.replace(fault["old"], fault["new"], 1))
    try:
        made = subprocess.run(["cmake", "--build", str(build), "--target", fault["target"]],
                              capture_output=True, text=True)
        if made.returncode != 0:
            results.append(("NO BUILD", fault["name"]))
            continue
        ran = subprocess.run([str(build / "tests" / fault["target"]),
                              "--gtest_filter=" + fault["filter"]],
                             capture_output=True, text=True, env=env, timeout=600)
        results.append(("caught" if ran.returncode != 0 else "SURVIVED", fault["name"]))
    finally:
        path.write_text(original)

# The binaries are rebuilt from the restored sources, so no fault is left in them.
for target in sorted(touched):
    subprocess.run(["cmake", "--build", str(build), "--target", target], capture_output=True)
for outcome, name in results:
    print(f"{outcome:10} {name}")
caught = sum(1 for outcome, _ in results if outcome == "caught")
print(f"{caught} of {len(results)} faults caught")
sys.exit(0 if caught == len(results) else 1)
