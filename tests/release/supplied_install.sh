#!/usr/bin/env bash
# Installs a setup that was built from supplied payload files under Wine on a virtual display,
# answering its question with Yes, and checks that the installation folder then holds exactly
# those files, byte for byte. Ends with "N passed, N failed".
#
#   tests/release/supplied_install.sh BUILD-DIR SUPPLIED-DIR
#
# BUILD-DIR is a build for the architecture that Wine runs here, configured with
# TVL_PAYLOAD_DIR=SUPPLIED-DIR, with its TarvelonSetup and boxdriver targets built.
set -uo pipefail
if [ $# -ne 2 ]; then
  echo "usage: $0 BUILD-DIR SUPPLIED-DIR" >&2
  exit 2
fi
if [ -z "${E2E_DISPLAY_UP:-}" ]; then
  E2E_DISPLAY_UP=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
here=$(cd "$(dirname "$0")" && pwd)
export E2E_BUILD=$1 E2E_SHOTS=$1/install-shots E2E_LOGS=$1/install-logs
# shellcheck source=../e2e/lib.sh
source "$here/../e2e/lib.sh"
PAYLOAD_FILES=$2
mkdir -p "$E2E_LOGS"
wine_prefix_new || { echo "0 passed, 1 failed"; exit 1; }
trap wine_prefix_end EXIT
_wineserver -p >/dev/null 2>&1 </dev/null

scenario install-supplied-files en_US.UTF-8
start_program setup "$SETUP_EXE"
if answer_box yes; then
  check_exit "the setup ends with exit code 0" 0 "$setup" 90
  check_payload "supplied files" "$(program_files)\\Tarvelon"
  check_eq "the installation folder holds the four files alone" \
    "Tarvelon.bar|Tarvelon.car|Tarvelon.exe|Uninstall.exe" "$(dir_entries "$(program_files)\\Tarvelon")"
fi
summary
