#!/usr/bin/env python3
"""What following playback costs the main loop, at 2,000 records.

progress_bench (Google Benchmark):
- tick: what the main loop does every five seconds while an episode plays:
  the page's answer read and the record handed to the saver; goal under 1 ms;
- read: the store read for the resume position when an episode starts; goal
  under 1 ms;
- save: the locked read, change and flushed replace of the store, which runs
  on the saver's thread, never the main loop (reported, no goal).
"""
import argparse
import json
import os
import subprocess
import sys

GOAL_MS = 1.0


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default="build", help="build folder (holds bench/)")
    args = parser.parse_args()
    out = subprocess.run([os.path.abspath(os.path.join(args.build, "bench", "progress_bench")),
                          "--benchmark_format=json"],
                         check=True, capture_output=True, text=True, cwd=args.build).stdout
    results = {b["name"].split("/")[0]: b for b in json.loads(out)["benchmarks"]}
    # Goals are reported, not enforced: a busy shared machine should not fail a build.
    for name, label, goal in (("BM_ProgressTick", "tick on the main loop", GOAL_MS),
                              ("BM_ProgressRead", "read when an episode starts", GOAL_MS),
                              ("BM_ProgressSave", "save on the saver's thread", None)):
        ms = results[name]["real_time"]
        verdict = "" if goal is None else " (goal < %.1f ms) %s" % (goal, "ok" if ms < goal else "MISSED")
        print("progress %s at %d records: %.3f ms%s" % (label, results[name]["records"], ms, verdict))
    return 0


if __name__ == "__main__":
    sys.exit(main())
