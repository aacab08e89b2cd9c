#!/usr/bin/env bash
# Everything a user does with a task, by keyboard alone, in the real
# program: add ("&Hinzufügen", Enter from field to field up to "OK" and on
# it), edit (Enter on the task), put it into "Erledigtes" (Ctrl+E), delete it
# there (Del), every tab by its access key, the reminder mode, the options
# opened and closed, and the end through the icon's menu. The editors of
# "Wichtiges" and "Sonstiges", the list's menu and the icon's menu are
# photographed.
#
# Usage: keyboard.sh <Vemra.exe> <folder for screenshots>
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

# No splash, no closing notice, and "nie erinnern" at the start.
set_settings '"Startup"=dword:00000001' '"HelpDirekt"=dword:00000001' '"Reminder"="3"' \
  '"Beenden"=-' || fail "registry"

start_program
program=$launched
main=$(wait_window 60 '^Ordalis $') || fail "the program shows no window \"Ordalis \""

# Add: the program starts on "Wichtiges".
press "$main" alt+h
editor=$(wait_window 15 '^ Neue Aufgabe$') || fail "Alt+H opened no editor"
focus "$editor"
sleep 0.3
xdotool type --delay 150 "Zahnarzt für Jörg"
sleep 0.5
import -window root "$out/editor_wichtiges.png" || fail "no screenshot"
# Description, day, month, year, hour, minute: each Enter leads on; the
# last one lands on "OK", and Enter there accepts.
press "$editor" Return Return Return Return Return Return
wait_closed 1 "$editor" '^ Neue Aufgabe$' && fail "the editor closed before \"OK\""
press "$editor" Return
wait_closed 15 "$editor" '^ Neue Aufgabe$' || fail "Enter on \"OK\" did not accept"
stored=$(tasks Important)
echo "stored: $stored"
grep -Eq '^100\|[0-9]{2}-[0-9]{2}-[0-9]{4}\|[0-9]{2}:[0-9]{2}\|Zahnarzt für Jörg$' <<<"$stored" ||
  fail "the stored task is not the one typed: $stored"

# Edit: the new row is selected and the list has the keyboard; Enter opens it.
press "$main" Return
editor=$(wait_window 15 '^ Aufgabe bearbeiten$') || fail "Enter on the task opened no editor"
focus "$editor"
xdotool key ctrl+a
xdotool type --delay 50 "Zahnarzt am Montag"
press "$editor" Return Return Return Return Return Return Return
wait_closed 15 "$editor" '^ Aufgabe bearbeiten$' || fail "the edit was not accepted"
grep -q '|Zahnarzt am Montag$' <<<"$(tasks Important)" || fail "the edit was not stored"

# The list's menu, from the keyboard, photographed and closed again.
press "$main" shift+F10
sleep 0.5
import -window root "$out/list_menu.png" || fail "no screenshot"
press "$main" Escape
sleep 0.3

# Into "Erledigtes" with Ctrl+E, and there deleted with Del; "Ja" is the
# questions' default.
press "$main" ctrl+e
question=$(wait_window 15 '^ Als erledigt ablegen$') || fail "Ctrl+E asked nothing"
press "$question" Return
wait_closed 15 "$question" '^ Als erledigt ablegen$' || fail "the question stayed open"
sleep 0.5
[ -z "$(tasks Important)" ] || fail "the task is still in \"Wichtiges\""
grep -q '|Zahnarzt am Montag$' <<<"$(tasks Done)" || fail "the task did not reach \"Erledigtes\""
press "$main" Delete
question=$(wait_window 15 '^Ordalis $' "$main") || fail "Del asked nothing"
press "$question" Return
wait_closed 15 "$question" '^Ordalis $' || fail "the question stayed open"
sleep 0.5
[ -z "$(tasks Done)" ] || fail "the task is still stored after \"Ja\": $(tasks Done)"

# The editor of "Sonstiges" has no time; cancelled, it stores nothing.
press "$main" alt+s alt+h
editor=$(wait_window 15 '^ Neue Aufgabe$') || fail "Alt+H in \"Sonstiges\" opened no editor"
sleep 0.5
import -window root "$out/editor_sonstiges.png" || fail "no screenshot"
press "$editor" Escape
wait_closed 15 "$editor" '^ Neue Aufgabe$' || fail "Esc did not cancel the editor"
[ -z "$(tasks Others)" ] || fail "the cancelled editor stored a task"

# Every tab, the mode "stündlich", and the options from "Alles".
press "$main" alt+e alt+w alt+t alt+a alt+i
options=$(wait_window 15 '^ Einstellungen$') || fail "Alt+I in \"Alles\" opened no options"
press "$options" Escape
wait_closed 15 "$options" '^ Einstellungen$' || fail "Esc did not close the options"

# The end through the icon's menu, by its key "&Beenden".
tray_menu_key "$main" b
wait_gone 15 "$program" || fail "\"&Beenden\" in the icon's menu did not end the program"
reminder=$(wine reg query "$settings" /v Reminder 2>/dev/null | tr -d '\r' |
  awk '$1 == "Reminder" { print $3 }')
[ "$reminder" = "1" ] || fail "the mode chosen by Alt+T was stored as \"$reminder\", not \"1\""
echo "PASS"
