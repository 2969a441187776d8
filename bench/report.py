#!/usr/bin/env python3
"""Writes bench/RESULTS.md from the measurements scripts/bench left in a directory:
hyperfine's JSON for whole commands, Google Benchmark's JSON for in-process figures, and
plain lists of numbers, one a line, for the rest. Every figure is a median; each
comparison is a ratio set against its target.

Usage: report.py [--direct-only|--python-only|--web-only] MEASUREMENTS_DIR OUTPUT COMMAND

With --direct-only, --python-only or --web-only, only that section is written; the rest of
OUTPUT stays.
"""
import json
import os
import platform
import statistics
import subprocess
import sys
from datetime import datetime, timezone

MIB = 1 << 20


def load(folder, name):
    path = os.path.join(folder, name)
    if not os.path.exists(path):
        return None
    with open(path) as f:
        return json.load(f) if name.endswith(".json") else [float(line) for line in f if line.strip()]


def hyperfine_median(results, index):
    run = results["results"][index]
    return run["median"], len(run["times"])


def hyperfine_pair(folder, name):
    """The medians of the two commands a hyperfine run compared, and its run count; None when
    it was not measured."""
    result = load(folder, name)
    if not result:
        return None
    (first, runs), (second, _) = hyperfine_median(result, 0), hyperfine_median(result, 1)
    return first, second, runs


def benchmark_median(results, name):
    runs = [b for b in results["benchmarks"] if b.get("run_name", b["name"]) == name
            and b.get("run_type") == "iteration"]
    medians = [b for b in results["benchmarks"] if b["name"] == name + "_median"]
    return medians[0], len(runs)


def machine():
    cpu = next((line.split(":", 1)[1].strip() for line in open("/proc/cpuinfo")
                if line.startswith("model name")), platform.processor())
    ram_kib = next(int(line.split()[1]) for line in open("/proc/meminfo") if line.startswith("MemTotal"))
    nproc = subprocess.run(["nproc"], capture_output=True, text=True).stdout.strip()
    return f"`nproc` {nproc}, {cpu}, {ram_kib / MIB:.1f} GiB RAM, {platform.system()} {platform.release()}"


def verdict(met):
    return "met" if met else "**missed**"


def memory_row(folder, name, title):
    """The row for the peak resident sizes in `name` (KiB, one run a line) against a 32 MiB
    target; None when they were not measured."""
    memory = load(folder, name)
    if not memory:
        return None
    peak = statistics.median(memory) / 1024
    return (title, f"{peak:.1f} MiB", "target 32 MiB", peak / 32, "under 32 MiB", verdict(peak < 32), len(memory))


