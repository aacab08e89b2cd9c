#!/usr/bin/env bash
# The installer under Wine, run as a user's script would run it: a silent
# install into a folder with blanks, the installed program started from
# there with a task added, an update over it while it runs (it runs again
# afterwards), an update refused while another program holds a file, the
# silent uninstall through QuietUninstallString (it returns when it is
# done) followed by a setup that finds the kept tasks, ten times in a row,
# a folder that takes no file, a folder of the user's own files, an
# uninstall that deletes the tasks and settings too, an asked uninstall
# whose "Nein" keeps the tasks although the command line says /DELETEDATA,
# and two copies in two folders, where each one's uninstaller removes only
# its own.
#
# Usage: installer.sh <setup.exe> <folder of the packaged program> <version> <folder for screenshots>
# Needs WINEPREFIX and DISPLAY (CTest and scripts/test give both).
set -euo pipefail
setup=$1
built=$2
version=$3
out=$4
: "${WINEPREFIX:?}" "${DISPLAY:?}"
# No menu entries of the host's desktop for the shortcuts made here.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
mkdir -p "$out"

uninstall_root='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall'
uninstall_key="$uninstall_root\\Ordalis"
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
approved_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run'
runonce_key='HKCU\Software\Microsoft\Windows\CurrentVersion\RunOnce'
settings='HKCU\Software\Brenvik\Ordalis'
app_paths='HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\Vemra.exe'
program_files=(Vemra.exe Lotse32.exe Vemra.lhf LIESMICH.txt LIZENZ.txt Deinstallieren.exe)

tmp=$(mktemp -d "${TMPDIR:-/tmp}/ordalis-setup.XXXXXX")
running=""
saved=""
start_menu=""
desktop=""

# A value of a registry key as `reg query` shows it ("" when it is not there).
# reg writes in the console's code page. reg answers 0 for a value that is
# there and 1 for one that is not; anything else is Wine failing to run reg
# at all (as with cmd's 9009 below), and the query is made again.
reg_value() {
  local attempt code=0 shown
  for attempt in 1 2 3; do
    code=0
    shown=$(wine reg query "$1" /v "$2" 2>"$tmp/reg.err") || code=$?
    [ "$code" -gt 1 ] || break
    echo "Wine could not run reg query for $2 (attempt $attempt, exit $code): $(tr -d '\r' <"$tmp/reg.err" | tail -3)" >&2
    sleep 1
  done
  printf '%s\n' "$shown" | tr -d '\r' | iconv -f CP850 -t UTF-8 | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}
reg_default() {
  wine reg query "$1" /ve 2>/dev/null | tr -d '\r' | sed -n 's/^ *(Default) *REG_SZ *//p'
}
reg_key_exists() { wine reg query "$1" >/dev/null 2>&1; }
# The keys of Ordalis's entries in the list of installed apps.
entries() {
  wine reg query "$uninstall_root" 2>/dev/null | tr -d '\r' | grep -i '\\Uninstall\\Ordalis\(\.[0-9]*\)\?$' || true
}
# The entry that removes the folder $1 (Windows form); "" when there is none.
entry_of() {
  local key
  for key in $(entries); do
    [ "$(reg_value "$key" InstallLocation)" != "$1" ] || { echo "$key"; return; }
  done
}
# Whether the shortcut $1 starts $2\Vemra.exe (the shortcut holds the
# path in Windows' ANSI code page).
starts() { grep -qaF "$(printf '%s\\Vemra.exe' "$2" | iconv -f UTF-8 -t CP1252)" "$1"; }

