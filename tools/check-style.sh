#!/usr/bin/env bash
# Checks that the C++ sources follow .clang-format and pass the clang-tidy
# checks of .clang-tidy. Changes nothing.
#   tools/check-style.sh [BUILD_DIR]
# BUILD_DIR (default: build) is a configured build whose compile_commands.json
# clang-tidy reads; the form header is generated there first if missing.
# Needs clang-format and clang-tidy.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

for tool in clang-format clang-tidy; do
    command -v "$tool" >/dev/null || { echo "$tool is missing" >&2; exit 1; }
done

echo "== clang-format"
find src tests bench -name '*.cpp' -o -name '*.h' | sort | xargs clang-format --dry-run --Werror

echo "== clang-tidy"
[ -f "$build/compile_commands.json" ] || { echo "no $build/compile_commands.json: configure first" >&2; exit 1; }
# The sources include the header that uic makes from the form.
cmake --build "$build" --target ordavex_core_autogen >/dev/null
ls src/*.cpp | xargs -P"$(nproc)" -n1 clang-tidy -p "$build" --quiet 2> >(grep -v ' warnings generated\.$' >&2)
echo "style checks passed"
