# shellcheck shell=bash
# Helpers of the end-to-end scenarios: start Windows programs under Wine with a chosen locale,
# answer their message boxes through boxdriver.exe, look at the prefix, count checks.
# run.sh sources this, sets E2E_BUILD and a prefix, then sources the scenarios.

E2E_ROOT=${E2E_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
# shellcheck source=../../scripts/lib/wine.sh
source "$E2E_ROOT/scripts/lib/wine.sh"

E2E_BUILD=${E2E_BUILD:-$E2E_ROOT/build/$WINE_ARCH_PRESET-e2e}
E2E_SHOTS=${E2E_SHOTS:-$E2E_ROOT/build/e2e-shots}
E2E_LOGS=${E2E_LOGS:-$E2E_ROOT/build/e2e-logs}
SETUP_EXE=$E2E_BUILD/payload/TarvelonSetup.exe
PAYLOAD_FILES=$E2E_BUILD/payload-files
PAYLOAD_NAMES="Tarvelon.exe Tarvelon.bar Tarvelon.car Uninstall.exe"
BOXDRIVER=$E2E_BUILD/tests/e2e/boxdriver.exe
ASKBOX=$E2E_BUILD/tests/e2e/askbox.exe
REGDUMP=$E2E_BUILD/tests/e2e/regdump.exe
VERSIONED_EXE=$E2E_BUILD/tests/e2e/versioned.exe
HOLDFILE=$E2E_BUILD/tests/e2e/holdfile.exe
MODLIST=$E2E_BUILD/tests/e2e/modlist.exe
# Linux locales of our own, for Wine to name files in them (see e2e_locales_make).
E2E_LOCPATH=${E2E_LOCPATH:-$E2E_ROOT/build/e2e-locales}

UNINSTALL_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarvelon'
COMMON_PROGRAMS='C:\ProgramData\Microsoft\Windows\Start Menu\Programs'
COMMON_DESKTOP='C:\users\Public\Desktop'

E2E_PASSED=0
E2E_FAILED=0
E2E_SCENARIO=""
E2E_LOCALE=en_US.UTF-8
E2E_SHOT_COUNT=0
BOX=""  # what the driver printed about the last box it answered

# scenario NAME LOCALE: starts a scenario; the programs it runs get LOCALE as LC_ALL.
scenario() {
  E2E_SCENARIO=$1
  E2E_LOCALE=$2
  echo "== $E2E_SCENARIO ($E2E_LOCALE)"
}

pass() {
  E2E_PASSED=$((E2E_PASSED + 1))
  echo "  ok   $1"
}

fail() {
  E2E_FAILED=$((E2E_FAILED + 1))
  echo "  FAIL $1"
  shift
  local line
  for line in "$@"; do echo "       $line"; done
}

# check_eq WHAT EXPECTED ACTUAL
check_eq() {
  if [ "$2" = "$3" ]; then pass "$1"; else fail "$1" "expected: $2" "actual:   $3"; fi
}

# check_that WHAT COMMAND...: passes when COMMAND succeeds.
check_that() {
  local what=$1
  shift
  if "$@"; then pass "$what"; else fail "$what" "command failed: $*"; fi
}

# check_not WHAT COMMAND...: passes when COMMAND fails.
check_not() {
  local what=$1
  shift
  if "$@"; then fail "$what" "command succeeded: $*"; else pass "$what"; fi
}

# Windows-1251 (or any code page's) bytes of a UTF-8 text, as lower-case hex.
# printf %b turns "\r\n" in TEXT into the two control characters.
ansi_hex() {
  local codepage=${2:-CP1251}
  printf '%b' "$1" | iconv -f UTF-8 -t "$codepage" | od -An -tx1 | tr -d ' \n'
}

# The same for a text taken as it is (Windows paths: "\U" or "\a" in them stay).
ansi_hex_raw() {
  local codepage=${2:-CP1251}
  printf '%s' "$1" | iconv -f UTF-8 -t "$codepage" | od -An -tx1 | tr -d ' \n'
}

# The ANSI code page of the scenario's locale.
locale_codepage() {
  case $E2E_LOCALE in ru_* | uk_* | ky_* | be_* | bg_* | tt_*) echo CP1251 ;; *) echo CP1252 ;; esac
}

