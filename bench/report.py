#!/usr/bin/env python3
"""Prints each benchmark figure beside its baseline, their ratio and the goal.

Usage: report.py RESULTS.json [RESULTS.json ...]   (Google Benchmark JSON)

Times are medians over the repetitions. Benchmarks timed by the clock on
the wall (names ending in /real_time or /manual_time: saving waits for the
disk, the window benchmarks time themselves) use wall time; the others use
CPU time, which other work on a shared machine disturbs less.
"""
import json
import sys

MS = 1e-3
US = 1e-6

# (figure, benchmark, baseline benchmark, how it is judged, limit, goal text)
#   ratio:   figure time / baseline time <= limit
#   perbyte: figure time per byte / baseline time per byte <= limit
#   abs:     figure time <= limit seconds (the baseline is for context)
ROWS = [
    ("CP932 decode 40 MB", "decodeOurs", "decodeIconv", "ratio", 0.25, "<= 0.25 (4x iconv)"),
    ("read 40 MB outline", "readHuge", "decodeOurs", "ratio", 1.5, "<= 1.5 x decode"),
    ("save 40 MB outline", "saveOutline/real_time", "saveBaseline/real_time", "ratio", 1.5,
     "<= 1.5 x encode+write+fsync"),
    ("read 10 MB, per byte", "readScaling/10", "readScaling/1", "perbyte", 1.5, "<= 1.5 x 1 MB"),
    ("read 40 MB, per byte", "readScaling/40", "readScaling/1", "perbyte", 1.5, "<= 1.5 x 1 MB"),
    ("read 100 MB, per byte", "readScaling/100", "readScaling/1", "perbyte", 1.5, "<= 1.5 x 1 MB"),
    ("read 2048-deep chain, per byte", "readShaped/chain", "readShaped/flat", "perbyte", 1.5,
     "<= 1.5 x flat"),
    ("click 10 MB body", "clickBigBody/manual_time", "clickEmptyBody/manual_time", "abs", 50 * MS,
     "<= 50 ms"),
    # Not a goal: the rest of the body is appended in slices after it shows.
    ("click 10 MB body, until all of it is in the box", "clickBigBodyWhole/iterations:10/manual_time",
     "clickEmptyBody/manual_time", "abs", 1.0, "(for context) <= 1 s"),
    ("click away from 10 MB body", "leaveBigBody/iterations:10/manual_time", "clickEmptyBody/manual_time", "abs",
     50 * MS, "<= 50 ms"),
    ("toggle mark, 2048-deep chain", "toggleCheckChain/manual_time", "toggleCheckFlat/manual_time",
     "abs", 1 * MS, "<= 1 ms"),
    ("create in 2046 categories", "createInFullOutline/manual_time",
     "createInSmallOutline/manual_time", "abs", 5 * MS, "<= 5 ms"),
    ("key press in 10 MB body", "keyPressBigBody/manual_time", "keyPressEmptyBody/manual_time",
     "ratio", 1.1, "<= 1.0 x empty (+10% noise)"),
    # The same lines on screen, so only the body's size differs.
    ("key press in 10 MB body", "keyPressBigBody/manual_time", "keyPressScreenBody/manual_time",
     "ratio", 1.1, "<= 1.0 x 4 KB body (+10% noise)"),
    # An empty line, as in the empty box: only the body's size differs.
    ("key press on a new line, 10 MB body", "keyPressBigBodyNewLine/manual_time",
     "keyPressEmptyBody/manual_time", "ratio", 1.1, "<= 1.0 x empty (+10% noise)"),
]

UNIT_SECONDS = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}


def load(paths):
    """Median (or the single run) of each benchmark: name -> (seconds, bytes/s, error)."""
    runs = {}
    for path in paths:
        with open(path, encoding="utf-8") as f:
            data = json.load(f)
        for b in data.get("benchmarks", []):
            name = b.get("run_name", b["name"])
            if b.get("error_occurred"):
                runs[name] = (None, None, b.get("error_message", "error"))
                continue
            if b.get("run_type") == "aggregate" and b.get("aggregate_name") != "median":
                continue
            if name in runs and b.get("run_type") != "aggregate":
                continue
            wall = name.endswith("/real_time") or name.endswith("/manual_time")
            seconds = b["real_time" if wall else "cpu_time"] * UNIT_SECONDS[b["time_unit"]]
            runs[name] = (seconds, b.get("bytes_per_second"), None)
    return runs


def show_time(seconds):
    if seconds >= 1:
        return f"{seconds:.2f} s"
    if seconds >= MS:
        return f"{seconds / MS:.1f} ms"
    return f"{seconds / US:.0f} us"


def show(run, kind):
    seconds, rate, _ = run
    if kind == "perbyte" and rate:
        return f"{rate / 1e6:.0f} MB/s"
    return show_time(seconds)


def main(paths):
    runs = load(paths)
    header = ("figure", "measured", "baseline", "ratio", "goal", "met?")
    table = []
    failed = False
    for label, figure, baseline, kind, limit, goal in ROWS:
        if figure not in runs or baseline not in runs:
            table.append((label, "not run", "", "", goal, ""))
            continue
        f, b = runs[figure], runs[baseline]
        if f[2] or b[2]:
            failed = True
            table.append((label, "error", "", "", goal, f[2] or b[2]))
            continue
        if kind == "perbyte":
            ratio = b[1] / f[1]
        else:
            ratio = f[0] / b[0]
        met = f[0] <= limit if kind == "abs" else ratio <= limit
        table.append((label, show(f, kind), show(b, kind), f"{ratio:.2f}", goal,
                      "met" if met else "NOT MET"))
    widths = [max(len(str(row[i])) for row in [header] + table) for i in range(len(header))]
    for row in [header, tuple("-" * w for w in widths)] + table:
        print("  ".join(str(cell).ljust(w) for cell, w in zip(row, widths)).rstrip())
    return 1 if failed else 0


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1:]))
