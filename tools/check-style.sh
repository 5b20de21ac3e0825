#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
# SPDX-License-Identifier: GPL-3.0-or-later

# Checks that the C++ sources follow .clang-format and pass the clang-tidy
# checks of .clang-tidy, and that every file states its licence and
# copyright in the REUSE way (reuse lint). Changes nothing.
#   tools/check-style.sh [BUILD_DIR]
# BUILD_DIR (default: build) is a configured build whose compile_commands.json
# clang-tidy reads; the form header is generated there first if missing.
# Needs clang-format, clang-tidy and reuse.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

for tool in clang-format clang-tidy reuse; do
    command -v "$tool" >/dev/null || { echo "$tool is missing" >&2; exit 1; }
done

echo "== clang-format"
find src tests bench -name '*.cpp' -o -name '*.h' -o -name '*.c' | sort | xargs clang-format --dry-run --Werror

echo "== clang-tidy"
[ -f "$build/compile_commands.json" ] || { echo "no $build/compile_commands.json: configure first" >&2; exit 1; }
# The sources include the header that uic makes from the form.
cmake --build "$build" --target ordavex_core_autogen >/dev/null
ls src/*.cpp | xargs -P"$(nproc)" -n1 clang-tidy -p "$build" --quiet 2> >(grep -v ' warnings generated\.$' >&2)
echo "== reuse lint"
reuse lint >/dev/null || { reuse lint >&2; exit 1; }
echo "style checks passed"
