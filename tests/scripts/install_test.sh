#!/usr/bin/env bash
# The install keeps the user's data: a first install makes data/, later ones
# replace the program and libraries and leave data/ byte for byte alone.
#   install_test.sh <source folder> <build folder>
set -euo pipefail
src="$1"
export MURV_BUILD_DIR="$2"
home="$(mktemp -d)"
unset MURV_COM_REGISTRY
trap 'rm -rf "$home"' EXIT

"$src/scripts/install.sh" "$home/MURV" >/dev/null
for f in PrjMURV data/MurvData2K.mdb data/MurvWork2K.mdb data/OrgMurvData2K.mdb; do
  [ -e "$home/MURV/$f" ] || { echo "missing after the first install: $f"; exit 1; }
done
ls "$home/MURV"/*.so >/dev/null 2>&1 || { echo "no lookup library installed"; exit 1; }

# The user's book changes; the program is installed again.
printf 'the user data' >> "$home/MURV/data/MurvData2K.mdb"
echo "a note of the user" > "$home/MURV/data/note.txt"
rm "$home/MURV/data/OrgMurvData2K.mdb"
before="$(cd "$home/MURV/data" && stat -c "%n %s %Y" . * && sha1sum *)"
"$src/scripts/install.sh" "$home/MURV" >/dev/null
after="$(cd "$home/MURV/data" && stat -c "%n %s %Y" . * && sha1sum *)"
[ "$before" = "$after" ] || { echo "the install changed data/"; diff <(echo "$before") <(echo "$after"); exit 1; }
cmp -s "$MURV_BUILD_DIR/bin/PrjMURV" "$home/MURV/PrjMURV" || { echo "the program was not replaced"; exit 1; }
# The registry names the installed libraries.
grep -q "libPrjPelmora.so" "$home/MURV/classes.reg" || { echo "the installed libraries are not registered"; exit 1; }
