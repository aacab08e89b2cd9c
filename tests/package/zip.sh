#!/usr/bin/env bash
# The portable zip holds one folder Ordalis-<version> with the program, the
# viewer, the help file, the German notes and the licence, and nothing else;
# packing the same files again, touched since, gives the same bytes.
#
# Usage: zip.sh <folder of the built program> <folder of the packages> <version>
set -euo pipefail
built=$1
dist=$2
version=$3
zip=$dist/Ordalis-$version-portable.zip
root=$(cd "$(dirname "$0")/../.." && pwd)
tmp=$(mktemp -d "${TMPDIR:-/tmp}/ordalis-zip.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

python3 - "$zip" "$built" "$version" <<'PY' || fail "the zip's content"
import sys, zipfile
path, built, version = sys.argv[1:4]
top = f"Ordalis-{version}/"
files = ["Vemra.exe", "Lotse32.exe", "Vemra.lhf", "LIESMICH.txt", "LIZENZ.txt"]
with zipfile.ZipFile(path) as z:
    listed = z.namelist()
    if listed != [top] + [top + name for name in files]:
        sys.exit(f"listed {listed}")
    for name in files[:3]:
        if z.read(top + name) != open(f"{built}/{name}", "rb").read():
            sys.exit(f"{name} is not the built one")
    notes = z.read(top + "LIESMICH.txt")
    # Windows' editor: the UTF-8 mark, CR LF, the umlauts intact.
    if not notes.startswith(b"\xef\xbb\xbf") or b"\n" in notes.replace(b"\r\n", b""):
        sys.exit("LIESMICH.txt is not UTF-8 with CR LF")
    if "Aufgaben" not in notes.decode("utf-8") or "Änderung" not in notes.decode("utf-8"):
        sys.exit("LIESMICH.txt lost its text")
PY

cp -r "$built" "$tmp/app"
touch "$tmp/app"/*
"$root/installer/pack.sh" "$tmp/app" "$tmp/again" "$version" >/dev/null
cmp "$zip" "$tmp/again/Ordalis-$version-portable.zip" || fail "packing again gave other bytes"
echo "zip: $(python3 -c 'import sys,zipfile; print(len(zipfile.ZipFile(sys.argv[1]).namelist()))' "$zip") entries, reproducible"
