#!/usr/bin/env bash
# Installs what is missing, builds, then runs every test headless and checks
# the layout of the code (scripts/check_format.sh). Fails if either fails.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
status=0
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "${MURV_JOBS:-$(nproc)}" "$@") || status=$?
scripts/check_format.sh || { echo "The code is not laid out as .clang-format says (scripts/check_format.sh -i lays it out)." >&2; status=1; }
exit "$status"
