#!/usr/bin/env python3
"""Times Tavelo's tools against reference tools in the same run and prints ratios.

catalogue load: `tavelo-catalogue check` on 200,000 scrambled records against
  awk (splitting every field, building the same search key) and Python's csv
  reader holding all rows; also peak memory against the file size.
digest: `tavelo-catalogue digest` of a 256 MiB file against md5sum; goal a
  ratio of at most 1.1.
list add: `tavelo-catalogue lists DIR add` of one video to a history of
  100,000 records against the cost of rewriting that file safely (cp of the
  file, then sync of the copy); goal a ratio of at most 2; also peak memory
  against the file size.

The digest and list-add rows run ours and the reference in turn, MEDIAN_RUNS
times each, so both see the same machine load, and compare the medians.
"""
import argparse
import os
import random
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

KEY = b"kqzmtvpwrbxn815902467"
RECORDS = 200_000
DIGEST_SIZE = 256 << 20
RUNS = 3
MEDIAN_RUNS = 5
DIGEST_GOAL = 1.1
LIST_ADD_GOAL = 2.0
LIST_RECORDS = 100_000

# Common characters of GB 2312, for titles, areas and names.
HANZI = ("的一是在不了有和人这中大为上个国我以要他时来用们生到作地于出就分对成会可主发年动同工也能下过子说产种面而方后多定行学法所民得经"
         "十三之进着等部度家电力里如水化高自二理起小物现实加量都两体制机当使点从业本去把性好应开它合还因由其些然前外天政四日那社义事平形相全表间样与关各重新线内数正心反你明看原又么利比或但质气第向道命此变条只没结解问意建月公无系军很情者最立代想已通并提直题党程展五果料象员革位入常文总次品式活设及管特件长求老头基资边流路级少图山统接知较将组见计别她手角期根论运农指几九区强放决西被干做必战先回则任取据处理"
         "爱影视剧春秋风云江湖城市故事少年英雄传奇")
AREAS = ["大陆", "香港", "台湾", "美国", "日本", "韩国", "英国", "法国"]
TYPES = ["剧情", "爱情", "喜剧", "动作", "科幻", "悬疑", "纪录", "动画", "家庭", "古装"]


def words(rng, low, high):
    return "".join(rng.choice(HANZI) for _ in range(rng.randint(low, high)))


def make_catalogue(folder):
    """Writes the plain text (for the reference tools) and the scrambled program folder."""
    rng = random.Random(1)
    lines = []
    for i in range(RECORDS):
        title = words(rng, 3, 10)
        url = "http://v.example.test/v_show/id_X%010d.html" % rng.randrange(10**10)
        year = str(rng.randint(1980, 2026))
        area = "/".join(rng.sample(AREAS, rng.randint(1, 2)))
        kind = "/".join(rng.sample(TYPES, rng.randint(1, 3)))
        actors = "/".join(words(rng, 2, 3) for _ in range(rng.randint(1, 4)))
        note = "Ep%d HD" % rng.randint(1, 60)
        lines.append("\t".join([title, url, year, area, kind, actors, note]))
    plain = ("\r\n".join(lines) + "\r\n").encode("gbk")
    with open(os.path.join(folder, "plain.txt"), "wb") as f:
        f.write(plain)
    os.makedirs(os.path.join(folder, "app", "data"))
    scrambled = bytes(b ^ KEY[i % len(KEY)] for i, b in enumerate(plain))
    with open(os.path.join(folder, "app", "data", "catalogue.dat"), "wb") as f:
        f.write(scrambled)
    with open(os.path.join(folder, "app", "data", "main.htm"), "wb") as f:
        f.write(b"<html>\r\n[x2_begin]\r\nv1,data/catalogue.dat\r\n[x2_end]\r\n")


def run_timed(command, env):
    """Wall time and peak resident size in bytes of one run of a command."""
    devnull = os.open(os.devnull, os.O_WRONLY)
    start = time.perf_counter()
    pid = os.posix_spawnp(command[0], command, env if env is not None else os.environ,
                          file_actions=[(os.POSIX_SPAWN_DUP2, devnull, 1)])
    _, status, usage = os.wait4(pid, 0)
    os.close(devnull)
    elapsed = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit("benchmark command failed: %s" % " ".join(map(str, command)))
    return elapsed, usage.ru_maxrss * 1024


def measure(command, env=None, then=()):
    """Best wall time of RUNS runs of the command (and the commands in `then`
    right after it, timed together), and the largest peak resident size in
    bytes of the command itself."""
    best = None
    peak = 0
    for _ in range(RUNS):
        elapsed, used = run_timed(command, env)
        for following in then:
            elapsed += run_timed(following, env)[0]
        best = elapsed if best is None else min(best, elapsed)
        peak = max(peak, used)
    return best, peak


def measure_pair(ours, theirs, then=()):
    """Medians of MEDIAN_RUNS wall times of `ours` and of `theirs` (with the
    commands in `then` right after it, timed together), run in turn after one
    unmeasured run of each; and the largest peak resident size in bytes of `ours`."""
    times_ours, times_theirs = [], []
    peak = 0
    for run in range(MEDIAN_RUNS + 1):
        elapsed, used = run_timed(ours, None)
        peak = max(peak, used)
        reference = run_timed(theirs, None)[0]
        for following in then:
            reference += run_timed(following, None)[0]
        if run > 0:
            times_ours.append(elapsed)
            times_theirs.append(reference)
    return statistics.median(times_ours), statistics.median(times_theirs), peak


