# Keys typed into a window under Xvfb: shared by the end-to-end scripts and
# the installer test.
# shellcheck shell=bash

# Keys go to the X focus; without a window manager nobody moves it for us.
focus() {
  timeout 5 xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1" 2>/dev/null || true
}
# Presses the keys $2... in window $1, one after the other.
press() {
  focus "$1"
  shift
  local key
  for key in "$@"; do
    xdotool key "$key"
    sleep 0.2
  done
}
