#!/usr/bin/env python3
"""Speed and memory of tavelo-catalogue unzip and fetch, each measured in the
same run as the usual tool for the job (Info-ZIP unzip -p, curl -s -o).
Prints one ratio per benchmark (ours / theirs, wall time, best of N) and the
peak resident memory of our command."""

import argparse
import functools
import http.server
import os
import random
import shutil
import sys
import tempfile
import threading
import time
import zipfile

MIB = 1024 * 1024


def run(argv, stdout_path=None):
    """Wall seconds and peak resident KiB of one command. GNU time measures
    the memory: a child spawned from Python would report Python's own peak."""
    out = open(stdout_path, "wb") if stdout_path else open(os.devnull, "wb")
    with tempfile.NamedTemporaryFile("r") as rss:
        timed = ["/usr/bin/time", "-f", "%M", "-o", rss.name] + argv
        start = time.perf_counter()
        pid = os.posix_spawn(timed[0], timed, os.environ,
                             file_actions=[(os.POSIX_SPAWN_DUP2, out.fileno(), 1)])
        _, status, _ = os.wait4(pid, 0)
        elapsed = time.perf_counter() - start
        out.close()
        if os.waitstatus_to_exitcode(status) != 0:
            sys.exit(f"failed: {' '.join(argv)}")
        return elapsed, int(rss.read().split()[-1])


def best(times, argv_ours, argv_theirs, theirs_stdout=None):
    ours, theirs, peak = [], [], 0
    for _ in range(times):
        t, rss = run(argv_ours)
        ours.append(t)
        peak = max(peak, rss)
        t, _ = run(argv_theirs, theirs_stdout)
        theirs.append(t)
    return min(ours), min(theirs), peak


def make_member(path, size):
    # Text-like data that deflates about as well as catalogue packages do.
    rng = random.Random(7)
    words = [bytes(rng.choice(b"abcdefghijklmnopqrstuvwxyz") for _ in range(rng.randint(2, 9)))
             for _ in range(5000)]
    block = b"\t".join(rng.choice(words) for _ in range(200000)) + b"\r\n"
    with open(path, "wb") as f:
        written = 0
        while written < size:
            piece = block[: size - written]
            f.write(piece)
            written += len(piece)


def bench_unzip(app, work, size_mib, times):
    member = os.path.join(work, "member.dat")
    make_member(member, size_mib * MIB)
    archive = os.path.join(work, "big.zip")
    with zipfile.ZipFile(archive, "w", zipfile.ZIP_DEFLATED) as z:
        z.write(member, "member.dat")
    os.remove(member)
    ours, theirs, peak = best(times, [os.path.join(app, "tavelo-catalogue"), "unzip", archive],
                              [shutil.which("unzip"), "-p", archive],
                              os.path.join(work, "unzip-p.out"))
    print(f"unzip {size_mib} MiB: ours {ours:.2f} s, unzip -p {theirs:.2f} s, "
          f"ratio {ours / theirs:.2f} (goal <= 1.0), peak RSS {peak / 1024:.1f} MiB (goal < 32)")


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def bench_fetch(app, work, size_mib, times):
    served = os.path.join(work, "served")
    os.mkdir(served)
    with open(os.path.join(served, "body.bin"), "wb") as f:
        chunk = os.urandom(MIB)
        for _ in range(size_mib):
            f.write(chunk)
    handler = functools.partial(QuietHandler, directory=served)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    url = f"http://127.0.0.1:{server.server_address[1]}/body.bin"
    out = os.path.join(work, "fetched.bin")
    try:
        ours, theirs, peak = best(times, [os.path.join(app, "tavelo-catalogue"), "fetch", url, out],
                                  [shutil.which("curl"), "-s", "-o", out, url])
    finally:
        server.shutdown()
    print(f"fetch {size_mib} MiB: ours {ours:.2f} s, curl -s -o {theirs:.2f} s, "
          f"ratio {ours / theirs:.2f} (goal <= 1.05), peak RSS {peak / 1024:.1f} MiB (goal < 32)")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--app", required=True, help="folder holding tavelo-catalogue")
    parser.add_argument("--unzip-mib", type=int, default=200)
    parser.add_argument("--fetch-mib", type=int, default=500)
    parser.add_argument("--times", type=int, default=3)
    args = parser.parse_args()
    app = os.path.abspath(args.app)
    with tempfile.TemporaryDirectory(prefix="tavelo-bench-") as work:
        bench_unzip(app, work, args.unzip_mib, args.times)
    with tempfile.TemporaryDirectory(prefix="tavelo-bench-") as work:
        bench_fetch(app, work, args.fetch_mib, args.times)


if __name__ == "__main__":
    main()
