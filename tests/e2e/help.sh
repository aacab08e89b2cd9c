#!/usr/bin/env bash
# Help from the real program: with Lotse32.exe and Vemra.lhf beside
# Vemra.exe, F1 on the task list of "Wichtiges" starts the viewer on topic 3;
# "Hilfethemen " in the icon's menu is enabled and turns the same viewer to
# topic 1, without a second viewer window.
#
# Usage: help.sh <Vemra.exe> <folder for screenshots>
# Needs WINEPREFIX and DISPLAY (CTest and scripts/test give both).
set -euo pipefail
exe=$1
out=$2
# shellcheck source-path=SCRIPTDIR source=lib.sh
. "$(dirname "$0")/lib.sh"

here=$(dirname "$exe")
cp "$here/Lotse32.exe" "$here/Vemra.lhf" "$app/" || fail "no viewer or help file beside $exe"

# The caption the viewer shows for a topic, from the help file's "#n Title".
caption() {
  local title
  title=$(sed -n "s/^#$1 \(.*\)\$/\1/p" "$app/Vemra.lhf" | head -1 | sed 's/ *$//')
  [ -n "$title" ] || fail "the help file has no topic $1"
  printf 'Ordalis-Hilfe – %s' "$title"
}
# Regular expression of exactly that text.
exactly() {
  printf '^%s$' "$(printf '%s' "$1" | sed 's/[][\\.*^$()+?{}|]/\\&/g')"
}

# No splash, no closing notice, "nie erinnern"; the program starts on
# "Wichtiges" with the list focused.
set_settings '"Startup"=dword:00000001' '"HelpDirekt"=dword:00000001' '"Reminder"="3"' \
  '"Beenden"=-' '"Register"=-' || fail "registry"

start_program
program=$launched
main=$(wait_window 60 '^Ordalis $') || fail "the program shows no window \"Ordalis \""

press "$main" F1
topic3=$(caption 3)
viewer=$(wait_window 30 "$(exactly "$topic3")") || fail "F1 in \"Wichtiges\" showed no \"$topic3\""
# Wine names the process of each window; the viewer is ended with the rest.
viewer_pid=$(xdotool getwindowpid "$viewer") || fail "no process for the viewer"
running="$viewer_pid $running"
sleep 0.5
import -window root "$out/help_f1_wichtiges.png" || fail "no screenshot"

# The icon's menu: the sixth item is "Hilfethemen "; Enter opens topic 1
# only when the item is enabled.
tray=$(xdotool search --name '^Wine System Tray$' | head -1) || true
[ -n "$tray" ] || fail "no notification area"
# The viewer may lie over the tray window.
xdotool windowraise "$tray"
sleep 0.3
# The icon sits at the bottom left of the window, below its caption.
tray_height=$(xdotool getwindowgeometry --shell "$tray" | sed -n 's/^HEIGHT=//p')
xdotool mousemove --window "$tray" 10 $((${tray_height:-20} - 10)) click 3
sleep 1
# Without a window manager the click leaves the keyboard with the tray
# window, which belongs to another process; the menu reads the keys of its
# owner's thread (on Windows the owner comes to the front for it).
xdotool windowfocus "$main" 2>/dev/null || true
sleep 0.3
xdotool key Down Down Down Down Down Down
sleep 0.3
import -window root "$out/help_tray_menu.png" || fail "no screenshot"
xdotool key Return
topic1=$(caption 1)
wait_window 30 "$(exactly "$topic1")" >/dev/null ||
  fail "\"Hilfethemen \" did not turn the viewer to \"$topic1\""
[ "$(xdotool search --name '^Ordalis-Hilfe' | wc -l)" -eq 1 ] || fail "more than one viewer window"
[ "$(xdotool getwindowname "$viewer")" = "$topic1" ] || fail "topic 1 is not in the first viewer"

# Esc closes the viewer; Esc in the main window then ends the program.
press "$viewer" Escape
wait_closed 15 "$viewer" '^Ordalis-Hilfe' || fail "Esc did not close the viewer"
wait_gone 15 "$viewer_pid" || fail "the viewer did not end"
# A click into the list gives the main window the keyboard back from the
# tray window, which kept it since the menu.
xdotool mousemove --window "$main" 200 150 click 1
sleep 0.3
press "$main" Escape
wait_gone 15 "$program" || fail "the program did not end after Esc"
echo "PASS"
