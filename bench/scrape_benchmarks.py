#!/usr/bin/env python3
"""Episode scraping: `tavelo-catalogue scrape` of a generated 5 MB show page
holding 5,000 episodes across the four page layouts, timed in the same run as
a Python script doing the same four scans with `re` and a dict. Prints the
ratio (Python / ours, wall time, medians of RUNS runs taken in turn; goal
>= 10) with "ok" or "MISSED", and our peak resident memory against the page
size (goal < 4).

The page is GBK and labelled gb2312, as the video site's pages reach the
scraper after normalisation, so neither side converts encodings. Our command
also writes the video's cached list (and reads its last-played file), which
the Python script does not. Processor times are printed as well, since wall
times follow the machine's load. The tool's start-up (a template lookup,
which does next to nothing else) is timed in the same turns and printed apart
from the rest of the scrape: the scan, the cache and the output."""

import argparse
import os
import random
import shutil
import statistics
import sys
import tempfile
import time

SHOW_HOST = "http://127.0.0.2:8790"
PREFIX = SHOW_HOST + "/v_show/id_"
SHOW_PAGE = PREFIX + "bench.html"
EPISODES = 5000
PAGE_SIZE = 5 * 1000 * 1000
RUNS = 5
RATIO_GOAL = 10

HANZI = "的一是在不了有和人这中大为上个国我以要他时来用们生到作地于出就分对成会可主发年动同工也能下过子说产种面而方后多定行学法所民得经"

# The four layouts, each an element that carries an id and a title.
LAYOUTS = [
    '<div class="item" name="tvlist" id="item_{id}" title="{label}"><a href="#">{label}</a></div>\n',
    '<div class="program" id="item_{id}" title="{label}"><span>{label}</span></div>\n',
    '<a class="current" href="' + PREFIX + '{id}.html" title="{label}">{label}</a>\n',
    '<li class="item" id="item_{id}" title="{label}"><em>{label}</em></li>\n',
]

# The reference: the same four scans, a dict keeping the first label of each
# address in insertion order.
REFERENCE = r'''
import re, sys
page = open(sys.argv[1], "rb").read()
prefix = sys.argv[2].encode()
rows = {}
def add(address, label):
    if b"/" not in address:
        address = prefix + address + b".html"
    for mark in (b"?", b"#"):
        cut = address.find(mark)
        if cut > 0:
            address = address[:cut]
    rows.setdefault(address, label)
item_id = re.compile(rb'id="item_([^"]*)"')
title = re.compile(rb'title="([^"]*)"')
def by_item(tag):
    m = item_id.search(tag)
    return m and m.group(1)
def by_suffix(tag):
    end = tag.find(b".html")
    return tag[:end] if end >= 0 else None
scans = [(b'<div class="item" name="tvlist"', by_item), (b'div class="program', by_item),
         (b'class="current" href="' + prefix, by_suffix), (b'class="item', by_item)]
for marker, rule in scans:
    for m in re.finditer(re.escape(marker) + rb"([^>]*)>", page):
        tag = m.group(1)
        episode = rule(tag)
        if episode is None:
            continue
        label = title.search(tag)
        if label:
            add(episode, label.group(1))
out = sys.stdout.buffer
for address, label in rows.items():
    out.write(label + b"\t" + address + b"\n")
'''


def make_page(path):
    rng = random.Random(11)
    parts = ['<html><head><meta http-equiv="Content-Type" content="text/html; charset=gb2312">'
             '<title>基准剧集—优酷网</title></head><body>\n']
    filler_each = (PAGE_SIZE - 2000) // EPISODES
    for n in range(EPISODES):
        layout = LAYOUTS[n % len(LAYOUTS)]
        episode_id = "X%08d" % rng.randrange(10**8) + ("?from=list" if n % 7 == 0 else "")
        label = "第%d集 %s" % (n + 1, "".join(rng.choice(HANZI) for _ in range(rng.randint(2, 6))))
        element = layout.format(id=episode_id, label=label)
        parts.append(element)
        # Text and links between the elements, as a show page has them.
        filler = []
        size = len(element.encode("gbk"))
        while size < filler_each:
            line = '<p class="desc"><a href="/u/%d">%s</a></p>\n' % (
                rng.randrange(10**6), "".join(rng.choice(HANZI) for _ in range(rng.randint(8, 40))))
            filler.append(line)
            size += len(line.encode("gbk"))
        parts.extend(filler)
    parts.append("</body></html>\n")
    with open(path, "wb") as f:
        f.write("".join(parts).encode("gbk"))


