#!/usr/bin/python3
"""The table of bench/feed_bench.sh from its figures file.

usage: feed_report.py FIGURES
Each line of FIGURES is "SIZE NAME VALUE"; VALUE is a number (milliseconds,
or MiB for working sets) or "over:LIMIT" for a step that ran over its limit
in seconds. A figure missing from the file shows as "-"."""
import sys

MIB = 1024.0 * 1024.0

# (label, measured, reference, reference label, goal kind, goal)
#   ratio: measured / reference at most goal;  limit: measured at most goal
#   per_row: (measured - reference) MiB over SIZE rows, in bytes, at most goal
ROWS = [
    ("userlistctl import into an empty store", "import_ms", "shell_insert_ms",
     "sqlite3 inserts", "ratio", 2.0),
    ("start-up until the window shows", "startup_full_window_ms",
     "startup_empty_window_ms", "empty store", "ratio", 2.0),
    ("start-up until the operated tab is filled", "startup_full_ms", "startup_empty_ms",
     "empty store", "limit", 5000),
    ("working set a row above the empty window", "working_set_mb", "empty_working_set_mb",
     "empty window", "per_row", 300),
    ("removal of one entry after its confirmation", "remove_ms", None, None, "limit", 20),
    ("page down on the operated tab, longest of 50", "scroll_max_ms", None, None, "limit", 16),
    ("userlistctl export csv", "export_csv_ms", "shell_csv_ms", "sqlite3 CSV", "ratio", 1.5),
    ("userlistctl list", "list_ms", "shell_csv_ms", "sqlite3 CSV", "ratio", 1.5),
    ("32-bit: start-up until the window shows", "w32_startup_full_window_ms",
     "w32_startup_empty_window_ms", "empty store", "ratio", 2.0),
    ("32-bit: start-up until the operated tab is filled", "w32_startup_full_ms",
     "w32_startup_empty_ms", "empty store", "limit", 5000),
    ("32-bit: working set a row above the empty window", "w32_working_set_mb",
     "w32_empty_working_set_mb", "empty window", "per_row", 300),
]


def read_figures(path):
    figures = {}
    with open(path) as text:
        for line in text:
            parts = line.split()
            if len(parts) == 3:
                figures[(int(parts[0]), parts[1])] = parts[2]
    return figures


def number(value):
    try:
        return float(value)
    except (TypeError, ValueError):
        return None


def shown(value, unit):
    if value is None:
        return "-"
    if value.startswith("over:"):
        return "over " + value[5:] + " s"
    if unit == "MiB":
        return "%.0f MB" % float(value)
    ms = float(value)
    return "%.0f ms" % ms if ms < 10000 else "%.1f s" % (ms / 1000)


def judged(size, kind, goal, measured, reference, unit):
    """(measured text, ratio text, goal text, verdict)"""
    m, r = number(measured), number(reference)
    over = measured is not None and measured.startswith("over:")
    if kind == "per_row":
        text = "%.0f B" % ((m - r) * MIB / size) if m is not None and r is not None else "-"
        verdict = "" if text == "-" else ("met" if (m - r) * MIB / size <= goal else "missed")
        return text, "-", "<= %d B" % goal, verdict
    if kind == "ratio":
        if over and r:
            return shown(measured, unit), "> %.2fx" % (float(measured[5:]) * 1000 / r), \
                "<= %.1fx" % goal, "missed"
        if m is None or not r:
            return shown(measured, unit), "-", "<= %.1fx" % goal, ""
        return shown(measured, unit), "%.2fx" % (m / r), "<= %.1fx" % goal, \
            "met" if m / r <= goal else "missed"
    if over:
        return shown(measured, unit), "-", "<= %d ms" % goal, "missed"
    if m is None:
        return "-", "-", "<= %d ms" % goal, ""
    return shown(measured, unit), "-", "<= %d ms" % goal, "met" if m <= goal else "missed"


def main():
    figures = read_figures(sys.argv[1])
    sizes = sorted({size for size, _ in figures})
    header = ["entries", "figure", "measured", "reference", "ratio", "goal", ""]
    lines = []
    for size in sizes:
        for label, name, reference, ref_label, kind, goal in ROWS:
            measured = figures.get((size, name))
            ref_value = figures.get((size, reference)) if reference else None
            if measured is None and ref_value is None:
                continue
            text, ratio, goal_text, verdict = judged(size, kind, goal, measured, ref_value,
                                                     "MiB" if "working_set" in name else "ms")
            ref_text = "-"
            if reference:
                unit = "MiB" if "working_set" in reference else "ms"
                ref_text = "%s %s" % (ref_label, shown(ref_value, unit))
            lines.append(["{:,}".format(size), label, text, ref_text, ratio, goal_text, verdict])
    widths = [max(len(row[i]) for row in lines + [header]) for i in range(len(header))]
    for row in [header] + lines:
        print("  ".join(cell.ljust(widths[i]) for i, cell in enumerate(row)).rstrip())


if __name__ == "__main__":
    main()
