#!/usr/bin/env bash
# End-to-end tests: the real setup under Wine on a virtual display, in one throwaway prefix,
# its message boxes answered by boxdriver.exe. Builds what it needs in build/<arch>-e2e, runs
# every scenario in tests/e2e/scenarios, saves a screenshot of each answered box in
# build/e2e-shots/ and ends with "N passed, N failed". (The release executable's own checks,
# 32-bit GUI and manifest, live in tests/release/run.sh.)
#   tests/e2e/run.sh [SCENARIO-FILE-PATTERN]     e.g. run.sh question
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)

# One virtual display for the whole run; 24-bit so that screenshots look like the real thing.
if [ -z "${E2E_DISPLAY_UP:-}" ]; then
  E2E_DISPLAY_UP=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

# shellcheck source=lib.sh
source "$here/lib.sh"
pattern=${1:-}
start=$SECONDS

# build DIR TOOLCHAIN TARGETS...: configures once, then builds only the targets asked for.
build() {
  local dir=$1 toolchain=$2
  shift 2
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$E2E_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
      -DCMAKE_TOOLCHAIN_FILE="$E2E_ROOT/cmake/$toolchain" >"$E2E_LOGS/configure-$(basename "$dir").log" 2>&1 ||
      return 1
  fi
  ninja -C "$dir" "$@" >"$E2E_LOGS/build-$(basename "$dir").log" 2>&1
}

mkdir -p "$E2E_LOGS"
rm -rf "$E2E_SHOTS"
: >"$E2E_LOGS/programs.log"
arch_toolchain=mingw-x86_64.cmake
[ "$WINE_ARCH_PRESET" = win32 ] && arch_toolchain=mingw-i686.cmake

if ! build "$E2E_BUILD" "$arch_toolchain" TarvelonSetup boxdriver askbox regdump versioned holdfile modlist; then
  echo "build of $E2E_BUILD failed:"
  tail -30 "$E2E_LOGS"/*"$(basename "$E2E_BUILD")".log
  echo "0 passed, 1 failed"
  exit 1
fi
e2e_locales_make || { echo "0 passed, 1 failed"; exit 1; }
wine_prefix_new || { echo "0 passed, 1 failed"; exit 1; }
trap wine_prefix_end EXIT
# A server that stays up between programs spares each start of the setup or the driver its
# own server and desktop start-up.
_wineserver -p >/dev/null 2>&1 </dev/null
wine_build_line e2e "release setup"
echo "built and prefix ready after $((SECONDS - start)) s ($WINE_LOADER, $REG_VIEW)"

for file in "$here"/scenarios/*.sh; do
  [[ -n "$pattern" && "$(basename "$file")" != *"$pattern"* ]] && continue
  # shellcheck source=/dev/null
  source "$file"
done

echo "run time $((SECONDS - start)) s; screenshots in $E2E_SHOTS"
summary
