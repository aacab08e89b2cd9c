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
: "${WINEPREFIX:?}" "${DISPLAY:?}"
mkdir -p "$out"

settings='HKCU\Software\Brenvik\Ordalis'
app=$(mktemp -d "${TMPDIR:-/tmp}/ordalis-e2e.XXXXXX")
program=""
saved=""

# The values this test sets are put back as they were, so the prefix is
# left to the other tests as it was found.
save_setting() {
  local line
  line=$(wine reg query "$settings" /v "$1" 2>/dev/null | tr -d '\r' |
    awk -v name="$1" '$1 == name { print $2 " " $3 }' || true)
  saved+="$1 ${line:-absent}"$'\n'
}
restore_settings() {
  local name type value
  while read -r name type value; do
    [ -n "$name" ] || continue
    if [ "$type" = absent ]; then
      wine reg delete "$settings" /v "$name" /f >/dev/null 2>&1 || true
    else
      [ "$type" = REG_DWORD ] && value=$((value))
      wine reg add "$settings" /v "$name" /t "$type" /d "$value" /f >/dev/null 2>&1 || true
    fi
  done <<<"$saved"
}

cleanup() {
  [ -z "$program" ] || kill "$program" 2>/dev/null || true
  restore_settings
  rm -rf "$app"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  import -window root "$out/add_delete_failure.png" 2>/dev/null || true
  exit 1
}

# Waits up to $1 seconds for a visible window whose title matches $2, other
# than the windows $3..., and prints its id.
wait_window() {
  local deadline=$((SECONDS + $1)) pattern=$2 id
  shift 2
  while [ $SECONDS -lt $deadline ]; do
    for id in $(xdotool search --onlyvisible --name "$pattern" 2>/dev/null || true); do
      case " $* " in *" $id "*) continue ;; esac
      echo "$id"
      return 0
    done
    sleep 0.1
  done
  return 1
}

# Waits up to $1 seconds until window $2 is no longer shown.
wait_closed() {
  local deadline=$((SECONDS + $1))
  while xdotool search --onlyvisible --name "$3" 2>/dev/null | grep -qx "$2"; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.1
  done
}

# Keys go to the X focus; without a window manager nobody moves it for us.
focus() {
  timeout 5 xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1" 2>/dev/null || true
}
press() {
  focus "$1"
  shift
  local key
  for key in "$@"; do
    xdotool key "$key"
    sleep 0.2
  done
}

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

if xdotool search --name '^Ordalis $' >/dev/null 2>&1; then
  fail "a copy of the program is running already"
fi

# No splash, no closing notice, and "nie erinnern" so that closing ends
# the program.
for name in Startup HelpDirekt Reminder Beenden; do save_setting "$name"; done
wine reg add "$settings" /v Startup /t REG_DWORD /d 1 /f >/dev/null 2>&1 || fail "registry"
wine reg add "$settings" /v HelpDirekt /t REG_DWORD /d 1 /f >/dev/null 2>&1 || fail "registry"
wine reg add "$settings" /v Reminder /t REG_SZ /d 3 /f >/dev/null 2>&1 || fail "registry"
wine reg delete "$settings" /v Beenden /f >/dev/null 2>&1 || true

cp "$exe" "$app/Vemra.exe"
wine "$app/Vemra.exe" >/dev/null 2>&1 &
program=$!
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
deadline=$((SECONDS + 15))
while kill -0 "$program" 2>/dev/null; do
  [ $SECONDS -lt $deadline ] || fail "the program did not end after Esc"
  sleep 0.1
done
program=""
echo "PASS"
