# Shared by scripts/run and scripts/test: the build folder, the Wine prefix
# and a display.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${ORDALIS_BUILD:-$root/build}
export WINEPREFIX=$build/wineprefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES=mscoree,mshtml=
jobs=$(nproc 2>/dev/null || echo 2)

# Starts Xvfb on a free display when no display answers; it ends with the
# script, and so does the prefix's wineserver.
ensure_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then return; fi
  if [ -n "${DISPLAY:-}" ] && ! command -v xdpyinfo >/dev/null 2>&1 \
    && [ -e "/tmp/.X11-unix/X${DISPLAY#:}" ]; then return; fi
  local n=91
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  # Both may find nothing left to end; under set -e that must not fail the run.
  trap 'wineserver -k >/dev/null 2>&1 || true; kill $xvfb_pid 2>/dev/null || true' EXIT
  export DISPLAY=":$n"
  for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
}

# Configures once, then builds the native tree and, inside it, the Windows
# tree (an external project with the MinGW-w64 toolchain).
configure_and_build() {
  [ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug >/dev/null
  cmake --build "$build" -j"$jobs"
}
