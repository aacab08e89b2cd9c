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
: "${WINEPREFIX:?}" "${DISPLAY:?}"
mkdir -p "$out"

app=$(mktemp -d "${TMPDIR:-/tmp}/ordalis-e2e.XXXXXX")
key='HKCU\Software\Brenvik\Ordalis'
first=""
second=""
saved=""
# The program's settings in the prefix are left as they were found.
cleanup() {
  for pid in $second $first; do kill "$pid" 2>/dev/null || true; done
  for pid in $second $first; do
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$pid" 2>/dev/null || true
  done
  wine reg delete "$key" /f >/dev/null 2>&1 || true
  [ -z "$saved" ] || wine reg import "$saved" >/dev/null 2>&1 || true
  rm -rf "$app"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  import -window root "$out/second_instance_failure.png" 2>/dev/null || true
  exit 1
}

# Waits up to $1 seconds for a visible window whose title matches $2 and
# prints its id.
wait_window() {
  local deadline=$((SECONDS + $1)) id
  while [ $SECONDS -lt $deadline ]; do
    id=$(xdotool search --onlyvisible --name "$2" 2>/dev/null | head -1 || true)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# Waits up to $1 seconds for process $2 to end.
wait_gone() {
  local deadline=$((SECONDS + $1))
  while kill -0 "$2" 2>/dev/null; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.1
  done
}

# Keys go to the X focus; without a window manager nobody moves it for us.
press() {
  timeout 5 xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1" 2>/dev/null || true
  xdotool key "$2"
}

if xdotool search --name '^Ordalis $' >/dev/null 2>&1; then
  fail "a copy of the program is running already"
fi

# A private program folder, so the data file is this test's own. No splash
# (it only slows the start), "nie erinnern" so that closing ends the
# program.
cp "$exe" "$app/Vemra.exe"
if wine reg export "$key" "$(winepath -w "$app/before.reg")" /y >/dev/null 2>&1; then
  saved=$(winepath -w "$app/before.reg")
fi
cat >"$app/settings.reg" <<'EOF'
REGEDIT4

[HKEY_CURRENT_USER\Software\Brenvik\Ordalis]
"Startup"=dword:00000001
"Reminder"="3"
"Beenden"=-
EOF
wine reg import "$(winepath -w "$app/settings.reg")" >/dev/null 2>&1 || fail "registry import"

wine "$app/Vemra.exe" >/dev/null 2>&1 &
first=$!
main=$(wait_window 60 '^Ordalis $') || fail "the first copy shows no window \"Ordalis \""
geometry_before=$(xdotool getwindowgeometry "$main")

wine "$app/Vemra.exe" >/dev/null 2>&1 &
second=$!
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
second=""
if xdotool search --onlyvisible --name '^Wo sind die Programme$' >/dev/null 2>&1; then
  fail "the notice outlived the second copy"
fi

# The first copy is as it was.
kill -0 "$first" 2>/dev/null || fail "the first copy ended"
[ "$(xdotool getwindowname "$main")" = "Ordalis " ] || fail "the first copy's title changed"
[ "$(xdotool getwindowgeometry "$main")" = "$geometry_before" ] || fail "the first copy moved"
[ "$(xdotool search --name '^Ordalis $' | wc -l)" -eq 1 ] || fail "more than one main window"

# Esc is "Schließen"; the closing notice comes unless it was switched off.
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
first=""

reminder=$(wine reg query "$key" /v Reminder 2>/dev/null | tr -d '\r' |
  awk '$1 == "Reminder" { print $3 }')
[ "$reminder" = "3" ] || fail "the close stored Reminder \"$reminder\", not \"3\""
echo "PASS"
