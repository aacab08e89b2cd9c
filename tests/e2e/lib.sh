# Shared by the end-to-end scripts; sourced once `exe` (the built Vemra.exe)
# and `out` (the folder for screenshots) are set. Sourcing it sets the test
# up: a scratch program folder holding a copy of the program, so the data
# file is the test's own, and the program's settings in the prefix noted, to
# be put back as they were found. On exit the copies of the program the test
# started are ended and the folder is removed.
# shellcheck shell=bash
: "${exe:?}" "${out:?}" "${WINEPREFIX:?}" "${DISPLAY:?}"
mkdir -p "$out"

test_name=$(basename "$0" .sh) # names the failure screenshot
settings='HKCU\Software\Brenvik\Ordalis'
app=$(mktemp -d "${TMPDIR:-/tmp}/ordalis-e2e.XXXXXX")
running=""  # copies started and not seen to end, the newest first
saved=""    # the settings as found: "" before they are noted, "absent", or an export
launched="" # the copy start_program started last

# Every value of the program's key is put back, and nothing is left that
# was not there; before the settings are noted there is nothing to put back.
restore_settings() {
  [ -n "$saved" ] || return 0
  wine reg delete "$settings" /f >/dev/null 2>&1 || true
  [ "$saved" = absent ] || wine reg import "$saved" >/dev/null 2>&1 || true
}

cleanup() {
  local pid
  for pid in $running; do kill "$pid" 2>/dev/null || true; done
  for pid in $running; do
    for _ in $(seq 50); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -9 "$pid" 2>/dev/null || true
  done
  restore_settings
  rm -rf "$app"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  import -window root "$out/${test_name}_failure.png" 2>/dev/null || true
  exit 1
}

# Sets values of the program's key from .reg lines: "Name"=dword:00000001,
# "Name"="text", or "Name"=- to remove one.
set_settings() {
  printf '%s\n' REGEDIT4 '' '[HKEY_CURRENT_USER\Software\Brenvik\Ordalis]' "$@" \
    >"$app/settings.reg"
  wine reg import "$(winepath -w "$app/settings.reg")" >/dev/null 2>&1
}

# Starts the copy in the scratch folder with the arguments given ("/a" for
# the start with Windows); its process id goes to $launched.
start_program() {
  wine "$app/Vemra.exe" "$@" >/dev/null 2>&1 &
  launched=$!
  running="$launched $running"
}

# Waits up to $1 seconds for process $2 to end.
wait_gone() {
  local deadline=$((SECONDS + $1)) pid rest=""
  while kill -0 "$2" 2>/dev/null; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.1
  done
  for pid in $running; do [ "$pid" = "$2" ] || rest+="$pid "; done
  running=$rest
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

# Waits up to $1 seconds until window $2, titled as $3 matches, is no
# longer shown.
wait_closed() {
  local deadline=$((SECONDS + $1))
  while xdotool search --onlyvisible --name "$3" 2>/dev/null | grep -qx "$2"; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.1
  done
}

# Opens the icon's menu with a click into Wine's notification area (under
# Xvfb it has no keyboard path) and chooses an item by its access key $2.
# The menu reads the keys that reach its owner, window $1: the X keyboard
# stays where it is put before the click. Wine's tray drops a click now and
# then while it shows the icon's tip, and the first key into a new menu is
# sometimes lost: a click that opened no menu, and a key that left the menu
# open, are tried again.
tray_menu_key() {
  local tray height before menu="" try id h
  tray=$(wait_window 15 '^Wine System Tray$') || fail "no notification area"
  height=$(xdotool getwindowgeometry --shell "$tray" | sed -n 's/^HEIGHT=//p')
  for try in 1 2 3 4 5; do
    if [ -z "$menu" ]; then
      before=" $(xdotool search --onlyvisible --name '' 2>/dev/null | tr '\n' ' ') "
      focus "$1"
      xdotool mousemove 600 600 sleep 0.5
      xdotool windowraise "$tray" sleep 0.3
      xdotool mousemove --window "$tray" 10 $((${height:-20} - 10)) click 3
      sleep 1
      for id in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
        case "$before" in *" $id "*) continue ;; esac
        h=$(xdotool getwindowgeometry --shell "$id" | sed -n 's/^HEIGHT=//p')
        if [ "${h:-0}" -gt 100 ]; then menu=$id; fi
      done
      if [ -z "$menu" ]; then
        echo "the click into the notification area opened no menu (try $try)" >&2
        continue
      fi
      import -window root "$out/tray_menu.png" 2>/dev/null || true
    fi
    [ "$try" = 1 ] || focus "$1"
    xdotool key "$2"
    sleep 1
    xdotool search --onlyvisible --name '' 2>/dev/null | grep -qx "$menu" || return 0
    echo "the key \"$2\" did not reach the icon's menu (try $try)" >&2
  done
  fail "the icon's menu did not take the key \"$2\""
}

# shellcheck source-path=SCRIPTDIR source=keys.sh
. "$(dirname "${BASH_SOURCE[0]}")/keys.sh"

if xdotool search --name '^Ordalis $' >/dev/null 2>&1; then
  fail "a copy of the program is running already"
fi
cp "$exe" "$app/Vemra.exe"
if wine reg export "$settings" "$(winepath -w "$app/before.reg")" /y >/dev/null 2>&1; then
  saved=$(winepath -w "$app/before.reg")
else
  saved=absent
fi
