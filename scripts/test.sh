#!/usr/bin/env bash
# Installs what is missing, builds, then runs every test headless and checks
# the layout of the code (scripts/check_format.sh). Fails if either fails.
#   scripts/test.sh [--sanitize] [ctest options]
# --sanitize builds and runs the suite in build-asan/ with AddressSanitizer
# (leak checking included) and UndefinedBehaviorSanitizer: any finding stops
# its process, which fails its test.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=build
if [ "${1:-}" = --sanitize ]; then
  shift
  dir=build-asan
  export ASAN_OPTIONS=abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  scripts/setup.sh --sanitize
else
  scripts/setup.sh
fi
status=0
(cd "$dir" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "${MURV_JOBS:-$(nproc)}" "$@") || status=$?
scripts/check_format.sh || { echo "The code is not laid out as .clang-format says (scripts/check_format.sh -i lays it out)." >&2; status=1; }
exit "$status"
