#!/usr/bin/env bash
# Builds windows_tests.exe for the architecture that Wine can run here (i686 where 32-bit Wine
# starts, else the x86-64 stand-in; TVL_WINE_STANDIN=1 forces the stand-in), and runs it under
# Wine with a virtual display in a fresh prefix. Exits with the tests' exit code.
# Arguments are passed to the test program (e.g. --gtest_filter=Shell*).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
# shellcheck source=../../scripts/lib/wine.sh
source "$root/scripts/lib/wine.sh"
wine_build_line windows windows_tests.exe

build=${TVL_WINDOWS_TESTS_BUILD:-$root/build/$WINE_ARCH_PRESET-tests}
cmake --preset "$WINE_ARCH_PRESET" -S "$root" -B "$build" >/dev/null || exit 1
cmake --build "$build" --target windows_tests || exit 1

trap wine_prefix_end EXIT
wine_prefix_new || exit 1
xvfb-run -a "$WINE_LOADER" "$build/tests/windows/windows_tests.exe" "$@"
