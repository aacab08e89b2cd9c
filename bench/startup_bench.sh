#!/usr/bin/env bash
# Start-up benchmark (prints figures, asserts nothing). Under Wine it starts
# Vemra.exe, bench/minimal_window.exe (one window, nothing else),
# bench/list_floor.exe (one window with a tab control and a four-column
# report list under Vemra's manifest: the floor for any program that shows a
# list) and bench/controls_floor.exe (the floor with the other controls of
# Vemra's main window: its buttons, frame and options) several times each,
# in turns, and prints per program the median time from the start of the
# process to a visible main window, the median peak working set (VmHWM of
# the Wine process, read one second after the window showed) and how many
# modules it had loaded then; then the ratios of Vemra.exe to the three
# others (and to the floor also turn by turn), and the trace of one more start of Vemra and
# of the floor (ORDALIS_TRACE). Then bench/idle_messages.exe counts what the
# idle main window takes from its message queue per phase, with a task
# snoozed.
#
# Usage: bench/startup_bench.sh [runs, default 5] [idle seconds, default 60]
# Build first (scripts/test or cmake --build); ORDALIS_BUILD names the build
# folder as for scripts/test. The benchmark uses a Wine prefix of its own
# (<build>/bench-prefix), so it neither disturbs nor is disturbed by tests.
set -euo pipefail
runs=${1:-5}
idle_seconds=${2:-60}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../scripts/lib.sh"
export WINEPREFIX=$build/bench-prefix
windows=$build/windows
map_wait=$build/bench/map_wait
for exe in "$map_wait" "$windows/app/Vemra.exe" "$windows/bench/minimal_window.exe" \
  "$windows/bench/list_floor.exe" "$windows/bench/controls_floor.exe" \
  "$windows/bench/idle_messages.exe"; do
  [ -f "$exe" ] || { echo "missing $exe: build first" >&2; exit 1; }
done
ensure_display
"$here/../scripts/wine-prefix"
wineserver -p  # one server for every run: no server start inside a measurement

scratch=$(mktemp -d "${TMPDIR:-/tmp}/ordalis-bench.XXXXXX")
running=""
finish() {
  [ -n "$running" ] && kill "$running" 2>/dev/null || true
  rm -rf "$scratch"
  wineserver -k >/dev/null 2>&1 || true
}
trap 'finish; kill ${xvfb_pid:-} 2>/dev/null || true' EXIT

cp "$windows/app/Vemra.exe" "$windows/bench/minimal_window.exe" "$windows/bench/list_floor.exe" \
  "$windows/bench/controls_floor.exe" "$scratch/"
# The measured start is the plain one: no splash (its second is deliberate)
# and no closing notice.
cat >"$scratch/settings.reg" <<'EOF'
REGEDIT4

[HKEY_CURRENT_USER\Software\Brenvik\Ordalis]
"Startup"=dword:00000001
"HelpDirekt"=dword:00000001
EOF
# Only these: what an earlier run or test left in the prefix (no icon in
# the notification area, another reminder mode) would take another path.
wine reg delete 'HKCU\Software\Brenvik\Ordalis' /f >/dev/null 2>&1 || true
wine reg import "$(winepath -w "$scratch/settings.reg")" >/dev/null 2>&1

# The modules (.dll and .exe files) mapped into a process.
modules() { grep -oiE '[^/ ]+\.(dll|exe)$' "/proc/$1/maps" | tr '[:upper:]' '[:lower:]' | sort -u; }

