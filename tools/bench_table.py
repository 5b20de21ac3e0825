#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
# SPDX-License-Identifier: GPL-3.0-or-later

"""Prints the benchmark results (Google Benchmark JSON files) as one table."""
import json
import re
import sys

rows = {}
sessions = []  # (server, screen) of each pacing file, in the order given
for path in sys.argv[1:]:
    # The pacing of each display server and screen size is kept apart, by
    # its file's name: ticks.json, or SERVER-WIDTHxHEIGHT.json.
    match = re.search(r"(x11|wayland)-(\d+x\d+)\.json$", path)
    session = match.groups() if match else None
    if session:
        sessions.append(session)
    for b in json.load(open(path))["benchmarks"]:
        if b.get("error_occurred"):
            continue
        name = re.sub(r"/(min_time|iterations|manual_time).*$", "", b["name"])
        if name.startswith("pace/") and session:
            name = f"{session[0]}-{session[1]}/{name}"
        rows[name] = b


def us(b):
    return b["cpu_time"] * {"ns": 1e-3, "us": 1.0, "ms": 1e3}[b["time_unit"]]


def fmt(v, digits=1):
    return "-" if v is None else f"{v:,.{digits}f}"


ALGORITHMS = ["Quick", "Merge", "Radix", "Heap", "Shell", "Exchange", "Bubble", "Insertion", "Selection", "Stalin"]
TITLES = {"x11": "X11 (Xvfb, openbox)", "wayland": "Wayland (weston, headless)"}

print("| Figure | ticks/s at 1 ms | ticks / nominal | ticks / bare timer, same run | paints/s, repaint share "
      "| ms per frame, mean / worst | ticks/s at 0 ms (paints/s, repaint share) | ticks / nominal at 2 ms, 5 ms |")
print("|---|---|---|---|---|---|---|---|")
for server, screen in sessions:
    for bars in (1500, 5000, 20000, 100000):
        suffix = "" if bars == 1500 else f"/{bars}bars"
        prefix = f"{server}-{screen}/pace"
        if not any(f"{prefix}/{a}/{d}ms{suffix}" in rows for a in ALGORITHMS for d in (0, 1)):
            continue
        print(f"| **1. Pacing, {bars:,} bars, {TITLES[server]}, {screen.replace('x', ' x ')}** | | | | | | | |")
        for algo in ["Idle"] + ALGORITHMS:
            one = rows.get(f"{prefix}/{algo}/1ms{suffix}")
            zero = rows.get(f"{prefix}/{algo}/0ms{suffix}")
            if not one and not zero:
                continue
            ticks = pace = vs_bare = paints = frame = z = "-"
            if one:
                ticks, pace = f"{one['ticks_per_s']:,.0f}", f"{one['pace']:.2f}"
                vs_bare = fmt(one.get("pace_vs_bare"), 2)
            if one and "paints_per_s" in one:
                paints = f"{one['paints_per_s']:,.0f}, {one['repaint_share']:.0%}"
            if one and "frame_ms_mean" in one:
                frame = f"{one['frame_ms_mean']:.2f} / {one['frame_ms_worst']:.1f}"
            if zero:
                z = f"{zero['ticks_per_s']:,.0f} ({zero['paints_per_s']:,.0f}, {zero['repaint_share']:.0%})"
            slower = [rows.get(f"{prefix}/{algo}/{d}ms{suffix}") for d in (2, 5)]
            longer = ", ".join(f"{b['pace']:.2f}" if b else "-" for b in slower) if any(slower) else "-"
            print(f"| {algo} | {ticks} | {pace} | {vs_bare} | {paints} | {frame} | {z} | {longer} |")

print("| **2. Tick cost, CPU µs, no painting** | 1500 | 20,000 | 100,000 | 20,000 / 1500 | 100,000 / 1500 | |")
for algo in ["Quick", "Merge", "Radix", "Heap", "Shell", "Exchange", "Bubble", "Insertion", "Selection",
             "Stalin", "SwapCall", "Swap", "Reorder", "Rebuild"]:
    v = [rows.get(f"step/{algo}/{n}") for n in (1500, 20000, 100000)]
    if not v[0]:
        continue
    t = [us(b) if b else None for b in v]
    r = [t[k] / t[0] if t[k] else None for k in (1, 2)]
    label = {"SwapCall": "swapItems alone", "Swap": "swap tick",
             "Reorder": "shuffle tick, reorder", "Rebuild": "shuffle tick, rebuild"}.get(algo, algo + " step tick")
    print(f"| {label} | {fmt(t[0])} | {fmt(t[1])} | {fmt(t[2])} | {fmt(r[0], 2)} | {fmt(r[1], 2)} |")

print("| **3. Paint cost, CPU µs, offscreen** | 1500 | 100,000 | | | 100,000 / 1500 |")
for kind, label in [("Swap", "swap tick with its repaint"), ("Full", "full repaint of the view")]:
    a, b = rows.get(f"paint/{kind}/1500"), rows.get(f"paint/{kind}/100000")
    if a and b:
        print(f"| {label} | {fmt(us(a))} | {fmt(us(b))} | | | {fmt(us(b) / us(a), 1)} |")

print("| **4. Start-up, X11** | 1500: ms to first frame | 1500: peak MB | 100,000: ms | 100,000: peak MB | |")
a, b = rows.get("startup/1500"), rows.get("startup/100000")
if a and b:
    ms = lambda r: r["real_time"] * {"ms": 1.0, "us": 1e-3, "ns": 1e-6}[r["time_unit"]]
    print(f"| launch to first painted frame | {ms(a):,.0f} | {a['peak_rss_MB']:,.0f} | "
          f"{ms(b):,.0f} | {b['peak_rss_MB']:,.0f} | |")

print("| **5. Reshuffle and end sweep, X11** | ms | ms promised | taken / promised | | |")
for name, label in [("reshuffle/1500", "reshuffle of 1500 bars to 1500"), ("sweep/1000", "end sweep over 1000 bars")]:
    b = rows.get(name)
    if b:
        ms = b["real_time"] * {"ms": 1.0, "us": 1e-3, "ns": 1e-6}[b["time_unit"]]
        print(f"| {label} | {ms:,.0f} | {ms / b['vs_promised']:,.0f} | {b['vs_promised']:.3f} | | |")

print("| **6. Step history, MB when full** | 1500 | 100,000 | | | |")
for algo in ALGORITHMS:
    a, b = rows.get(f"history/{algo}/1500"), rows.get(f"history/{algo}/100000")
    if a and b:
        print(f"| {algo} | {a['history_MB']:.1f} | {b['history_MB']:.1f} | | | |")
