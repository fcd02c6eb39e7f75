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
BOXDRIVER=$E2E_BUILD/tests/e2e/boxdriver.exe
ASKBOX=$E2E_BUILD/tests/e2e/askbox.exe

UNINSTALL_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarvelon'

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

# in_locale COMMAND...: runs a Windows program with the scenario's locale.
in_locale() {
  LC_ALL=$E2E_LOCALE "$WINE_LOADER" "$@"
}

# driver ARGS...: runs boxdriver.exe and leaves what it printed in DRIVER_OUT; returns its exit
# code. Its output goes through a file, never a pipe: a Windows program may start the
# wineserver or the desktop process, which inherit its output and would keep a pipe (and a
# $(...) reading it) open for as long as the prefix lives.
driver() {
  local out="$E2E_LOGS/driver.out" rc
  in_locale "$BOXDRIVER" "$@" >"$out" 2>&1 </dev/null
  rc=$?
  DRIVER_OUT=$(cat "$out")
  return $rc
}

# start_program VAR EXE [ARGS...]: starts a Windows program in the background and stores the
# Linux PID of its loader in VAR. Its output goes to build/e2e-logs/programs.log.
start_program() {
  local var=$1
  shift
  LC_ALL=$E2E_LOCALE "$WINE_LOADER" "$@" >>"$E2E_LOGS/programs.log" 2>&1 </dev/null &
  printf -v "$var" '%s' "$!"
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
# default, icon, pid, hwnd).
box_field() {
  echo "$BOX" | sed -n "s/^$1: //p" | head -1
}

# check_box WHAT CAPTION TEXT BUTTONS DEFAULT ICON: the last box shows exactly these; the
# texts are compared as bytes of the scenario's ANSI code page.
check_box() {
  local what=$1 codepage=CP1252
  case $E2E_LOCALE in ru_* | uk_* | ky_* | be_* | bg_* | tt_*) codepage=CP1251 ;; esac
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

# Puts back what a setup run may have changed, so that the next scenario starts from a clean
# machine without the cost of a new prefix: ends every program of the prefix when a box was
# left up or the product was installed (it runs after the setup), then removes the uninstall
# entry, the installation folder, the product's shortcuts and its start marker.
reset_machine() {
  if ! driver gone --timeout 1 || [ -n "$(product_traces)" ]; then
    _wineserver -k >/dev/null 2>&1
    _wineserver -w >/dev/null 2>&1
    _wineserver -p >/dev/null 2>&1 </dev/null
  fi
  wine_reg delete "$UNINSTALL_KEY" /f >/dev/null 2>&1 </dev/null
  rm -rf "$(prefix_path "$(program_files)\\Tarvelon")" \
    "$(prefix_path 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs')"/*Tarvelon* \
    "$(prefix_path 'C:\users\Public\Desktop')"/*Tarvelon* \
    "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs/*Tarvelon*
  find "$WINEPREFIX/drive_c" -name tarvelon-started.txt -delete 2>/dev/null
}

# Product files anywhere on drive C, one a line; nothing when the machine is clean.
product_traces() {
  find "$WINEPREFIX/drive_c" -iname '*tarvelon*' 2>/dev/null
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