def spawn(argv, stdout_path):
    """Spawns argv with stdout to a file; its exit status and resource usage."""
    with open(stdout_path, "wb") as out:
        start = time.perf_counter()
        pid = os.posix_spawn(argv[0], argv, os.environ,
                             file_actions=[(os.POSIX_SPAWN_DUP2, out.fileno(), 1)])
        _, status, usage = os.wait4(pid, 0)
        elapsed = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit("failed: " + " ".join(argv))
    return elapsed, usage


def timed(argv, stdout_path):
    """Wall seconds and processor seconds (user and system) of one command."""
    elapsed, usage = spawn(argv, stdout_path)
    return elapsed, usage.ru_utime + usage.ru_stime


def peak_kib(argv, stdout_path):
    """Peak resident KiB of one command, measured by GNU time: a child
    spawned from Python would report Python's own peak."""
    with tempfile.NamedTemporaryFile("r") as report:
        spawn(["/usr/bin/time", "-f", "%M", "-o", report.name] + argv, stdout_path)
        return int(report.read().split()[-1])


def scrape_benchmark(app, folder):
    program = os.path.join(folder, "app")
    os.makedirs(os.path.join(program, "data"))
    os.makedirs(os.path.join(program, "tavelo"))
    with open(os.path.join(program, "data", "main.htm"), "w") as f:
        f.write("[VIDEO_SHOW_HOST]\n%s\n" % SHOW_HOST)
    page = os.path.join(folder, "show.htm")
    make_page(page)
    size = os.path.getsize(page)
    script = os.path.join(folder, "reference.py")
    with open(script, "w") as f:
        f.write(REFERENCE)

    ours_argv = [os.path.join(app, "tavelo-catalogue"), "scrape", program, page, SHOW_PAGE]
    theirs_argv = [sys.executable, script, page, PREFIX]
    ours_out = os.path.join(folder, "ours.txt")
    theirs_out = os.path.join(folder, "theirs.txt")
    # The tool's own start-up: a template lookup does next to nothing else.
    startup_argv = [ours_argv[0], "template", os.path.join(program, "data", "main.htm"),
                    "[VIDEO_SHOW_HOST]"]
    ours, theirs, ours_cpu, theirs_cpu, startup, startup_cpu = [], [], [], [], [], []
    # One unmeasured turn first, so both start with the page in the file cache.
    timed(ours_argv, ours_out)
    timed(theirs_argv, theirs_out)
    for _ in range(RUNS):
        wall, cpu = timed(startup_argv, ours_out)
        startup.append(wall)
        startup_cpu.append(cpu)
        wall, cpu = timed(ours_argv, ours_out)
        ours.append(wall)
        ours_cpu.append(cpu)
        wall, cpu = timed(theirs_argv, theirs_out)
        theirs.append(wall)
        theirs_cpu.append(cpu)
    peak = peak_kib(ours_argv, ours_out)

    with open(ours_out, "rb") as f:
        our_rows = f.read().splitlines()
    with open(theirs_out, "rb") as f:
        their_rows = f.read().splitlines()
    # Ours ends with the show page itself under its title; the rest must agree.
    if our_rows[:-1] != their_rows:
        sys.exit("the two scrapes disagree: %d rows against %d" % (len(our_rows) - 1, len(their_rows)))

    median = statistics.median
    wall_ours, wall_theirs = median(ours), median(theirs)
    cpu_ours, cpu_theirs = median(ours_cpu), median(theirs_cpu)
    wall_start, cpu_start = median(startup), median(startup_cpu)
    ratio = wall_theirs / wall_ours
    print("episode scrape: %.1f MB page, %d episodes, %d rows (medians of %d)"
          % (size / 1e6, EPISODES, len(our_rows), RUNS))
    print("  tavelo-catalogue scrape %.4f s (processor %.4f s)  peak %.1f MB"
          % (wall_ours, cpu_ours, peak * 1024 / 1e6))
    print("    start-up              %.4f s (processor %.4f s)" % (wall_start, cpu_start))
    print("    scan, cache, output   %.4f s (processor %.4f s)"
          % (max(wall_ours - wall_start, 0), max(cpu_ours - cpu_start, 0)))
    print("  python re + dict        %.4f s (processor %.4f s)" % (wall_theirs, cpu_theirs))
    print("  ratio python/scrape     %.1f   (goal >= %d; processor time %.1f) %s"
          % (ratio, RATIO_GOAL, cpu_theirs / cpu_ours, "ok" if ratio >= RATIO_GOAL else "MISSED"))
    print("  memory scrape/page      %.2f   (goal < 4)" % (peak * 1024 / size))


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--app", default="build/app", help="folder holding tavelo-catalogue")
    args = parser.parse_args()
    folder = tempfile.mkdtemp(prefix="tavelo-bench-")
    try:
        scrape_benchmark(args.app, folder)
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