# Makes the Linux locales that the scenarios use for file names, once, into build/: without a
# Linux locale of the same name Wine can neither create nor see a Cyrillic file name. The
# system's own locales are not touched; the programs of such a locale get LOCPATH.
e2e_locales_make() {
  local name
  for name in ru_RU.UTF-8; do
    [ -f "$E2E_LOCPATH/$name/LC_CTYPE" ] && continue
    mkdir -p "$E2E_LOCPATH"
    localedef -i "${name%%.*}" -f UTF-8 "$E2E_LOCPATH/$name" >/dev/null 2>&1 || {
      echo "localedef of $name into $E2E_LOCPATH failed"
      return 1
    }
  done
}

# The environment of a Windows program in the scenario's locale, as VAR=VALUE words in
# LOCALE_ENV: LC_ALL, and LOCPATH where we made a Linux locale of that name.
locale_env() {
  LOCALE_ENV=("LC_ALL=$E2E_LOCALE")
  [ -f "$E2E_LOCPATH/$E2E_LOCALE/LC_CTYPE" ] && LOCALE_ENV+=("LOCPATH=$E2E_LOCPATH")
}

# in_locale COMMAND...: runs a Windows program with the scenario's locale.
in_locale() {
  locale_env
  env "${LOCALE_ENV[@]}" "$WINE_LOADER" "$@"
}

# capture VAR EXE [ARGS...]: runs a Windows program in the scenario's locale and leaves what it
# printed in VAR; returns its exit code. The output goes through a file, never a pipe: a
# Windows program may start the wineserver or the desktop process, which inherit its output
# and would keep a pipe (and a $(...) reading it) open for as long as the prefix lives.
capture() {
  local var=$1 out="$E2E_LOGS/capture.out" rc
  shift
  in_locale "$@" >"$out" 2>&1 </dev/null
  rc=$?
  printf -v "$var" '%s' "$(cat "$out")"
  return $rc
}

# driver ARGS...: runs boxdriver.exe; what it printed is left in DRIVER_OUT.
driver() { capture DRIVER_OUT "$BOXDRIVER" "$@"; }

# start_program VAR EXE [ARGS...]: starts a Windows program in the background and stores the
# Linux PID of its loader in VAR. Its output goes to build/e2e-logs/programs.log.
start_program() {
  local var=$1
  shift
  locale_env
  # env execs the loader: the PID of the background job is the program's.
  env "${LOCALE_ENV[@]}" "$WINE_LOADER" "$@" >>"$E2E_LOGS/programs.log" 2>&1 </dev/null &
  printf -v "$var" '%s' "$!"
}

# kill_program PID: ends a program that start_program started, at once (SIGKILL to its
# loader, which is the Windows process itself), and reaps it quietly.
kill_program() {
  kill -KILL "$1" 2>/dev/null
  { wait "$1"; } 2>/dev/null
}

# check_exit WHAT EXPECTED PID [SECONDS]: waits (bounded, 30 s by default) for a program that
# start_program started, and checks its exit code; one that does not end is killed.
check_exit() {
  local what=$1 expected=$2 pid=$3 limit=$((${4:-30} * 10)) i=0 actual
  while kill -0 "$pid" 2>/dev/null && [ $i -lt "$limit" ]; do
    sleep 0.1
    i=$((i + 1))
  done
  if kill -0 "$pid" 2>/dev/null; then
    kill "$pid" 2>/dev/null
    wait "$pid"
    actual="still running after ${4:-30} s"
  else
    wait "$pid"
    actual=$?
  fi
  check_eq "$what" "$expected" "$actual"
}

