#!/usr/bin/env bash
# A second copy of Vemra.exe, started while one runs, shows the notice
# "Wo sind die Programme", ends by itself after its wait, and leaves the
# running copy alone. The running copy is then closed as a user closes it
# (Esc, then "Ok" on the closing notice) and must end, having stored its
# state.
#
# Usage: second_instance.sh <Vemra.exe> <folder for screenshots>
# Needs WINEPREFIX and DISPLAY (CTest and scripts/test give both).
set -euo pipefail
exe=$1
out=$2
# shellcheck source-path=SCRIPTDIR source=lib.sh
. "$(dirname "$0")/lib.sh"

# No splash (it only slows the start), "nie erinnern" so that closing ends
# the program.
set_settings '"Startup"=dword:00000001' '"Reminder"="3"' '"Beenden"=-' || fail "registry import"

start_program
first=$launched
main=$(wait_window 60 '^Ordalis $') || fail "the first copy shows no window \"Ordalis \""
geometry_before=$(xdotool getwindowgeometry "$main")

start_program
second=$launched
started=$SECONDS
notice=$(wait_window 15 '^Wo sind die Programme$') || fail "the second copy shows no notice"
import -window root "$out/second_instance_notice.png" || fail "no screenshot"
# In the lower right corner of the screen.
eval "$(xdotool getwindowgeometry --shell "$notice")"
read -r screen_width screen_height < <(xdotool getdisplaygeometry)
[ "$X" -gt $((screen_width / 2)) ] && [ "$Y" -gt $((screen_height / 2)) ] ||
  fail "the notice is at $X,$Y, not in the lower right corner"

wait_gone 15 "$second" || fail "the second copy did not end within 15 s"
echo "second copy ended after about $((SECONDS - started)) s"
if xdotool search --onlyvisible --name '^Wo sind die Programme$' >/dev/null 2>&1; then
  fail "the notice outlived the second copy"
fi

# The first copy is as it was.
kill -0 "$first" 2>/dev/null || fail "the first copy ended"
[ "$(xdotool getwindowname "$main")" = "Ordalis " ] || fail "the first copy's title changed"
[ "$(xdotool getwindowgeometry "$main")" = "$geometry_before" ] || fail "the first copy moved"
[ "$(xdotool search --name '^Ordalis $' | wc -l)" -eq 1 ] || fail "more than one main window"

# Esc is "Schließen"; the closing notice comes unless it was switched off.
# The notice took the keyboard; without a window manager, Wine activates the
# first copy's window again only on a click, as a user would give it.
xdotool mousemove --window "$main" 200 150 click 1
sleep 0.3
press "$main" Escape
deadline=$((SECONDS + 15))
while kill -0 "$first" 2>/dev/null && [ $SECONDS -lt $deadline ]; do
  if closing=$(xdotool search --onlyvisible --name '^ Ordalis$' 2>/dev/null | head -1) &&
    [ -n "$closing" ]; then
    press "$closing" Return
    sleep 0.5
  fi
  sleep 0.1
done
wait_gone 1 "$first" || fail "the first copy did not end after Esc and the notice"

reminder=$(wine reg query "$settings" /v Reminder 2>/dev/null | tr -d '\r' |
  awk '$1 == "Reminder" { print $3 }')
[ "$reminder" = "3" ] || fail "the close stored Reminder \"$reminder\", not \"3\""
echo "PASS"