cleanup() {
  local pid
  for pid in $running; do kill "$pid" 2>/dev/null || true; done
  # An installed copy goes through its uninstaller, which also ends the
  # program a silent update started again.
  for key in $(entries); do
    run_line "$(reg_value "$key" QuietUninstallString)" || true
    wine reg delete "$key" /f >/dev/null 2>&1 || true
  done
  wine reg delete "$run_key" /v Ordalis /f >/dev/null 2>&1 || true
  wine reg delete "$approved_key" /v Ordalis /f >/dev/null 2>&1 || true
  wine reg delete "$runonce_key" /v Ordalis.Aufraeumen /f >/dev/null 2>&1 || true
  if [ -n "$saved" ]; then
    wine reg delete "$settings" /f >/dev/null 2>&1 || true
    [ "$saved" = absent ] || wine reg import "$saved" >/dev/null 2>&1 || true
  fi
  [ -z "$start_menu" ] || rm -f "$start_menu/Ordalis.lnk"
  [ -z "$desktop" ] || rm -f "$desktop/Ordalis.lnk"
  rm -rf "$tmp"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  import -window root "$out/installer_failure.png" 2>/dev/null || true
  exit 1
}

# Runs a command line as Windows' command processor runs it, quotes and all
# (it reads the batch file in the console's code page); returns its exit code.
# Now and then Wine cannot start a process at all (the new process dies
# while Wine sets it up, and CreateProcess fails); cmd then says 9009, which
# reaches this shell as 49. That is Wine's, not the program's: such a line
# is tried again, and the failure shows cmd's own words.
run_line() {
  local attempt code
  printf '%s\r\n' "@$1" "@exit %ERRORLEVEL%" | iconv -f UTF-8 -t CP850 >"$tmp/run.bat"
  for attempt in 1 2 3; do
    code=0
    wine cmd /c "$(winepath -w "$tmp/run.bat")" >/dev/null 2>"$tmp/cmd.err" || code=$?
    [ "$code" = $((9009 % 256)) ] || return "$code"
    echo "Wine could not start \"$1\" (attempt $attempt): $(tr -d '\r' <"$tmp/cmd.err" | tail -3)" >&2
    sleep 1
  done
  return "$code"
}
# The exit code of a command line.
exit_code() {
  local code=0
  run_line "$1" || code=$?
  echo "$code"
}

# QuietUninstallString returns when the uninstall is done. Windows lets the
# running uninstaller move itself out of the folder; Wine does not, and the
# uninstaller leaves itself to the next log-on (RunOnce), which this plays.
quiet_uninstall() {
  local folder=$1 w line
  w=$(winepath -w "$folder")
  line=$(reg_value "$uninstall_key" QuietUninstallString)
  # Options go before "_?=", which takes the rest of the line.
  run_line "${line/ _?=/${2:-} _?=}" || fail "QuietUninstallString failed"
  [ -z "$(entry_of "$w")" ] || fail "QuietUninstallString returned before the entry was gone"
  if [ -e "$folder/Deinstallieren.exe" ]; then
    line=$(reg_value "$runonce_key" Ordalis.Aufraeumen)
    case "$line" in *"$w\Deinstallieren.exe"*) ;; *) fail "the uninstaller stays without a clean-up: $line" ;; esac
    wine reg delete "$runonce_key" /v Ordalis.Aufraeumen /f >/dev/null 2>&1
    run_line "$line" || true
  fi
}

# The uninstaller goes on from a copy in the temporary folder and removes
# its entry and itself last.
wait_uninstalled() {
  local deadline=$((SECONDS + 60)) w
  w=$(winepath -w "$1")
  while [ -e "$1/Deinstallieren.exe" ] || [ -n "$(entry_of "$w")" ]; do
    [ $SECONDS -lt $deadline ] || fail "the uninstaller in $1 did not finish"
    sleep 0.2
  done
}

wait_window() {
  local deadline=$((SECONDS + $1))
  while [ $SECONDS -lt $deadline ]; do
    xdotool search --onlyvisible --name "$2" 2>/dev/null | head -1 | grep . && return 0
    sleep 0.1
  done
  return 1
}

