#!/usr/bin/env bash
# Vemra.exe started twice at the same moment from one folder, twenty times:
# each time exactly one main window "Ordalis " appears, and the other copy
# shows the notice "Wo sind die Programme" and ends.
#
# Usage: same_moment.sh <Vemra.exe> <folder for screenshots>
# Needs WINEPREFIX and DISPLAY (CTest and scripts/test give both).
set -euo pipefail
exe=$1
out=$2
# shellcheck source-path=SCRIPTDIR source=lib.sh
. "$(dirname "$0")/lib.sh"

set_settings '"Startup"=dword:00000001' '"Reminder"="3"' '"Beenden"=-' || fail "registry import"

count() { { xdotool search --onlyvisible --name "$1" 2>/dev/null || true; } | wc -l; }

for try in $(seq 20); do
  start_program
  first=$launched
  start_program
  second=$launched
  # Until both copies have decided: a main window and a notice, or two
  # main windows.
  deadline=$((SECONDS + 30))
  while :; do
    mains=$(count '^Ordalis $')
    notices=$(count '^Wo sind die Programme$')
    { [ "$mains" -ge 1 ] && [ "$notices" -ge 1 ]; } || [ "$mains" -ge 2 ] && break
    [ $SECONDS -lt $deadline ] || fail "try $try: no window after 30 s"
    sleep 0.2
  done
  sleep 0.5
  mains=$(count '^Ordalis $')
  [ "$mains" -eq 1 ] || fail "try $try: $mains main windows"
  kill "$first" "$second" 2>/dev/null || true
  wait_gone 15 "$first" || fail "try $try: the first copy did not end"
  wait_gone 15 "$second" || fail "try $try: the second copy did not end"
done
echo "20 tries, one program each time"