def rows(folder):
    table = []
    if (pair := hyperfine_pair(folder, "throughput.json")):
        rawlet, lp, runs = pair
        ratio = rawlet / lp
        table.append(("1. Throughput, 256 MiB until the device holds every byte",
                      f"`rawlet print`: {rawlet:.3f} s", f"`lp -o raw`: {lp:.3f} s",
                      ratio, "at most 1.05", verdict(ratio <= 1.05), runs))
    inprocess = load(folder, "inprocess.json")
    if inprocess:
        small, runs = benchmark_median(inprocess, "BM_SmallWrites/iterations:3/real_time")
        large, _ = benchmark_median(inprocess, "BM_OneLargeWrite/iterations:3/real_time")
        ratio = small["real_time"] / large["real_time"]
        table.append(("2. Small writes into one document",
                      f"100,000 × 64 B: {small['real_time']:.1f} ms",
                      f"1 × 6.4 MB: {large['real_time']:.1f} ms",
                      ratio, "at most 1.5", verdict(ratio <= 1.5), runs))
    if (row := memory_row(folder, "memory.txt", "3. Memory: peak resident size of `rawlet print` of 1 GiB")):
        table.append(row)
    iconv = load(folder, "iconv.json")
    if inprocess and iconv:
        ours, runs = benchmark_median(inprocess, "BM_TranslateAnsiToOem/iterations:3")
        library, _ = benchmark_median(inprocess, "BM_IconvCp1252ToCp437/iterations:3")
        size = os.path.getsize(os.path.join(folder, "text.bin"))
        command, _ = hyperfine_median(iconv, 0)
        ours_rate = ours["bytes_per_second"] / MIB
        command_rate = size / command / MIB
        library_rate = library["bytes_per_second"] / MIB
        table.append(("4. Translation 1252 to 437, 256 MiB",
                      f"ANSI-to-OEM: {ours_rate:,.0f} MiB/s",
                      f"`iconv -f CP1252 -t CP437`: {command_rate:,.0f} MiB/s "
                      f"(iconv(3) in process: {library_rate:,.0f} MiB/s)",
                      ours_rate / command_rate, "above 1 (faster than iconv)",
                      verdict(ours_rate > command_rate and ours_rate > library_rate), runs))
    wine_control, wine_direct = load(folder, "wine-control.txt"), load(folder, "wine-winspool.txt")
    if wine_control and wine_direct:
        control, direct = statistics.median(wine_control), statistics.median(wine_direct)
        ratio = control / direct
        table.append(("5. Windows under Wine (64-bit): 10,000 writes of 64 B",
                      f"VBScript through Rawlet.ocx: {control * 1000:.1f} ms",
                      f"C over winspool: {direct * 1000:.1f} ms",
                      ratio, "at most 3", verdict(ratio <= 3), min(len(wine_control), len(wine_direct))))
    return table


def direct_rows(folder):
    table = []
    if (pair := hyperfine_pair(folder, "direct-receipt.json")):
        rawlet, nc, runs = pair
        table.append(("6. A 1 KiB receipt, from the command's start until the device holds it",
                      f"`rawlet print -d socket://`: {rawlet * 1000:.1f} ms", f"`nc -N`: {nc * 1000:.1f} ms",
                      rawlet / nc, "at most 1.5", verdict(rawlet / nc <= 1.5), runs))
    if (pair := hyperfine_pair(folder, "direct-start.json")):
        rawlet, nc, runs = pair
        table.append(("6a. The process's start alone, printing nothing",
                      f"`rawlet --version`: {rawlet * 1000:.1f} ms", f"`nc -h`: {nc * 1000:.1f} ms",
                      rawlet / nc, "(for reading 6)", "-", runs))
    ours, queue = load(folder, "direct-receipt-rawlet.txt"), load(folder, "direct-receipt-lp.txt")
    if ours and queue:
        rawlet, lp, runs = statistics.median(ours), statistics.median(queue), min(len(ours), len(queue))
        table.append(("6b. The same receipt against a raw queue on the same device (`bench/time-to-device`)",
                      f"`rawlet print -d socket://`: {rawlet * 1000:.1f} ms", f"`lp -o raw`: {lp * 1000:.1f} ms",
                      rawlet / lp, "at most 0.33 (3x faster)", verdict(rawlet * 3 <= lp), runs))
    if (pair := hyperfine_pair(folder, "direct-bulk.json")):
        rawlet, nc, runs = pair
        table.append(("7. 256 MiB until the device holds every byte",
                      f"`rawlet print -d socket://`: {rawlet:.3f} s", f"`nc -N`: {nc:.3f} s",
                      rawlet / nc, "at most 1.10", verdict(rawlet / nc <= 1.10), runs))
    if (row := memory_row(folder, "direct-memory.txt",
                          "8. Peak resident size of `rawlet print -d socket://` of 1 GiB")):
        table.append(row)
    return table


def spread(times, scale, digits=1):
    """The middle half of the runs, as "(a–b)" in the unit `scale` makes of seconds."""
    quartiles = statistics.quantiles(times, n=4)
    return f"(middle half {quartiles[0] * scale:.{digits}f}–{quartiles[2] * scale:.{digits}f})"