# The first window named like $2 other than $3.
wait_other_window() {
  local deadline=$((SECONDS + $1))
  while [ $SECONDS -lt $deadline ]; do
    xdotool search --onlyvisible --name "$2" 2>/dev/null | grep -vx "$3" | head -1 | grep . && return 0
    sleep 0.1
  done
  return 1
}

# shellcheck source-path=SCRIPTDIR source=../e2e/keys.sh
. "$(dirname "$0")/../e2e/keys.sh"

# The line of the task "100" in "Wichtiges".
task_line() { tr -d '\r' <"$1" | awk '/^\[/ { section = $0 } section == "[Important]" && /^100=/'; }

# The folder's files, one a line, sorted.
listing() { (cd "$1" && find . -mindepth 1 -printf '%P\n' | LC_ALL=C sort); }

if xdotool search --name '^Ordalis $' >/dev/null 2>&1; then
  fail "a copy of the program is running already"
fi
[ -z "$(entries)" ] || fail "Ordalis is installed already"
if wine reg export "$settings" "$(winepath -w "$tmp/before.reg")" /y >/dev/null 2>&1; then
  saved=$(winepath -w "$tmp/before.reg")
else
  saved=absent
fi
appdata=$(winepath -u "$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')")
start_menu="$appdata/Microsoft/Windows/Start Menu/Programs"
desktop=$(winepath -u "$(wine cmd /c echo %USERPROFILE% 2>/dev/null | tr -d '\r')")/Desktop
# Wine links the desktop to the host's home folder; the shortcuts of this
# test go into a folder of the prefix.
if [ -L "$desktop" ]; then
  rm "$desktop"
  mkdir "$desktop"
fi

# --- A silent install into a folder with blanks, started with Windows -----
# The Task Manager had switched the start off; /AUTOSTART switches it on.
wine reg add "$approved_key" /v Ordalis /t REG_BINARY /d 030000000000000000000000 /f >/dev/null 2>&1 ||
  fail "registry"
folder="$tmp/Mein Ordner"
w=$(winepath -w "$folder")
run_line "$(winepath -w "$setup") /S /AUTOSTART /D=$w" || fail "the silent install failed"
[ "$(reg_value "$approved_key" Ordalis)" = 020000000000000000000000 ] ||
  fail "the start stays switched off: $(reg_value "$approved_key" Ordalis)"
[ "$(listing "$folder")" = "$(printf '%s\n' "${program_files[@]}" | LC_ALL=C sort)" ] ||
  fail "installed: $(listing "$folder" | tr '\n' ' ')"
for f in Vemra.exe Lotse32.exe Vemra.lhf; do
  cmp -s "$built/$f" "$folder/$f" || fail "$f is not the packaged one"
done
[ -f "$start_menu/Ordalis.lnk" ] || fail "no shortcut \"Ordalis\" in the start menu"
starts "$start_menu/Ordalis.lnk" "$w" || fail "the shortcut does not start $w\\Vemra.exe"
[ ! -e "$desktop/Ordalis.lnk" ] || fail "a desktop shortcut nobody asked for"

while IFS='|' read -r name expected; do
  actual=$(reg_value "$uninstall_key" "$name")
  [ "$actual" = "$expected" ] || fail "uninstall entry $name: \"$actual\", expected \"$expected\""
done <<EOF
DisplayName|Ordalis
DisplayVersion|$version
Publisher|Brenvik
DisplayIcon|$w\\Vemra.exe
InstallLocation|$w
UninstallString|"$w\\Deinstallieren.exe"
QuietUninstallString|"$w\\Deinstallieren.exe" /S _?=$w
URLInfoAbout|$w\\LIESMICH.txt
HelpLink|$w\\LIESMICH.txt
NoModify|0x1
NoRepair|0x1
EOF
size=$(($(reg_value "$uninstall_key" EstimatedSize)))
files_kb=$(($(cat "${program_files[@]/#/$folder/}" | wc -c) / 1024))
if [ "$size" -lt "$files_kb" ] || [ "$size" -gt $((files_kb + 64)) ]; then
  fail "EstimatedSize $size KB for $files_kb KB of files"
