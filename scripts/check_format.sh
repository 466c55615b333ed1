#!/usr/bin/env bash
# Checks that every tracked C++ file is laid out as .clang-format says: names
# each place that is not and fails. `scripts/check_format.sh -i` lays the
# files out instead (clang-format -i).
set -euo pipefail
cd "$(dirname "$0")/.."
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
else
  mapfile -t files < <(find . -path ./build -prune -o -type f \( -name '*.cpp' -o -name '*.h' \) -print | sort)
fi
if [ "${1:-}" = "-i" ]; then
  clang-format -i "${files[@]}"
else
  clang-format --dry-run --Werror "${files[@]}"
fi
