#!/usr/bin/env bash
# Shared set-up of run.sh and test.sh: installs the missing Debian packages,
# configures and builds into build/. Quick when nothing changed.
# MURV_JOBS=N limits the build (and scripts/test.sh's tests) to N jobs at a
# time; the default is one per CPU. With --sanitize it builds into
# build-asan/ with AddressSanitizer and UndefinedBehaviorSanitizer instead.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=build options=()
if [ "${1:-}" = --sanitize ]; then
  dir=build-asan options=(-DMURV_SANITIZE=ON)
fi

packages=(g++ cmake ninja-build pkg-config qt6-base-dev libgl-dev libsqlite3-dev
          libicu-dev libgtest-dev libgmock-dev libbenchmark-dev fonts-noto-cjk sqlite3
          liblhasa-dev lhasa qt6-translations-l10n python3-fonttools fonts-ipaexfont-mincho
          fonts-ipaexfont-gothic poppler-utils clang-format)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if [ ! -f "$dir/build.ninja" ]; then
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}"
fi
cmake --build "$dir" -j "${MURV_JOBS:-$(nproc)}"
