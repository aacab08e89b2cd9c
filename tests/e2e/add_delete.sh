#!/usr/bin/env bash
# A task added with the keyboard reaches the data file, and is gone from it
# after it is deleted through its question: "&Hinzufügen" (Alt+H), the
# description typed, Enter from field to field up to "&Ok" and on it; then
# "&Löschen" (Alt+L) on the selected row and Enter for "Yes". The editor is
# photographed for "Wichtiges" and for "Sonstiges".
#
# Usage: add_delete.sh <Vemra.exe> <folder for screenshots>
# Needs WINEPREFIX and DISPLAY (CTest and scripts/test give both).
set -euo pipefail
exe=$1
out=$2
# shellcheck source-path=SCRIPTDIR source=lib.sh
. "$(dirname "$0")/lib.sh"

# The tasks of a section of the data file, one "key|date|time|description"
# a line: every value unscrambled (XOR with the key "7318" digit + 96).
tasks() {
  python3 - "$app/Vemra.dat" "$1" <<'EOF'
import sys
path, wanted = sys.argv[1], sys.argv[2]
try:
    lines = open(path, "rb").read().split(b"\r\n")
except FileNotFoundError:
    sys.exit(0)
key = b"7318"
section = None
for line in lines:
    if line.startswith(b"[") and line.endswith(b"]"):
        section = line[1:-1].decode("cp1252")
        continue
    if section != wanted or b"=" not in line:
        continue
    name, value = line.split(b"=", 1)
    if len(value) >= 2 and value[:1] == b'"' and value[-1:] == b'"':
        value = value[1:-1]
    plain = bytes(c ^ (key[i % 4] + 96) for i, c in enumerate(value))
    if not name.decode().isdigit() or not 100 <= int(name) <= 199:
        continue
    print(name.decode() + "|" + plain.decode("cp1252").replace("^", "\u20ac"))
EOF
}

# No splash, no closing notice, and "nie erinnern" so that closing ends
# the program.
set_settings '"Startup"=dword:00000001' '"HelpDirekt"=dword:00000001' '"Reminder"="3"' \
  '"Beenden"=-' || fail "registry"

start_program
program=$launched
main=$(wait_window 60 '^Ordalis $') || fail "the program shows no window \"Ordalis \""

# Add: the program starts on "Wichtiges".
press "$main" alt+h
editor=$(wait_window 15 '^ Neue Aufgabe$') || fail "Alt+H opened no editor"
focus "$editor"
xdotool type --delay 50 "Zahnarzt für Jörg"
sleep 0.5
import -window root "$out/editor_wichtiges.png" || fail "no screenshot"
# Description, day, month, year, hour, minute: each Enter leads on; the
# last one lands on "&Ok", and Enter there accepts.
press "$editor" Return Return Return Return Return Return
wait_closed 1 "$editor" '^ Neue Aufgabe$' && fail "the editor closed before \"&Ok\""
press "$editor" Return
wait_closed 15 "$editor" '^ Neue Aufgabe$' || fail "Enter on \"&Ok\" did not accept"

stored=$(tasks Important)
echo "stored: $stored"
[ "$(wc -l <<<"$stored")" -eq 1 ] || fail "not one important task stored: $stored"
grep -Eq '^100\|[0-9]{2}-[0-9]{2}-[0-9]{4}\|[0-9]{2}:[0-9]{2}\|Zahnarzt für Jörg$' <<<"$stored" ||
  fail "the stored task is not the one typed: $stored"

# Delete: the new row is selected, the list has the focus.
press "$main" alt+l
question=$(wait_window 15 '^Ordalis $' "$main") || fail "Alt+L asked nothing"
press "$question" Return
wait_closed 15 "$question" '^Ordalis $' || fail "the question stayed open"
sleep 0.5
stored=$(tasks Important)
[ -z "$stored" ] || fail "the task is still stored after \"Yes\": $stored"

# The editor of "Sonstiges" has no time; cancelled, it stores nothing.
press "$main" alt+s alt+h
editor=$(wait_window 15 '^ Neue Aufgabe$') || fail "Alt+H in \"Sonstiges\" opened no editor"
sleep 0.5
import -window root "$out/editor_sonstiges.png" || fail "no screenshot"
press "$editor" Escape
wait_closed 15 "$editor" '^ Neue Aufgabe$' || fail "Esc did not cancel the editor"
[ -z "$(tasks Others)" ] || fail "the cancelled editor stored a task"

# Esc is "Schließen": without a reminder the program ends.
press "$main" Escape
wait_gone 15 "$program" || fail "the program did not end after Esc"
echo "PASS"