# Saves a picture of the whole virtual screen as build/e2e-shots/NN-scenario-LABEL.png.
screenshot() {
  mkdir -p "$E2E_SHOTS"
  E2E_SHOT_COUNT=$((E2E_SHOT_COUNT + 1))
  local name
  name=$(printf '%02d-%s-%s' "$E2E_SHOT_COUNT" "$E2E_SCENARIO" "$1" | tr -c 'A-Za-z0-9_.-' '_')
  import -window root "$E2E_SHOTS/$name.png" 2>/dev/null || echo "  (no screenshot $name)"
}

# answer_box PRESS [DRIVER FILTERS...]: waits for a message box that matches the filters,
# records what it shows in BOX, takes a screenshot, then presses PRESS (yes, no, ok, none,
# enter). Fails when no box came or the press did not work.
answer_box() {
  local press=$1
  shift
  driver box --press none "$@"
  BOX=$DRIVER_OUT
  if [ -z "$(box_field hwnd)" ]; then
    fail "a message box appears" "driver: ${BOX//$'\n'/ | }"
    return 1
  fi
  screenshot "$press"
  [ "$press" = none ] && return 0
  driver box --hwnd "$(box_field hwnd)" --press "$press" --timeout 5
  if [ "$(echo "$DRIVER_OUT" | sed -n 's/^pressed: //p')" != "$press" ]; then
    fail "press $press" "driver: ${DRIVER_OUT//$'\n'/ | }"
    return 1
  fi
}

# box_field KEY: one field of the last box (caption, caption-hex, text, text-hex, buttons,
# default, icon, topmost, pid, hwnd).
box_field() {
  echo "$BOX" | sed -n "s/^$1: //p" | head -1
}

# check_box WHAT CAPTION TEXT BUTTONS DEFAULT ICON: the last box shows exactly these; the
# texts are compared as bytes of the scenario's ANSI code page.
check_box() {
  local what=$1 codepage
  codepage=$(locale_codepage)
  check_eq "$what: caption" "$(ansi_hex "$2" $codepage)" "$(box_field caption-hex)"
  check_eq "$what: text" "$(ansi_hex "$3" $codepage)" "$(box_field text-hex)"
  check_eq "$what: buttons" "$4" "$(box_field buttons)"
  check_eq "$what: default button" "$5" "$(box_field default)"
  check_eq "$what: icon" "$6" "$(box_field icon)"
}

# no_box_left: waits until no message box is up (bounded).
no_box_left() {
  driver gone --timeout 10
}

