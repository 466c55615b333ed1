#!/usr/bin/env bash
# The install keeps the user's data: a first install makes data/, later ones
# replace the program and libraries and leave data/ byte for byte alone.
# A build registers its libraries in its own bin/ and writes nothing outside
# its build folder, whatever registry the environment names.
#   install_test.sh <source folder> <build folder> <cmake>
set -euo pipefail
src="$1"
export MURV_BUILD_DIR="$2"
cmake="$3"
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

# The build's registration, with the environment naming another registry.
MURV_COM_REGISTRY="$home/elsewhere.reg" "$cmake" --build "$MURV_BUILD_DIR" --target murv_lookup_registration >/dev/null
[ ! -e "$home/elsewhere.reg" ] || { echo "the build wrote the registry the environment names"; exit 1; }
grep -q "libPrjPelmora.so" "$MURV_BUILD_DIR/bin/classes.reg" || { echo "the build did not register in bin/"; exit 1; }
