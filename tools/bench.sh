#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
# SPDX-License-Identifier: GPL-3.0-or-later

# Builds the benchmarks (Release, in build-bench unless BUILD_DIR is set),
# runs them all, the pacing under X11 and under Wayland, and prints one table.
# Takes about ten minutes.
#   tools/bench.sh            everything
#   tools/bench.sh pace/Quick  only the benchmarks whose names match
set -euo pipefail
cd "$(dirname "$0")/.."
build="${BUILD_DIR:-build-bench}"
filter="${1:-.}"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DORDAVEX_BUILD_BENCHMARKS=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target bench_ticks bench_window >/dev/null
out="$(mktemp -d)"
export ALSOFT_DRIVERS=null
"$build/bench_ticks" --benchmark_filter="$filter" --benchmark_out="$out/ticks.json" \
    --benchmark_out_format=json >"$out/ticks.log" 2>&1
tests/run-x11.sh "$build/bench_window" --benchmark_filter="$filter" --benchmark_out="$out/x11.json" \
    --benchmark_out_format=json >"$out/x11.log" 2>&1
# Pacing again on a native Wayland compositor (start-up is measured on X11).
tests/run-wayland.sh "$build/bench_window" --benchmark_filter="pace/.*$filter" --benchmark_out="$out/wayland.json" \
    --benchmark_out_format=json >"$out/wayland.log" 2>&1
python3 tools/bench_table.py "$out/ticks.json" "$out/x11.json" "$out/wayland.json"
echo
echo "raw results: $out"