# A Windows path of the prefix as a Linux path (drive C only).
prefix_path() {
  local path=${1#[Cc]:\\}
  echo "$WINEPREFIX/drive_c/${path//\\//}"
}

# The Program Files folder a setup of this build's architecture sees.
program_files() {
  if [ "$REG_VIEW" = /reg:32 ]; then echo 'C:\Program Files (x86)'; else echo 'C:\Program Files'; fi
}

reg_key_exists() {
  wine_reg query "$1" >/dev/null 2>&1 </dev/null
}

# reg_dump KEY: reads every value of KEY (under HKLM, given without the root) with regdump.exe
# in the scenario's locale, into REG_DUMP: one "NAME<tab>TYPE<tab>HEX" line per value.
# Returns regdump's exit code (2: no such key).
reg_dump() { capture REG_DUMP "$REGDUMP" "$1"; }

# The value names of the last dump, sorted, separated by spaces.
reg_dump_names() {
  echo "$REG_DUMP" | cut -f1 | LC_ALL=C sort | tr '\n' ' ' | sed 's/ $//'
}

# reg_dump_value NAME: "TYPE HEX" of one value of the last dump.
reg_dump_value() {
  echo "$REG_DUMP" | awk -F'\t' -v name="$1" '$1 == name { print $2 " " $3 }'
}

# check_reg_sz WHAT NAME TEXT: the value is REG_SZ and holds TEXT in the scenario's code page
# with one terminating NUL.
check_reg_sz() {
  check_eq "$1" "REG_SZ $(ansi_hex_raw "$3" "$(locale_codepage)")00" "$(reg_dump_value "$2")"
}

# Puts back what a setup run may have changed, so that the next scenario starts from a clean
# machine without the cost of a new prefix: ends every program of the prefix when a box was
# left up or the product was installed (it runs after the setup), then removes the uninstall
# entry, the installation folder, the product's shortcuts and its start marker.
reset_machine() {
  if ! driver gone --timeout 1 || [ -n "$(product_traces)" ]; then
    stop_programs
  fi
  wine_reg delete "$UNINSTALL_KEY" /f >/dev/null 2>&1 </dev/null
  local install_dir name
  install_dir=$(prefix_path "$(program_files)\\Tarvelon")
  # A file made immutable (make_read_only) could not be removed otherwise.
  [ -d "$install_dir" ] && chattr -R -i "$install_dir" >/dev/null 2>&1
  rm -rf "$install_dir"
  for name in Tarvelon Тарвелон; do
    rm -rf "$(prefix_path "$COMMON_PROGRAMS")"/*"$name"* \
      "$(prefix_path "$COMMON_DESKTOP")"/*"$name"* \
      "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs/*"$name"*
  done
  find "$WINEPREFIX/drive_c" -name tarvelon-started.txt -delete 2>/dev/null
}

# Ends every program of the prefix (a box left up, the product the setup started) and starts
# the waiting server again.
stop_programs() {
  _wineserver -k >/dev/null 2>&1
  _wineserver -w >/dev/null 2>&1
  _wineserver -p >/dev/null 2>&1 </dev/null
}

# Product files anywhere on drive C, one a line; nothing when the machine is clean. The
# Russian names are seen as the UTF-8 names that Wine gives them on the Linux side.
product_traces() {
  find "$WINEPREFIX/drive_c" \( -iname '*tarvelon*' -o -name '*Тарвелон*' \) 2>/dev/null
}

# dir_entries WINDOWS-FOLDER: the names in the folder as the Linux side sees them, sorted,
# separated by "|"; "<missing>" when there is no such folder.
dir_entries() {
  local dir
  dir=$(prefix_path "$1")
  [ -d "$dir" ] || { echo "<missing>"; return; }
  (cd "$dir" && ls -A | LC_ALL=C sort | paste -sd'|')
}

# wait_window VAR TITLE [SECONDS]: waits (bounded, 30 s by default) for a visible window titled
# exactly TITLE, and stores its X window id in VAR (empty when none came).
wait_window() {
  local found="" pattern left deadline=$((SECONDS + ${3:-30}))
  pattern="^$(printf '%s' "$2" | sed 's/[][\\.^$*+?(){}|]/\\&/g')\$"
  # xdotool ends at once with an X error when a window goes away while it looks (such as the
  # box that was just answered); then it looks again, until the deadline.
  while [ -z "$found" ] && left=$((deadline - SECONDS)) && [ "$left" -gt 0 ]; do
    found=$(timeout "$left" xdotool search --sync --onlyvisible --name "$pattern" 2>/dev/null | head -1)
    [ -n "$found" ] || sleep 0.05
  done
  printf -v "$1" '%s' "$found"
}

# wait_window_gone TITLE [SECONDS]: waits (bounded, 10 s by default) until no visible window is
# titled exactly TITLE.
wait_window_gone() {
  local i=0 limit=$((${2:-10} * 10)) pattern
  pattern="^$(printf '%s' "$1" | sed 's/[][\\.^$*+?(){}|]/\\&/g')\$"
  while xdotool search --onlyvisible --name "$pattern" >/dev/null 2>&1 && [ $i -lt $limit ]; do
    sleep 0.1
    i=$((i + 1))
  done
  ! xdotool search --onlyvisible --name "$pattern" >/dev/null 2>&1
}

# wait_file_started PATH [SECONDS]: waits (bounded, 30 s by default) until the Linux file PATH
# exists and holds at least one byte; polls often, to catch a file while it is written.
wait_file_started() {
  local i=0 limit=$((${2:-30} * 100))
  while [ ! -s "$1" ] && [ $i -lt $limit ]; do
    sleep 0.01
    i=$((i + 1))
  done
  [ -s "$1" ]
}

# wait_gone PATH [SECONDS]: waits (bounded, 10 s by default) until the Linux path is gone.
wait_gone() {
  local i=0 limit=$((${2:-10} * 10))
  while [ -e "$1" ] && [ $i -lt $limit ]; do
    sleep 0.1
    i=$((i + 1))
  done
  [ ! -e "$1" ]
}

# started_line_hex N: waits (bounded) for the start marker that the product program writes
# into %TEMP%\tarvelon-started.txt and prints its line N as hex of its ANSI bytes: 1 the
# current folder, 2 the program's own path. Nothing when the program did not start.
started_line_hex() {
  local marker started=""
  for _ in $(seq 50); do
    marker=$(find "$WINEPREFIX/drive_c" -name tarvelon-started.txt 2>/dev/null | head -1)
    [ -n "$marker" ] && started=$(cat "$marker") && [ -n "$started" ] && break
    sleep 0.2
  done
  printf '%s' "$started" | tr -d '\r' | sed -n "$1p" | tr -d '\n' | od -An -tx1 | tr -d ' \n'
}
started_folder_hex() { started_line_hex 1; }

# make_read_only WINDOWS-PATH: marks an existing file read-only the Windows way (attrib +r,
# which Wine keeps as a file without write permission). Wine leaves the write check to Linux,
# and Linux lets root write such a file all the same; so under root the file is also made
# immutable (chattr +i), which is what a read-only file is to a Windows program.
make_read_only() {
  in_locale cmd /c attrib +r "$1" >/dev/null 2>&1 </dev/null || return 1
  if [ "$(id -u)" = 0 ]; then
    chattr +i "$(prefix_path "$1")" || return 1
  fi
}

# check_untouched WHAT [EXTRA WINDOWS PATH]: no uninstall entry, no installation folder, no
# product file or shortcut anywhere on drive C (nor at the extra path).
check_untouched() {
  check_not "$1: no uninstall entry $UNINSTALL_KEY" reg_key_exists "$UNINSTALL_KEY"
  check_eq "$1: no product file or folder on drive C" "" "$(product_traces)"
  if [ -n "${2:-}" ]; then
    check_not "$1: nothing at $2" test -e "$(prefix_path "$2")"
  fi
}

# Ends with the one summary line that scripts/test counts.
summary() {
  echo "$E2E_PASSED passed, $E2E_FAILED failed"
  [ "$E2E_FAILED" -eq 0 ]
}

# mb_topmost_shown: the topmost field of a box shown with the setup's flag word for the older-
# file question (MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL | MB_TOPMOST) on this system. On
# Windows "yes"; Wine 8 gives such a box no topmost style (it does for a system-modal box), so
# the setup's question is compared with this instead of with "yes".
mb_topmost_shown() {
  local asker caption=Reference
  start_program asker "$ASKBOX" 0x42024 "$(ansi_hex "$caption")" "$(ansi_hex 'MB_TOPMOST')"
  driver box --caption "$caption" --press yes --timeout 30 >/dev/null
  { wait "$asker"; } 2>/dev/null
  echo "$DRIVER_OUT" | sed -n 's/^topmost: //p'
}

# check_payload WHAT FOLDER [NAME...]: each named payload file (all four when none are
# named) in the Windows FOLDER holds exactly the payload's bytes.
check_payload() {
  local what=$1 folder=$2 file
  shift 2
  for file in ${*:-$PAYLOAD_NAMES}; do
    check_that "$what: $folder\\$file holds the payload's bytes" \
      cmp -s "$PAYLOAD_FILES/$file" "$(prefix_path "$folder\\$file")"
  done
}
