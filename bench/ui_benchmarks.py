#!/usr/bin/env python3
"""Painting and web window start-up, each against its goal.

rows: paint_bench (Google Benchmark) paints catalogue rows into an image
  surface; goal at least 5,000 rows per second.
web window: time from starting `tavelo-webwindow URL` to the page's load
  event on a loopback page, in the same run as WebKitGTK's own MiniBrowser on
  the same page; goal a ratio of at most 1.2. The page reports its load event
  by requesting /loaded, so neither browser needs to be instrumented.

Needs a display: `make bench` runs it under xvfb-run.
"""
import argparse
import http.server
import json
import os
import signal
import statistics
import subprocess
import sys
import threading
import time

MINIBROWSER = "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser"
RUNS = 5
TIMEOUT = 30.0
ROWS_GOAL = 5000
RATIO_GOAL = 1.2

PAGE = ("<html><head><title>bench</title></head><body>"
        "<h1>\xd6\xd0\xce\xc4\xd2\xb3\xc3\xe6</h1>"  # GBK, like the portal's pages
        + "<p>" + "video list entry " * 40 + "</p>"
        + "<script>window.addEventListener('load', function () {"
          " var r = new XMLHttpRequest(); r.open('GET', '/loaded'); r.send(); });</script>"
        "</body></html>").encode("latin-1")


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True

    def __init__(self):
        super().__init__(("127.0.0.1", 0), Handler)
        self.loaded = threading.Event()


class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        if self.path.startswith("/loaded"):
            self.server.loaded.set()
            body = b"ok"
        else:
            body = PAGE
        self.send_response(200)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


def time_to_load(command, server):
    """Seconds from spawning `command` to the page's load event."""
    server.loaded.clear()
    env = dict(os.environ, WEBKIT_DISABLE_COMPOSITING_MODE="1")
    start = time.perf_counter()
    process = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                               start_new_session=True)
    try:
        if not server.loaded.wait(TIMEOUT):
            sys.exit("no load event from %s within %.0f s" % (command[0], TIMEOUT))
        return time.perf_counter() - start
    finally:
        os.killpg(process.pid, signal.SIGTERM)
        try:
            process.wait(5)
        except subprocess.TimeoutExpired:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()


def web_window_benchmark(app):
    if "DISPLAY" not in os.environ:
        sys.exit("no display: run under xvfb-run")
    if not os.access(MINIBROWSER, os.X_OK):
        sys.exit("MiniBrowser not found at %s (package libwebkit2gtk-4.1-0)" % MINIBROWSER)
    server = Server()
    threading.Thread(target=server.serve_forever, daemon=True).start()
    url = "http://127.0.0.1:%d/page.htm" % server.server_address[1]
    ours, theirs = [], []
    # Interleaved, so both see the same machine load; the first pair warms caches.
    time_to_load([os.path.join(app, "tavelo-webwindow"), url], server)
    time_to_load([MINIBROWSER, url], server)
    for _ in range(RUNS):
        ours.append(time_to_load([os.path.join(app, "tavelo-webwindow"), url], server))
        theirs.append(time_to_load([MINIBROWSER, url], server))
    server.shutdown()
    a, b = statistics.median(ours), statistics.median(theirs)
    ratio = a / b
    print("web window start to loaded: tavelo-webwindow %.0f ms, MiniBrowser %.0f ms (medians of %d), "
          "ratio %.2f (goal <= %.1f) %s" % (a * 1000, b * 1000, RUNS, ratio, RATIO_GOAL,
                                            "ok" if ratio <= RATIO_GOAL else "MISSED"))
    return ratio <= RATIO_GOAL


def paint_benchmark(build):
    out = subprocess.run([os.path.join(build, "bench", "paint_bench"), "--benchmark_format=json"],
                         check=True, capture_output=True, text=True).stdout
    rate = json.loads(out)["benchmarks"][0]["rows_per_second"]
    print("catalogue rows painted: %.0f rows/s (goal >= %d) %s" % (rate, ROWS_GOAL,
                                                                   "ok" if rate >= ROWS_GOAL else "MISSED"))
    return rate >= ROWS_GOAL


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default="build", help="build folder (holds app/ and bench/)")
    args = parser.parse_args()
    # Goals are reported, not enforced: a busy shared machine should not fail a build.
    paint_benchmark(args.build)
    web_window_benchmark(os.path.join(args.build, "app"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