fi
# What the options dialog writes for the automatic start.
[ "$(reg_value "$run_key" Ordalis)" = "\"$w\\Vemra.exe\" /a" ] ||
  fail "Run value: $(reg_value "$run_key" Ordalis)"

# --- The installed program keeps its tasks beside itself -----------------
printf '%s\r\n' REGEDIT4 '' "[${settings/HKCU/HKEY_CURRENT_USER}]" '"Startup"=dword:00000001' \
  '"HelpDirekt"=dword:00000001' '"Reminder"="3"' >"$tmp/quiet.reg"
wine reg import "$(winepath -w "$tmp/quiet.reg")" >/dev/null 2>&1 || fail "registry"
wine "$folder/Vemra.exe" >/dev/null 2>&1 &
program=$!
running="$program"
main=$(wait_window 60 '^Ordalis $') || fail "the installed program shows no window"
[ "$(reg_value "$settings" InstallDir)" = "${w,,}" ] ||
  fail "the program says it runs from $(reg_value "$settings" InstallDir)"
press "$main" alt+h
editor=$(wait_window 15 '^ Neue Aufgabe$') || fail "Alt+H opened no editor"
xdotool type --delay 50 "Steuer"
press "$editor" Return Return Return Return Return Return Return
for _ in $(seq 100); do [ -f "$folder/Vemra.dat" ] && break; sleep 0.1; done
grep -qa '^100=' "$folder/Vemra.dat" 2>/dev/null || fail "no task in $w\\Vemra.dat"
[ -f "$folder/Vemra.bak" ] || printf '[Important]\r\n' >"$folder/Vemra.bak"
cp "$folder/Vemra.dat" "$folder/Vemra.bak" "$tmp/"

# --- An update while the program runs: it is ended, the tasks stay --------
echo "old" >"$folder/LIESMICH.txt"
# Not while the editor waits for its user: the silent update gives up.
press "$main" alt+h
editor=$(wait_window 15 '^ Neue Aufgabe$') || fail "Alt+H opened no editor"
run_line "$(winepath -w "$setup") /S" && fail "the update went on while the editor was open"
xdotool search --name '^ Neue Aufgabe$' >/dev/null 2>&1 || fail "the update closed the editor"
grep -qx old "$folder/LIESMICH.txt" || fail "the refused update replaced files"
press "$editor" Escape
for _ in $(seq 100); do xdotool search --name '^ Neue Aufgabe$' >/dev/null 2>&1 || break; sleep 0.1; done
wine "$folder/Lotse32.exe" "$w\Vemra.lhf,1" >/dev/null 2>&1 &
viewer=$!
running="$viewer $program"
wait_window 30 '^Ordalis-Hilfe' >/dev/null || fail "the installed help viewer shows no window"
run_line "$(winepath -w "$setup") /S" || fail "the update failed"
xdotool search --name '^Ordalis-Hilfe' >/dev/null 2>&1 && fail "the help viewer still runs after the update"
for pid in $program $viewer; do
  for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && fail "a process outlived its window"
done
running=""
# The update started the program again, shown as it was; the uninstall
# below ends it.
wait_window 60 '^Ordalis $' >/dev/null || fail "the program does not run again after the update"
# It may be storing the reminder of the task due now (its lock and staging
# copy are there for that moment).
for _ in $(seq 100); do [ -e "$folder/Vemra.lck" ] || [ -e "$folder/Vemra.new" ] || break; sleep 0.1; done
[ "$(listing "$folder")" = "$(printf '%s\n' "${program_files[@]}" Vemra.dat Vemra.bak | LC_ALL=C sort)" ] ||
  fail "after the update: $(listing "$folder" | tr '\n' ' ')"