# One start: sets shown (ms to a visible window), hwm (VmHWM in kB) and
# loaded (the module names, one a line). map_wait starts the program and
# tells the moment its window is mapped from the X server's event; polling
# for the window would start a process every few milliseconds beside the
# program measured, on a machine of two cores.
measure() {
  local exe=$1 title=$2 watch pid line=""
  : >"$scratch/mapped"
  "$map_wait" "$title" 60000 wine "$exe" >"$scratch/mapped" 2>/dev/null &
  watch=$!
  running=$watch
  until [ -n "$line" ]; do
    if ! kill -0 "$watch" 2>/dev/null; then
      echo "no window \"$title\" from $exe" >&2
      return 1
    fi
    sleep 0.05
    read -r line <"$scratch/mapped" || true
  done
  shown=${line% *}
  pid=${line#* }
  sleep 1
  hwm=$(awk '/^VmHWM:/ { print $2 }' "/proc/$pid/status")
  loaded=$(modules "$pid")
  kill "$pid"
  wait "$watch" 2>/dev/null || true  # map_wait returns once the program has ended
  running=""
}

median() { tr ' ' '\n' | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

programs=(Vemra minimal_window list_floor controls_floor)
declare -A title=([Vemra]='Ordalis ' [minimal_window]='Ordalis Minimal'
  [list_floor]='Ordalis Floor' [controls_floor]='Ordalis Floor Controls')
declare -A times hwms module_list time_median hwm_median
for program in "${programs[@]}"; do
  measure "$scratch/$program.exe" "${title[$program]}"  # warms the file cache; not counted
done
# In turns, so that a change in the machine's load touches every program alike.
for _ in $(seq "$runs"); do
  for program in "${programs[@]}"; do
    measure "$scratch/$program.exe" "${title[$program]}"
    times[$program]+="$shown "
    hwms[$program]+="$hwm "
    module_list[$program]=$loaded
  done
done
for program in "${programs[@]}"; do
  time_median[$program]=$(echo "${times[$program]% }" | median)
  hwm_median[$program]=$(echo "${hwms[$program]% }" | median)
  printf '%-15s window after %s ms (runs: %s)   peak working set %s kB (runs: %s)   modules %s\n' \
    "$program" "${time_median[$program]}" "${times[$program]% }" "${hwm_median[$program]}" \
    "${hwms[$program]% }" "$(echo "${module_list[$program]}" | grep -c .)"
done
echo "modules of Vemra beyond the floor: $(comm -23 <(echo "${module_list[Vemra]}") \
  <(echo "${module_list[list_floor]}") | tr '\n' ' ')"
ratio() {
  awk -v vt="${time_median[Vemra]}" -v mt="${time_median[$1]}" \
    -v vh="${hwm_median[Vemra]}" -v mh="${hwm_median[$1]}" -v name="$2" \
    'BEGIN { printf "ratio Vemra / %s: time to window %.2f, peak working set %.2f\n", name, vt / mt, vh / mh }'
}
ratio minimal_window minimal
ratio list_floor floor
ratio controls_floor "floor with Vemra's controls"
# The same ratio turn by turn: each start of Vemra against the floor's start
# in the same turn, seconds later, and the median of those. A slow spell of
# the machine then touches both sides of a ratio alike.
paste -d' ' <(echo "${times[Vemra]% }" | tr ' ' '\n') <(echo "${times[list_floor]% }" | tr ' ' '\n') |
  awk '{ print $1 / $2 }' | median | awk '{ printf "median of the ratios Vemra / floor within each turn: %.2f\n", $1 }'

# One more start of Vemra and of the floor with the trace switched on (not
# counted above): where the time to the window goes, which modules come in
# at each step, and when the first paint is done ("painted").
for program in Vemra list_floor; do
  trace=$scratch/trace-$program.txt
  ORDALIS_TRACE=$(winepath -w "$trace")
  export ORDALIS_TRACE
  measure "$scratch/$program.exe" "${title[$program]}"
  unset ORDALIS_TRACE
  echo "trace of a start of $program (ms since the process began, step, modules that came in):"
  tr -d '\r' <"$trace"
done

echo "idle main window, ${idle_seconds} s per phase:"
wine "$windows/bench/idle_messages.exe" "$idle_seconds" 2>/dev/null | tr -d '\r'
