#!/usr/bin/env bash
# The password as a user meets it in the real program: set in the options
# ("&Kennwort:" and "&Wiederholen:"), asked at the next start, where a wrong
# one only empties the field and the right one opens the view; and after a
# start with Windows ("/a") with a task due this very minute, the prompt
# comes before any task is shown.
#
# Usage: password.sh <Vemra.exe> <folder for screenshots>
# Needs WINEPREFIX and DISPLAY (CTest and scripts/test give both).
set -euo pipefail
exe=$1
out=$2
# shellcheck source-path=SCRIPTDIR source=lib.sh
. "$(dirname "$0")/lib.sh"

# The stored password, unscrambled (XOR with the key "7318" digit + 96);
# empty when there is none.
stored_password() {
  python3 - "$app/Vemra.dat" <<'EOF'
import sys
try:
    lines = open(sys.argv[1], "rb").read().splitlines()
except FileNotFoundError:
    sys.exit(0)
section = None
for line in lines:
    if line.startswith(b"[") and line.endswith(b"]"):
        section = line[1:-1]
    elif section == b"Others" and line.startswith(b"200="):
        value = line[4:]
        if len(value) >= 2 and value[:1] == b'"' and value[-1:] == b'"':
            value = value[1:-1]
        print(bytes(c ^ (b"7318"[i % 4] + 96) for i, c in enumerate(value)).decode("cp1252"))
EOF
}

# Whether the main window shows: visible and not an icon.
main_shown() {
  local id
  for id in $(xdotool search --onlyvisible --name '^Ordalis $' 2>/dev/null || true); do
    [ "$(xdotool getwindowgeometry "$id" | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p')" -gt 100 ] &&
      return 0
  done
  return 1
}

prompt_caption='^ Authentifizierung $'

# No splash, no closing notice, "nie erinnern", the icon configured.
set_settings '"Startup"=dword:00000001' '"HelpDirekt"=dword:00000001' '"Reminder"="3"' \
  '"Beenden"=-' '"Register"=-' '"Symbol"=-' || fail "registry"

# Set: "E&instellungen…" stands in "Alles"; the password typed twice.
start_program
program=$launched
main=$(wait_window 60 '^Ordalis $') || fail "the program shows no window \"Ordalis \""
press "$main" alt+a alt+i
options=$(wait_window 15 '^ Einstellungen$') || fail "Alt+O in \"Alles\" opened no options"
press "$options" alt+k
xdotool type --delay 50 "Geheim 1"
press "$options" alt+w
xdotool type --delay 50 "Geheim 1"
sleep 0.3
import -window root "$out/password_options.png" || fail "no screenshot"
press "$options" Return
wait_closed 15 "$options" '^ Einstellungen$' || fail "Enter did not accept the options"
[ "$(stored_password)" = "Geheim 1" ] || fail "the password stored is \"$(stored_password)\""
press "$main" Escape
wait_gone 15 "$program" || fail "the program did not end after Esc"

# The next start asks before the window shows; a wrong password is told,
# and the typed text stays selected for the next try to type over.
start_program
program=$launched
prompt=$(wait_window 60 "$prompt_caption") || fail "the next start asked for no password"
main_shown && fail "the tasks show behind the prompt"
sleep 0.3
import -window root "$out/password_prompt.png" || fail "no screenshot"
press "$prompt" g e h e i m Return
sleep 1
told=$(wait_window 15 '^Ordalis$') || fail "a wrong password was not told"
press "$told" Return
wait_closed 1 "$prompt" "$prompt_caption" && fail "a wrong password opened the view"
main_shown && fail "a wrong password showed the tasks"
xdotool type --delay 50 "Geheim 1"
press "$prompt" Return
wait_closed 15 "$prompt" "$prompt_caption" || fail "the right password did not close the prompt"
main=$(wait_window 30 '^Ordalis $') || fail "the right password showed no window"
xdotool mousemove --window "$main" 200 150 click 1
sleep 0.3
press "$main" Escape
wait_gone 15 "$program" || fail "the program did not end after Esc"

# Started with Windows, a task due this minute: its sound may play, but the
# prompt comes before any task is shown. The task is written early in a
# minute, so the start falls into the same one.
while [ "$(date +%S)" -gt 40 ]; do sleep 1; done
python3 - "$app/Vemra.dat" "$(date +%m-%d-%Y)" "$(date +%H:%M)" <<'EOF'
import sys
path, day, minute = sys.argv[1:]
scramble = lambda text: bytes(c ^ (b"7318"[i % 4] + 96) for i, c in enumerate(text.encode("cp1252")))
data = open(path, "rb").read()
task = b"[Important]\r\n100=" + scramble(day + "|" + minute + "|Jetzt anrufen") + b"\r\n"
open(path, "wb").write(task + data)
EOF
start_program /a
program=$launched
prompt=$(wait_window 60 "$prompt_caption") || fail "the due task at a start with Windows asked for no password"
main_shown && fail "the due task shows before the password"
press "$prompt" Escape
wait_closed 15 "$prompt" "$prompt_caption" || fail "\"Abbrechen\" did not close the prompt"
# A reminder's prompt cancelled: the program waits on in the notification
# area, with no task on screen.
sleep 1
kill -0 "$program" 2>/dev/null || fail "\"Abbrechen\" in a reminder's prompt ended the program"
main_shown && fail "the tasks showed after \"Abbrechen\""
echo "PASS"