def python_rows(folder):
    table = []
    printer = "`rawlet.Printer`"
    comparisons = [
        ("socket", "9. Python: a 1 KiB receipt over socket:// until the device holds it",
         printer, "a bare socket (sendall, shutdown, read to the close)", "ms", 1.2),
        ("queue", "9a. Python: the same receipt through a raw queue until the device holds it",
         printer, "pycups `printFile` (raw)", "ms", 1.0),
        ("bulk", "9b. Python: 256 MiB over socket:// until the device holds it",
         printer, "the `rawlet print` command", "s", 1.1),
        ("queue-answer", "10. Python: a 1 KiB receipt through a raw queue, from the call to the scheduler's "
         "answer", f"{printer}, one a job", "pycups `printFile` (raw), one connection for every job", "ms", 1.0),
        ("queue-command", "10a. The command: the same receipt through a raw queue, from the command's start to "
         "the scheduler's answer", "`rawlet print -d QUEUE`", "`lp -d QUEUE -o raw`", "ms", None),
    ]
    for name, title, ours_name, reference, unit, target in comparisons:
        ours, theirs = load(folder, f"python-{name}-rawlet.txt"), load(folder, f"python-{name}-reference.txt")
        if not (ours and theirs):
            continue
        scale = 1000 if unit == "ms" else 1
        digits = 1 if scale > 1 else 3
        rawlet, other = statistics.median(ours), statistics.median(theirs)
        rawlet_text, other_text = f"{rawlet * scale:.{digits}f} {unit}", f"{other * scale:.{digits}f} {unit}"
        if unit == "ms":
            rawlet_text += " " + spread(ours, scale)
            other_text += " " + spread(theirs, scale)
        target_text, result = ("(none: beside 10)", "-") if target is None else (
            f"at most {target}", verdict(rawlet <= target * other))
        table.append((title, f"{ours_name}: {rawlet_text}", f"{reference}: {other_text}", rawlet / other,
                      target_text, result, min(len(ours), len(theirs))))
    return table


def web_rows(folder):
    """The page client's job against `rawlet print`; the bridge's overhead, a job through it on
    a kept connection less the same job printed in process."""
    table = []
    jobs, prints = load(folder, "bridge-job.txt"), load(folder, "bridge-print.txt")
    if jobs and prints:
        job, command = statistics.median(jobs), statistics.median(prints)
        table.append(("11. A 1 KiB receipt from a page's client (node) until the device holds it",
                      f"`Bridge.print` through `rawlet serve`: {job * 1000:.1f} ms {spread(jobs, 1000)}",
                      f"`rawlet print -d PRINTER`: {command * 1000:.1f} ms {spread(prints, 1000)}",
                      job / command, "(none: beside 11a)", "-", min(len(jobs), len(prints))))
    bridged, direct = load(folder, "bridge-overhead-bridge.txt"), load(folder, "bridge-overhead-inprocess.txt")
    if bridged and direct:
        through, inprocess = statistics.median(bridged), statistics.median(direct)
        overhead = through - inprocess
        table.append(("11a. The bridge's overhead per job: the same receipt (a) through `rawlet serve` from one "
                      "client on a kept connection, until the bridge answers, less (b) printed in process on the "
                      "same printer, until delivered",
                      f"(a) `http.client` through `rawlet serve`: {through * 1000:.2f} ms "
                      f"{spread(bridged, 1000, 2)}; overhead (a) − (b): {overhead * 1000:.2f} ms",
                      f"(b) `rawlet.Printer`: {inprocess * 1000:.2f} ms {spread(direct, 1000, 2)}",
                      through / inprocess, "overhead under 2 ms", verdict(overhead < 0.002),
                      min(len(bridged), len(direct))))
    return table


DIRECT_HEADING = "## Direct printers"
PYTHON_HEADING = "## Python"
WEB_HEADING = "## Web pages"


def table_lines(table):
    lines = ["| Comparison | Rawlet | Reference | Ratio | Target | Result | Runs |",
             "|---|---|---|---|---|---|---|"]
    for name, ours, reference, ratio, target, result, runs in table:
        lines.append(f"| {name} | {ours} | {reference} | {ratio:.2f} | {target} | {result} | {runs} |")
    return lines