grep -qx old "$folder/LIESMICH.txt" && fail "the update left the old files"
# The program the update started again may have noted the task's reminder
# (the task is due); the task stays.
[ "$(task_line "$folder/Vemra.dat")" = "$(task_line "$tmp/Vemra.dat")" ] ||
  fail "the update changed the task"
cp "$folder/Vemra.dat" "$folder/Vemra.bak" "$tmp/"
[ "$(reg_value "$settings" Startup)" = 0x1 ] || fail "the update lost the settings"
[ "$(reg_value "$run_key" Ordalis)" = "\"$w\\Vemra.exe\" /a" ] || fail "the update dropped the Run value"

# --- An update while another program holds a file: refused, nothing changed
x86_64-w64-mingw32-g++-posix -x c -municode -O2 -o "$tmp/hold.exe" "$(dirname "$0")/hold_file.c" ||
  fail "cannot build the file holder"
for held in Vemra.exe LIESMICH.txt; do
  echo "old" >"$folder/LIZENZ.txt"
  rm -f "$tmp/stop"
  : >"$tmp/hold.out"
  wine "$tmp/hold.exe" "$w\\$held" "$(winepath -w "$tmp")\\stop" >"$tmp/hold.out" 2>/dev/null &
  holder=$!
  running="$holder $running"
  for _ in $(seq 100); do grep -q held "$tmp/hold.out" && break; sleep 0.1; done
  grep -q held "$tmp/hold.out" || fail "the holder did not take $held"
  code=$(exit_code "$(winepath -w "$setup") /S")
  [ "$code" = 4 ] || fail "a silent update with $held held returned $code"
  grep -qx old "$folder/LIZENZ.txt" || fail "the refused update replaced files"
  touch "$tmp/stop"
  wait "$holder" || true
  running=${running#"$holder "}
  # The program it ended runs again.
  wait_window 60 '^Ordalis $' >/dev/null || fail "the refused update left the program ended"
done
run_line "$(winepath -w "$setup") /S" || fail "the update failed"
grep -qx old "$folder/LIZENZ.txt" && fail "the update left the old files"
wait_window 60 '^Ordalis $' >/dev/null || fail "the program does not run again after the update"

# --- The silent uninstall of the entry keeps the tasks -------------------
had_app_paths=$(reg_default "$app_paths")
quiet_uninstall "$folder"
xdotool search --name '^Ordalis $' >/dev/null 2>&1 && fail "the uninstall did not end the program"
[ -z "$(entries)" ] || fail "an entry is left: $(entries)"
[ -z "$(reg_value "$approved_key" Ordalis)" ] || fail "the start-up mark is left"
[ "$(listing "$folder")" = "$(printf '%s\n' Vemra.bak Vemra.dat)" ] ||
  fail "after the uninstall: $(listing "$folder" | tr '\n' ' ')"
for f in Vemra.dat Vemra.bak; do cmp -s "$tmp/$f" "$folder/$f" || fail "the uninstall changed $f"; done
[ ! -e "$start_menu/Ordalis.lnk" ] || fail "the start-menu shortcut is left"
[ -z "$(reg_value "$run_key" Ordalis)" ] || fail "the Run value is left"
reg_key_exists "$settings" || fail "the silent uninstall removed the settings"
if [ "${had_app_paths,,}" = "${w,,}\\vemra.exe" ]; then
  [ "$(reg_default "$app_paths")" != "$had_app_paths" ] || fail "the App Paths entry is left"
fi

# --- Ten times: uninstall, then setup, both silent; setup finds the tasks -
for round in $(seq 10); do
  [ "$round" = 1 ] || quiet_uninstall "$folder"
  [ "$(listing "$folder")" = "$(printf '%s\n' Vemra.bak Vemra.dat)" ] ||
    fail "round $round, after the uninstall: $(listing "$folder" | tr '\n' ' ')"
  run_line "$(winepath -w "$setup") /S" || fail "round $round: the setup failed"
  location=$(reg_value "$uninstall_key" InstallLocation)
  [ "$location" = "$w" ] ||
    fail "round $round: setup did not find the kept tasks in $w (installed into \"$location\"," \
      "the kept folder is \"$(reg_value "$settings" TasksKeptIn)\", entries: $(entries | tr '\n' ' '))"
  [ "$(listing "$folder")" = "$(printf '%s\n' "${program_files[@]}" Vemra.dat Vemra.bak | LC_ALL=C sort)" ] ||
    fail "round $round, installed: $(listing "$folder" | tr '\n' ' ')"
  for f in Vemra.dat Vemra.bak; do cmp -s "$tmp/$f" "$folder/$f" || fail "round $round changed $f"; done
  wine "$folder/Vemra.exe" >/dev/null 2>&1 &
  running=$!
  wait_window 60 '^Ordalis $' >/dev/null || fail "round $round: the program shows no window"
done
quiet_uninstall "$folder"
running=""
xdotool search --name '^Ordalis $' >/dev/null 2>&1 && fail "the uninstall did not end the program"

# --- Folders setup must not use ---------------------------------------------
# Wine runs as root here, and no folder of the prefix refuses root a file;
# the process file system refuses everyone.
for given in 'Z:\proc\Ordalis' '"C:\Ordalis Test"' 'C:/Ordalis/Test' 'Q:\Ordalis'; do
  code=$(exit_code "$(winepath -w "$setup") /S /D=$given")
  [ "$code" = 3 ] || fail "a silent install into $given returned $code"
  [ -z "$(entries)" ] || fail "a failed install into $given left an entry"
  [ ! -e "$start_menu/Ordalis.lnk" ] || fail "a failed install into $given left a shortcut"
done

# --- A folder of the user's own files: Ordalis goes into a subfolder, and
# is removed from there with the tasks and settings -----------------------
folder="$tmp/Werkzeuge"
w=$(winepath -w "$folder")
mkdir "$folder"
echo "meine Notizen" >"$folder/LIESMICH.txt"
run_line "$(winepath -w "$setup") /S /DESKTOP /D=$w" || fail "the install into $w failed"
[ "$(reg_value "$uninstall_key" InstallLocation)" = "$w\\Ordalis" ] ||
  fail "installed into $(reg_value "$uninstall_key" InstallLocation)"
grep -qx "meine Notizen" "$folder/LIESMICH.txt" || fail "setup overwrote the user's LIESMICH.txt"
[ -f "$desktop/Ordalis.lnk" ] || fail "/DESKTOP made no desktop shortcut"
[ -z "$(reg_value "$run_key" Ordalis)" ] || fail "a Run value nobody asked for"
cp "$tmp/Vemra.dat" "$tmp/Vemra.bak" "$folder/Ordalis/"
run_line "\"$w\\Ordalis\\Deinstallieren.exe\" /S /DELETEDATA" || fail "the uninstall with /DELETEDATA failed"
wait_uninstalled "$folder/Ordalis"
for _ in $(seq 100); do [ -e "$folder/Ordalis" ] || break; sleep 0.1; done
[ "$(listing "$folder")" = LIESMICH.txt ] || fail "left in $w: $(listing "$folder" | tr '\n' ' ')"
grep -qx "meine Notizen" "$folder/LIESMICH.txt" || fail "the uninstall removed the user's LIESMICH.txt"
[ ! -e "$desktop/Ordalis.lnk" ] || fail "the desktop shortcut is left"
reg_key_exists "$settings" && fail "the settings are left"
# --- Asked, the user's "Nein" keeps the tasks, /DELETEDATA or not ----------
folder="$tmp/Gefragt"
w=$(winepath -w "$folder")
run_line "$(winepath -w "$setup") /S /D=$w" || fail "the install into $w failed"
cp "$tmp/Vemra.dat" "$tmp/Vemra.bak" "$folder/"
wine reg import "$(winepath -w "$tmp/quiet.reg")" >/dev/null 2>&1 || fail "registry"
wine "$folder/Deinstallieren.exe" /DELETEDATA >/dev/null 2>&1 &
wizard=$(wait_window 30 '^Deinstallation von Ordalis') || fail "the uninstaller shows no window"
press "$wizard" alt+d
# The question has the wizard's caption.
question=$(wait_other_window 30 '^Deinstallation von Ordalis' "$wizard") ||
  fail "the uninstaller asked nothing"
import -window root "$out/installer_delete_question.png"
press "$question" alt+n
wait_uninstalled "$folder"
press "$wizard" Return
[ "$(listing "$folder")" = "$(printf '%s\n' Vemra.bak Vemra.dat)" ] ||
  fail "after \"Nein\": $(listing "$folder" | tr '\n' ' ')"
reg_key_exists "$settings" || fail "\"Nein\" deleted the settings"

# --- Two copies in two folders: each uninstaller removes only its own ------
first="$tmp/Erste Kopie"
w1=$(winepath -w "$first")
second="$tmp/Ördner mit Leer/Ordalis"
w2=$(winepath -w "$second")
run_line "$(winepath -w "$setup") /S /D=$w1" || fail "the install into $w1 failed"
cp "$tmp/Vemra.dat" "$tmp/Vemra.bak" "$first/"
# Asked for a folder, setup proposes the installed copy's and goes on without
# a word; another one is taken only after a word about that copy, and
# "Nein" keeps the page.
other="$tmp/Anderer Ordner"
wine "$setup" >/dev/null 2>&1 &
running=$!
wizard=$(wait_window 30 '^Installation von Ordalis') || fail "setup shows no window"
press "$wizard" Return
sleep 1
import -window root "$out/installer_folder_page.png"
# The proposed folder is an update: no question, on to the next page.
press "$wizard" Return
wait_other_window 3 '^Installation von Ordalis' "$wizard" >/dev/null &&
  fail "setup asked about the copy in the folder it proposed"
press "$wizard" alt+z
sleep 1
focus "$wizard"
xdotool type --delay 30 "$(winepath -w "$other")"
for _ in 1 2; do
  press "$wizard" Return
  question=$(wait_other_window 30 '^Installation von Ordalis' "$wizard") ||
    fail "no word about the copy in $w1"
  import -window root "$out/installer_other_copy.png"
  press "$question" alt+n
done
press "$wizard" Escape
question=$(wait_other_window 30 '^Installation von Ordalis' "$wizard") || fail "Escape asked nothing"
press "$question" Return
for _ in $(seq 100); do xdotool search --name '^Installation von Ordalis' >/dev/null 2>&1 || break; sleep 0.1; done
xdotool search --name '^Installation von Ordalis' >/dev/null 2>&1 && fail "setup did not end when cancelled"
running=""
[ ! -e "$other" ] || fail "\"Nein\" installed into $other"
run_line "$(winepath -w "$setup") /S /AUTOSTART /DESKTOP /D=$w2" || fail "the install into $w2 failed"
[ "$(reg_value "$uninstall_key" InstallLocation)" = "$w2" ] || fail "the entry stayed with $w1"
starts "$start_menu/Ordalis.lnk" "$w2" || fail "the start-menu shortcut stayed with $w1"
[ "$(reg_value "$(entry_of "$w1")" QuietUninstallString)" = "\"$w1\\Deinstallieren.exe\" /S _?=$w1" ] ||
  fail "the first copy lost its entry"
for f in Vemra.dat Vemra.bak; do cmp -s "$tmp/$f" "$first/$f" || fail "the second install changed $f"; done
wine "$second/Vemra.exe" >/dev/null 2>&1 &
program=$!
running="$program"
wait_window 60 '^Ordalis $' >/dev/null || fail "the second copy shows no window"
wine "$second/Lotse32.exe" "$w2\Vemra.lhf,1" >/dev/null 2>&1 &
viewer=$!
running="$viewer $program"
wait_window 30 '^Ordalis-Hilfe' >/dev/null || fail "the second copy's help viewer shows no window"
run_line "\"$w1\\Deinstallieren.exe\" /S" || fail "the first copy's uninstall failed"
wait_uninstalled "$first"
[ "$(listing "$first")" = "$(printf '%s\n' Vemra.bak Vemra.dat)" ] ||
  fail "left in $w1: $(listing "$first" | tr '\n' ' ')"
xdotool search --name '^Ordalis $' >/dev/null 2>&1 || fail "the first copy's uninstaller ended the second"
xdotool search --name '^Ordalis-Hilfe' >/dev/null 2>&1 || fail "the first copy's uninstaller closed the second's help"
[ "$(reg_value "$uninstall_key" InstallLocation)" = "$w2" ] || fail "the second copy lost its entry"
starts "$start_menu/Ordalis.lnk" "$w2" || fail "the second copy lost its start-menu shortcut"
starts "$desktop/Ordalis.lnk" "$w2" || fail "the second copy lost its desktop shortcut"
[ "$(reg_value "$run_key" Ordalis)" = "\"$w2\\Vemra.exe\" /a" ] || fail "the second copy lost its Run value"
# Installed again, the first copy takes the entry back without ending the
# second; removed with its tasks, it hands the entry and the start-menu
# shortcut back.
run_line "$(winepath -w "$setup") /S /D=$w1" || fail "the install into $w1 failed"
xdotool search --name '^Ordalis $' >/dev/null 2>&1 || fail "setup into $w1 ended the copy in $w2"
starts "$desktop/Ordalis.lnk" "$w2" || fail "setup into $w1 took the desktop shortcut of $w2"
[ "$(reg_value "$uninstall_key" InstallLocation)" = "$w1" ] || fail "the entry did not come back to $w1"
[ "$(entries | wc -l)" = 2 ] || fail "entries: $(entries | tr '\n' ' ')"
[ -n "$(entry_of "$w2")" ] || fail "the copy in $w2 lost its entry"
# The settings are the second copy's too: they stay with its tasks.
run_line "\"$w1\\Deinstallieren.exe\" /S /DELETEDATA" || fail "the first copy's uninstall failed"
wait_uninstalled "$first"
[ -z "$(listing "$first")" ] || fail "left in $w1: $(listing "$first" | tr '\n' ' ')"
reg_key_exists "$settings" || fail "the first copy's uninstaller deleted the second copy's settings"
[ "$(reg_value "$uninstall_key" InstallLocation)" = "$w2" ] || fail "the entry did not go back to $w2"
[ "$(entries | wc -l)" = 1 ] || fail "entries: $(entries | tr '\n' ' ')"
starts "$start_menu/Ordalis.lnk" "$w2" || fail "the start-menu shortcut did not go back to $w2"
# Its own uninstaller ends it and removes the rest.
run_line "\"$w2\\Deinstallieren.exe\" /S" || fail "the second copy's uninstall failed"
wait_uninstalled "$second"
xdotool search --name '^Ordalis $' >/dev/null 2>&1 && fail "the second copy's uninstaller did not end it"
xdotool search --name '^Ordalis-Hilfe' >/dev/null 2>&1 && fail "the second copy's uninstaller left its help open"
running=""
[ -z "$(entries)" ] || fail "an entry is left: $(entries)"
[ ! -e "$start_menu/Ordalis.lnk" ] || fail "the start-menu shortcut is left"
[ ! -e "$desktop/Ordalis.lnk" ] || fail "the desktop shortcut is left"
[ -z "$(reg_value "$run_key" Ordalis)" ] || fail "the Run value is left"
echo "installer: every step as expected"