def verdict(ratio, goal, at_most):
    return "ok" if (ratio <= goal if at_most else ratio >= goal) else "MISSED"


def catalogue_benchmark(app, folder):
    # Generating the data takes a lot of this script's memory; a child does it so
    # that the children measured later do not inherit that peak.
    subprocess.run([sys.executable, __file__, "--generate", folder], check=True)
    size = os.path.getsize(os.path.join(folder, "plain.txt"))
    plain = os.path.join(folder, "plain.txt")
    c_locale = dict(os.environ, LC_ALL="C")
    tool, tool_peak = measure([os.path.join(app, "tavelo-catalogue"), "check", os.path.join(folder, "app")])
    awk, _ = measure(["awk", "-F\t", "{k=tolower($1 $2 $3 $4 $5 $6 $7); n++} END{print n}", plain], c_locale)
    python, python_peak = measure([sys.executable, "-c",
                                   "import csv,sys\n"
                                   "rows=list(csv.reader(open(sys.argv[1],encoding='latin-1',newline=''),"
                                   "delimiter='\\t',quoting=csv.QUOTE_NONE))\nprint(len(rows))", plain])
    print("catalogue load: %d records, %.1f MB" % (RECORDS, size / 1e6))
    print("  tavelo-catalogue check  %.3f s  peak %.1f MB" % (tool, tool_peak / 1e6))
    print("  awk                     %.3f s" % awk)
    print("  python csv              %.3f s  peak %.1f MB" % (python, python_peak / 1e6))
    print("  ratio check/awk         %.2f   (goal <= 1.0)" % (tool / awk))
    print("  ratio python/check      %.2f   (goal >= 5)" % (python / tool))
    print("  memory check/file       %.2f   (goal <= 4; python %.2f)" % (tool_peak / size, python_peak / size))


def digest_benchmark(app, folder):
    path = os.path.join(folder, "big.bin")
    with open(path, "wb") as f:
        block = random.Random(2).randbytes(1 << 20)
        for _ in range(DIGEST_SIZE >> 20):
            f.write(block)
    tool, md5sum, _ = measure_pair([os.path.join(app, "tavelo-catalogue"), "digest", path], ["md5sum", path])
    ratio = tool / md5sum
    print("digest: %d MiB (medians of %d)" % (DIGEST_SIZE >> 20, MEDIAN_RUNS))
    print("  tavelo-catalogue digest %.3f s" % tool)
    print("  md5sum                  %.3f s" % md5sum)
    print("  ratio digest/md5sum     %.2f   (goal <= %.1f) %s" % (ratio, DIGEST_GOAL,
                                                                 verdict(ratio, DIGEST_GOAL, True)))


def make_history(path):
    """A history as the program writes it: number, category, escaped info, kind."""
    rng = random.Random(3)
    categories = ["连续剧", "电影", "综艺", "动漫", "纪录片"]
    with open(path, "wb") as f:
        for i in range(LIST_RECORDS):
            info = "**MYN**".join([
                words(rng, 3, 10),
                "http://v.example.test/v_show/id_X%010d.html" % i,
                str(rng.randint(1980, 2026)),
                "/".join(rng.sample(AREAS, rng.randint(1, 2))),
                "/".join(rng.sample(TYPES, rng.randint(1, 3))),
                "/".join(words(rng, 2, 3) for _ in range(rng.randint(1, 4))),
            ])
            f.write(("0\t%s\t%s\tdata3\t\r\n" % (rng.choice(categories), info)).encode("gbk"))


def list_add_benchmark(app, folder):
    program = os.path.join(folder, "lists")
    os.makedirs(os.path.join(program, "data"))
    history = os.path.join(program, "data", "myvisited.dat")
    make_history(history)
    size = os.path.getsize(history)
    copy = os.path.join(folder, "history-copy.dat")
    info = "新看的视频**MYN**http://v.example.test/v_show/id_new.html".encode("gbk")
    add, rewrite, add_peak = measure_pair(
        [os.path.join(app, "tavelo-catalogue").encode(), b"lists", program.encode(), b"add", b"history",
         "电影".encode("gbk"), info],
        # sync runs right after its own cp, so it always has the whole copy to flush.
        ["cp", history, copy], then=[["sync", copy]])
    ratio = add / rewrite
    print("list add: %d records, %.1f MB (medians of %d)" % (LIST_RECORDS, size / 1e6, MEDIAN_RUNS))
    print("  tavelo-catalogue lists add  %.3f s  peak %.1f MB" % (add, add_peak / 1e6))
    print("  cp + sync of the copy       %.3f s" % rewrite)
    print("  ratio add/(cp+sync)         %.2f   (goal <= %.0f) %s" % (ratio, LIST_ADD_GOAL,
                                                                     verdict(ratio, LIST_ADD_GOAL, True)))
    print("  memory add/file             %.2f   (goal < 4)" % (add_peak / size))


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--app", default="build/app", help="folder holding tavelo-catalogue")
    parser.add_argument("--generate", metavar="FOLDER", help=argparse.SUPPRESS)
    args = parser.parse_args()
    if args.generate:
        make_catalogue(args.generate)
        return
    folder = tempfile.mkdtemp(prefix="tavelo-bench-")
    try:
        catalogue_benchmark(args.app, folder)
        digest_benchmark(args.app, folder)
        list_add_benchmark(args.app, folder)
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
