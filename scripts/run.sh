#!/usr/bin/env bash
# Installs what is missing and builds, installs the program folder outside the
# source tree ($MURV_HOME, else $HOME/MURV; its data/ is made only when absent)
# and starts the program from there.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
home="$(scripts/install.sh)"
exec "$home/PrjMURV" "$@"
