#!/usr/bin/env bash
# Writes the two packages of Ordalis from a built program folder:
#   Ordalis-<version>-portable.zip  the program in one folder Ordalis-<version>\,
#                                   to unpack anywhere
#   Ordalis-<version>-setup.exe     the per-user installer (ordalis.nsi)
# The zip is reproducible: the same files give the same bytes (fixed times,
# modes and order, no extra fields).
#
# Usage: pack.sh <folder with Vemra.exe, Lotse32.exe, Vemra.lhf> <output folder> <version>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
app=$1
out=$2
version=$3
files=(Vemra.exe Lotse32.exe Vemra.lhf LIESMICH.txt LIZENZ.txt)

scratch=$(mktemp -d "${TMPDIR:-/tmp}/ordalis-pack.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
# Unpacked, the zip makes one folder of its own rather than scattering the
# files into whatever folder it was opened in.
top=Ordalis-$version
stage=$scratch/$top
mkdir "$stage"
for f in Vemra.exe Lotse32.exe Vemra.lhf; do cp "$app/$f" "$stage/$f"; done
# The texts for Windows' editor: UTF-8 with its mark, lines ending in CR LF.
for f in LIESMICH.txt LIZENZ.txt; do
  { printf '\357\273\277'; sed 's/$/\r/' "$here/$f"; } >"$stage/$f"
done
chmod 644 "${files[@]/#/$stage/}"
chmod 755 "$stage"
touch -d '2026-01-01 12:00:00 UTC' "${files[@]/#/$stage/}" "$stage"

mkdir -p "$out"
out=$(cd "$out" && pwd)
zip=$out/Ordalis-$version-portable.zip
rm -f "$zip"
(cd "$stage/.." && TZ=UTC zip -q -X -9 "$zip" "$top/" "${files[@]/#/$top/}")

# The version record has four numbers, as the executables' have.
IFS=. read -r major minor patch build <<<"$version"
record=$major.${minor:-0}.${patch:-0}.${build:-0}
setup=$out/Ordalis-$version-setup.exe
# The wizard's side picture: the program's icon on its blue.
side=$scratch/side.bmp
convert -size 164x314 gradient:'#2b5797-#1d3c6a' \( "$here/../src/resources/vemra.ico[7]" -resize 96x96 \) \
  -gravity north -geometry +0+48 -composite -type TrueColor BMP3:"$side"
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DVERSION_RECORD="$record" -DAPPDIR="$stage" \
  -DICON="$here/../src/resources/vemra.ico" -DSIDE="$side" -DOUTFILE="$setup" "$here/ordalis.nsi"
echo "pack: $zip"
echo "pack: $setup"
