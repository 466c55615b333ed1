#!/usr/bin/env bash
# Installs the built program folder into a place outside the source tree:
#   scripts/install.sh [folder]      (default: $MURV_HOME, else $HOME/MURV)
# Copies the program, the lookup libraries, the registration tool, any
# class registry file and the report faces (with their licence) of build/bin/,
# then registers the installed libraries.
# The data folder is made only when the folder has none: an existing data/
# is never touched, whatever was rebuilt.
set -euo pipefail
cd "$(dirname "$0")/.."
home="${1:-${MURV_HOME:-$HOME/MURV}}"
build="${MURV_BUILD_DIR:-build}"
bin="$build/bin"
[ -x "$bin/PrjMURV" ] || { echo "build the program first (scripts/setup.sh)" >&2; exit 1; }
mkdir -p "$home"

# Each file is copied beside its place and then renamed over it, so that a
# copy still running keeps its own files.
put() {
  local from="$1" to="$home/$(basename "$1")"
  cp -p "$from" "$to.new.$$"
  mv -f "$to.new.$$" "$to"
}
put "$bin/PrjMURV"
for f in "$bin"/*.so "$bin"/MurvRegSvr "$bin"/*.reg "$bin"/*.ttf "$bin"/MurvReportFonts-LICENSE.txt; do
  [ -e "$f" ] && put "$f"
done

if [ ! -e "$home/data" ]; then
  "$build/tools/MurvMakeData" "$home/data" >/dev/null
fi

# The installed program finds the installed libraries.
if [ -x "$home/MurvRegSvr" ]; then
  for lib in "$home"/*.so; do
    [ -e "$lib" ] && env -u MURV_COM_REGISTRY "$home/MurvRegSvr" "$lib" >/dev/null
  done
fi
echo "$home"
