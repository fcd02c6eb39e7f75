#!/usr/bin/env bash
# The native tests built as 32-bit x86 (preset native-i686) and run where they can be: by the
# kernel where it runs 32-bit programs, else under qemu-i386 named on the command line (no
# binfmt entry needed, nothing of the system touched). Where neither can be had it says why in
# one line and succeeds, having run nothing. Arguments go to the test program.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=../../scripts/lib/native32.sh
source "$root/scripts/lib/native32.sh"

native32_decide
case $NATIVE32_HOW in
  direct) echo "native-i686: 32-bit native tests, run directly ($NATIVE32_WHY)" ;;
  qemu) echo "native-i686: 32-bit native tests under qemu-i386 ($NATIVE32_WHY)" ;;
  *) echo "native-i686: not run: $NATIVE32_WHY"; exit 0 ;;
esac

build=${TVL_NATIVE32_BUILD:-$root/build/native-i686}
cmake --preset native-i686 -S "$root" -B "$build" >/dev/null || exit 1
cmake --build "$build" --target native_tests || exit 1
tests=$build/tests/native/native_tests
if [ "$NATIVE32_HOW" = qemu ]; then
  "$TVL_QEMU_I386" "$tests" --gtest_color=no "$@"
else
  "$tests" --gtest_color=no "$@"
fi
