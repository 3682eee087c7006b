#!/usr/bin/env python3
"""Painting and web window start-up, each against its goal.

rows: paint_bench (Google Benchmark) paints catalogue rows into an image
  surface; goal at least 5,000 rows per second.
web window: time from starting `tavelo-webwindow URL` to the page's load
  event on a loopback page, in the same run as WebKitGTK's own MiniBrowser on
  the same page; goal a ratio of at most 1.2. The page reports its load event
  by requesting /loaded, so neither browser needs to be instrumented.

portal start-up: time from starting `TaveloMain run` (a copy in a folder of
  its own whose data/main.htm names the loopback page as the recommended page)
  to that page's request reaching the server, in the same run as MiniBrowser
  requesting the same page; goal a ratio of at most 1.1. 300 ms of the
  portal's time are its two start timers (100 ms, then 200 ms after the
  recommended page's button is pressed); the web engine's processes start
  under them, so the navigation at their end costs only the request. The
  figure without the timers is printed beside it. The resident memory
  of both, once the page has loaded, is reported side by side (the program's
  own process, and with the web engine's helper processes).

Needs a display: `make bench` runs it under xvfb-run.
"""
import argparse
import http.server
import json
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time

MINIBROWSER = "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser"
RUNS = 5
TIMEOUT = 30.0
ROWS_GOAL = 10000
RATIO_GOAL = 1.2
STARTUP_RATIO_GOAL = 1.1
START_TIMERS = 0.3

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
        self.requested = threading.Event()


class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        if self.path.startswith("/loaded"):
            self.server.loaded.set()
            body = b"ok"
        else:
            if self.path.startswith("/page.htm"):
                self.server.requested.set()
            body = PAGE
        self.send_response(200)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


def stop(process):
    """Ends a browser started in a session of its own, helper processes included."""
    os.killpg(process.pid, signal.SIGTERM)
    try:
        process.wait(5)
    except subprocess.TimeoutExpired:
        os.killpg(process.pid, signal.SIGKILL)
        process.wait()


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
        stop(process)


def resident_kib(pid):
    """Resident memory of one process, in KiB."""
    try:
        with open("/proc/%d/status" % pid) as status:
            for line in status:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


def session_resident_kib(session):
    """Resident memory of every process in a session (the program and the web engine's helpers)."""
    total = 0
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                if os.getsid(int(entry)) == session:
                    total += resident_kib(int(entry))
            except OSError:
                pass
    return total


def startup(command, server, env):
    """Seconds to the page's request, and (own, total) KiB resident once it has loaded."""
    server.requested.clear()
    server.loaded.clear()
    start = time.perf_counter()
    process = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                               start_new_session=True)
    try:
        if not server.requested.wait(TIMEOUT):
            sys.exit("no page request from %s within %.0f s" % (command[0], TIMEOUT))
        elapsed = time.perf_counter() - start
        if not server.loaded.wait(TIMEOUT):
            sys.exit("no load event from %s within %.0f s" % (command[0], TIMEOUT))
        time.sleep(0.5)
        return elapsed, resident_kib(process.pid), session_resident_kib(process.pid)
    finally:
        stop(process)


def portal_benchmark(app):
    server = Server()
    threading.Thread(target=server.serve_forever, daemon=True).start()
    url = "http://127.0.0.1:%d/page.htm" % server.server_address[1]
    folder = tempfile.mkdtemp(prefix="tavelo-startup-")
    try:
        # A copy of the program in a folder of its own, so that its data/ is
        # this run's; HOME there too, so first run writes nothing of the user's.
        shutil.copy2(os.path.join(app, "TaveloMain"), folder)
        os.makedirs(os.path.join(folder, "data"))
        with open(os.path.join(folder, "data", "main.htm"), "w") as template:
            template.write("[MAIN_URL2]\n%s\n" % url)
        env = dict(os.environ, WEBKIT_DISABLE_COMPOSITING_MODE="1", HOME=folder,
                   XDG_CONFIG_HOME=os.path.join(folder, "config"),
                   XDG_DATA_HOME=os.path.join(folder, "share"))
        ours_command = [os.path.join(folder, "TaveloMain"), "run"]
        theirs_command = [MINIBROWSER, url]
        startup(ours_command, server, env)
        startup(theirs_command, server, env)
        ours, theirs = [], []
        for _ in range(RUNS):
            ours.append(startup(ours_command, server, env))
            theirs.append(startup(theirs_command, server, env))
    finally:
        server.shutdown()
        shutil.rmtree(folder, ignore_errors=True)
    a = statistics.median(run[0] for run in ours)
    b = statistics.median(run[0] for run in theirs)
    ratio = a / b
    print("portal start to page request: TaveloMain %.0f ms, MiniBrowser %.0f ms (medians of %d), "
          "ratio %.2f (goal <= %.1f) %s" % (a * 1000, b * 1000, RUNS, ratio, STARTUP_RATIO_GOAL,
                                            "ok" if ratio <= STARTUP_RATIO_GOAL else "MISSED"))
    print("  of which the start timers %.0f ms; the rest %.0f ms, ratio %.2f to MiniBrowser" % (
        START_TIMERS * 1000, (a - START_TIMERS) * 1000, (a - START_TIMERS) / b))
    print("memory once loaded: TaveloMain %.0f MiB (%.0f MiB with web engine processes), "
          "MiniBrowser %.0f MiB (%.0f MiB)" % (
              statistics.median(run[1] for run in ours) / 1024, statistics.median(run[2] for run in ours) / 1024,
              statistics.median(run[1] for run in theirs) / 1024, statistics.median(run[2] for run in theirs) / 1024))
    return ratio <= STARTUP_RATIO_GOAL


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
    # Google Benchmark's own repetitions: RUNS runs of the whole measurement, and their median.
    out = subprocess.run([os.path.join(build, "bench", "paint_bench"), "--benchmark_format=json",
                          "--benchmark_repetitions=%d" % RUNS, "--benchmark_report_aggregates_only=true"],
                         check=True, capture_output=True, text=True).stdout
    medians = [b for b in json.loads(out)["benchmarks"] if b.get("aggregate_name") == "median"]
    rate = medians[0]["rows_per_second"]
    print("catalogue rows painted: %.0f rows/s (median of %d, goal >= %d) %s"
          % (rate, RUNS, ROWS_GOAL, "ok" if rate >= ROWS_GOAL else "MISSED"))
    return rate >= ROWS_GOAL


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default="build", help="build folder (holds app/ and bench/)")
    args = parser.parse_args()
    # Goals are reported, not enforced: a busy shared machine should not fail a build.
    paint_benchmark(args.build)
    web_window_benchmark(os.path.join(args.build, "app"))
    portal_benchmark(os.path.join(args.build, "app"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