def utc_now():
    return datetime.now(timezone.utc).strftime("%Y-%m-%d %H:%M UTC")


def load_average():
    return open("/proc/loadavg").read().split()[0]


def measured_section(heading, command, setting, table):
    """A section under `heading`: what measured it, when, on what machine and how busy it was,
    how the figures were taken (`setting`, a sentence over two lines), then the table."""
    setting_start, setting_end = setting
    return ["", heading, "",
            f"Measured by `{command.strip()}` on {utc_now()} ({machine()}), load average {load_average()}: "
            f"{setting_start}", setting_end, ""] + table_lines(table)


def direct_section(folder, command):
    setting = ("a socket:// printer on a capture",
               "device on loopback, the same device for `nc -N` and for `lp -o raw` through a raw queue.")
    return measured_section(DIRECT_HEADING, command, setting, direct_rows(folder))


def python_section(folder, command):
    setting = ("in one Python process, each figure",
               "side by side with its reference run by run, on the direct printer's capture device; "
               "10 and 10a on a queue of their own,\nwhose jobs print meanwhile. Beside each receipt's "
               "median, the middle half of its runs (between the quartiles).")
    return measured_section(PYTHON_HEADING, command, setting, python_rows(folder))


def web_section(folder, command):
    setting = ("a page's client (`web/rawlet.js` in node) and",
               "the `rawlet` command taking turns, run by run, on one socket:// capture device on loopback; "
               "the bridge on loopback too;\n11a in one Python process, a client of the bridge and the Python "
               "package taking turns on the same device. Beside each median, the middle half of its runs.")
    return measured_section(WEB_HEADING, command, setting, web_rows(folder))


def replace_section(output, heading, section):
    """OUTPUT with the section under `heading` replaced (or added), the others kept."""
    text = open(output).read() if os.path.exists(output) else ""
    parts = text.split("\n## ")
    kept = [parts[0].rstrip("\n")] + ["## " + part.rstrip("\n") for part in parts[1:]
                                      if not ("## " + part).startswith(heading)]
    with open(output, "w") as f:
        f.write("\n\n".join(kept).lstrip("\n") + "\n" + "\n".join(section) + "\n")


def write_direct_only(folder, output, command):
    replace_section(output, DIRECT_HEADING, direct_section(folder, command))


def main():
    if sys.argv[1] == "--direct-only":
        write_direct_only(*sys.argv[2:5])
        return
    if sys.argv[1] == "--python-only":
        folder, output, command = sys.argv[2:5]
        replace_section(output, PYTHON_HEADING, python_section(folder, command))
        return
    if sys.argv[1] == "--web-only":
        folder, output, command = sys.argv[2:5]
        replace_section(output, WEB_HEADING, web_section(folder, command))
        return
    folder, output, command = sys.argv[1:4]
    lines = [
        "# Benchmark results",
        "",
        "Written by `scripts/bench`; each figure is the median of the runs shown, each comparison",
        "a ratio of Rawlet's figure to the reference's.",
        "",
        f"- Command: `{command.strip()}`",
        f"- Date: {utc_now()}",
        f"- Machine: {machine()}",
        f"- Load average at the end of the run: {load_average()}"
        " (other work on the machine shares its cores and spreads the figures)",
        "- Build: Release (`build/bench`); private CUPS scheduler at `LogLevel warn`, raw queues",
        "  with capturing devices on loopback",
        "",
    ] + table_lines(rows(folder))
    notes = os.path.join(folder, "notes.md")
    if os.path.exists(notes):
        lines += ["", "Notes:", ""] + ["- " + note for note in open(notes).read().splitlines() if note]
    if direct_rows(folder):
        lines += direct_section(folder, command)
    if python_rows(folder):
        lines += python_section(folder, command)
    if web_rows(folder):
        lines += web_section(folder, command)
    with open(output, "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
