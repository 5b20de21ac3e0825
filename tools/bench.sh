#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
# SPDX-License-Identifier: GPL-3.0-or-later

# Builds the benchmarks (Release, in build-bench unless BUILD_DIR is set),
# runs them all, the pacing under X11 and under Wayland at 1920 x 1080 and at
# 3840 x 2160, and prints one table. Takes about a quarter of an hour.
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
# Everything on X11 at 1920 x 1080 (start-up and the 5000-bar row included);
# at 3840 x 2160, and on a native Wayland compositor, the pacing of the
# default row (or what the filter names).
pacing=${1:-pace/[^/]+/[0-9]+ms/iterations}
runs=("x11 1920x1080 $filter" "x11 3840x2160 $pacing" "wayland 1920x1080 $pacing" "wayland 3840x2160 $pacing")
# The display server on one processor, the program on the other.
for run in "${runs[@]}"; do
    read -r server screen benchmarks <<<"$run"
    ORDAVEX_SCREEN=$screen ORDAVEX_SERVER_CPU=1 taskset -c 0 tests/run-"$server".sh "$build/bench_window" \
        --benchmark_filter="$benchmarks" \
        --benchmark_out="$out/$server-$screen.json" --benchmark_out_format=json >"$out/$server-$screen.log" 2>&1
done
python3 tools/bench_table.py "$out"/*.json
echo
echo "raw results: $out"
