#!/usr/bin/env bash
# Tests of the set-up scripts' decisions, without Wine: which Wine runs the tests on a machine
# (scripts/lib/wine.sh, against stand-in loaders), which i386 packages make 32-bit Wine
# (scripts/lib/wine32.sh, against a recorded dependency list) and how the 32-bit native tests
# run (scripts/lib/native32.sh). The kernel's answer is faked in every case (TVL_LD32 and
# TVL_BINFMT_DIR), so the machine that runs these never shows through. Ends with
# "N passed, N failed".
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
passed=0
failed=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The kernel of every case below, unless a case says otherwise: it runs 32-bit programs itself,
# and no emulator is registered for them.
export TVL_LD32=/bin/true TVL_BINFMT_DIR="$work/binfmt"
mkdir -p "$TVL_BINFMT_DIR"

check_eq() {  # check_eq WHAT EXPECTED ACTUAL
  if [ "$2" = "$3" ]; then passed=$((passed + 1)); echo "ok   $1"
  else failed=$((failed + 1)); echo "FAIL $1"; echo "       expected: $2"; echo "       actual:   $3"; fi
}

# A stand-in 32-bit loader: starts unless a file "broken" lies beside it, and runs any program
# with the exit code 42 that the probe program returns.
fake_loader() {  # fake_loader DIR
  mkdir -p "$1"
  cat >"$1/wine" <<'EOF'
#!/bin/sh
[ -e "$(dirname "$0")/broken" ] && exit 126
[ "$1" = --version ] && { echo wine-8.0; exit 0; }
exit 42
EOF
  printf '#!/bin/sh\necho wine-8.0\n' >"$1/wine64"
  chmod +x "$1/wine" "$1/wine64"
}

# detect VAR=VALUE...: what wine.sh decides in that environment, as
# "PRESET REG_VIEW LOADER-NAME | WHY", with its messages in $work/stderr.
detect() {
  env -i PATH="$PATH" HOME="$work/home" TVL_ROOT="$root" TVL_WINE_CACHE="$work/cache" \
    TVL_WINE_SYSTEM_DIR="$work/system" TVL_WINE32_ROOT="$work/private" \
    TVL_LD32="$TVL_LD32" TVL_BINFMT_DIR="$TVL_BINFMT_DIR" "$@" \
    bash -c 'source "$TVL_ROOT/scripts/lib/wine.sh" &&
      echo "$WINE_ARCH_PRESET $REG_VIEW ${WINE_LOADER#$TVL_WINE_SYSTEM_DIR/} | $WINE_STANDIN_WHY"' 2>"$work/stderr"
}

fake_loader "$work/system"
check_eq "a machine where 32-bit Wine runs: the i686 build, 32-bit registry view" \
  "win32 /reg:32 wine | " "$(detect)"
check_eq "the answer is cached with the machine's key" "win32" "$(sed -n 2p "$work/cache/wine32-decision")"
check_eq "a cached answer of this machine is taken without a word" "win32 /reg:32 wine | " "$(detect)$(cat "$work/stderr")"
check_eq "TVL_WINE_STANDIN=1 forces the stand-in" "win64 /reg:64 wine64 | forced by TVL_WINE_STANDIN" \
  "$(detect TVL_WINE_STANDIN=1)"
check_eq "TVL_WINE_STANDIN=0 forces nothing" "win32 /reg:32 wine | " "$(detect TVL_WINE_STANDIN=0)"

# A cache that another machine wrote: its answer (stand-in) is not taken; the probe runs again.
sed -i '1s/^machine [^ ]*/machine another-machine/; 2s/.*/win64/' "$work/cache/wine32-decision"
check_eq "a cache from another machine is probed again" "win32 /reg:32 wine | " "$(detect)"
check_eq "  and says so in one line" 1 "$(grep -c 'another machine' "$work/stderr")"

# The same key, but the cached loader no longer starts (a library went away).
touch "$work/system/broken"
check_eq "a cached i686 answer whose loader no longer starts falls back to the stand-in" \
  "win64 /reg:64 wine64 | 32-bit Wine ($work/system/wine) did not run a test program" "$(detect)"
check_eq "  and says so in one line" 1 "$(grep -c 'no longer starts' "$work/stderr")"
rm "$work/system/broken"

check_eq "a kernel that refuses 32-bit programs: the stand-in" \
  "win64 /reg:64 wine64 | this kernel cannot run 32-bit programs" "$(detect TVL_LD32=/bin/false)"

# An emulator registered for i386 programs (qemu-user with binfmt_misc) is asked before the
# kernel: 32-bit Wine would start, a minute a program. Disabled entries and tables do not count.
i386_entry() {  # i386_entry DIR STATE MACHINE
  mkdir -p "$1"
  echo enabled >"$1/status"
  printf '%s\ninterpreter /usr/bin/qemu-i386-static\nflags: F\noffset 0\nmagic 7f454c4601010100000000000000000002%s\nmask fffffffffffefefcfffffffffffffffffeffffff\n' \
    "$2" "$3" >"$1/qemu-i386"
}
i386_entry "$work/bf-on" enabled 000300
check_eq "an i386 binfmt handler: the stand-in, naming the handler" \
  "win64 /reg:64 wine64 | 32-bit programs run here only through the i386 binfmt handler qemu-i386 (/usr/bin/qemu-i386-static)" \
  "$(detect TVL_BINFMT_DIR="$work/bf-on")"
i386_entry "$work/bf-off" disabled 000300
i386_entry "$work/bf-arm" enabled 002800
i386_entry "$work/bf-all-off" enabled 000300
echo disabled >"$work/bf-all-off/status"
rm -f "$work/cache/wine32-decision"  # the answer just above was cached for this key
check_eq "a disabled i386 handler, another machine's handler, or binfmt_misc disabled: the kernel's answer" \
  "win32 win32 win32" "$(for d in bf-off bf-arm bf-all-off; do detect TVL_BINFMT_DIR="$work/$d" | cut -d' ' -f1; done | paste -sd' ')"

# No system loader: a private copy counts only when its stamp names the installed 64-bit Wine.
rm "$work/system/wine"
check_eq "no 32-bit Wine at all: the stand-in" \
  "win64 /reg:64 wine64 | no 32-bit Wine here; scripts/bootstrap brings it" "$(detect)"
fake_loader "$work/private/usr/lib/wine"
wine_version=$(dpkg-query -W -f='${Version}' libwine:amd64 2>/dev/null)
echo "wine-version 0.0-not-this-one" >"$work/private/.tarvelon-wine32"
check_eq "a private copy of another Wine version is not used" \
  "win64 /reg:64 wine64 | no 32-bit Wine here; scripts/bootstrap brings it" "$(detect)"
if [ -n "$wine_version" ]; then
  echo "wine-version $wine_version" >"$work/private/.tarvelon-wine32"
  check_eq "a private copy of the installed Wine version runs the i686 build" \
    "win32 /reg:32 $work/private/usr/lib/wine/wine | " "$(detect)"
  private_env=$(env -i PATH="$PATH" HOME="$work/home" TVL_ROOT="$root" TVL_WINE_CACHE="$work/cache" \
    TVL_WINE_SYSTEM_DIR="$work/system" TVL_WINE32_ROOT="$work/private" \
    TVL_LD32="$TVL_LD32" TVL_BINFMT_DIR="$TVL_BINFMT_DIR" \
    bash -c 'source "$TVL_ROOT/scripts/lib/wine.sh" && echo "$LD_LIBRARY_PATH|$WINEDLLPATH"')
  check_eq "  with its i386 libraries and DLLs found" \
    "$work/private/lib/i386-linux-gnu:$work/private/usr/lib/i386-linux-gnu|$work/private/usr/lib/i386-linux-gnu/wine" \
    "$private_env"
fi

# Package choice, from a dependency list in the form apt-cache depends --recurse prints.
# shellcheck source=../../scripts/lib/wine32.sh
source "$root/scripts/lib/wine32.sh"
_installed_names() { printf '%s\n' libexpat1:i386 lib32gcc-s1; }
_multiarch_same() { printf '%s\n' libwine:i386 libc6:i386 libexpat1:i386 libgcc-s1:i386 libx11-6:i386 zlib1g:i386; }
chosen=$(wine32_packages <<'EOF' | paste -sd' '
wine32:i386
  Depends: libc6:i386
  Depends: libwine:i386
libc6:i386
  Depends: libgcc-s1:i386
libwine:i386
  Depends: libx11-6:i386
  Depends: <libz-mingw-w64:i386>
    libz-mingw-w64
  Depends: <debconf-2.0>
libgcc-s1:i386
libx11-6:i386
libexpat1:i386
dpkg:i386
libz-mingw-w64
zlib1g:i386
zlib1g:i386
EOF
)
check_eq "packages: Wine and the libraries it lacks; not libc6, not what is installed or has a lib32 twin, not tools, no virtual names" \
  "libwine:i386 libx11-6:i386 wine32:i386 zlib1g:i386" "$chosen"

# Where apt installed wine32:i386 the bootstrap has nothing more to do, and these do not apply.
if [ -z "$(_installed_version wine32:i386)" ]; then
  said=$(TVL_LD32=/bin/false TVL_WINE32_ROOT="$work/none" \
    bash -c 'source "$0/scripts/lib/wine32.sh" && wine32_provide && echo "went on"' "$root" 2>&1)
  check_eq "a kernel that refuses 32-bit programs: one line at bootstrap, then on" \
    "bootstrap: this kernel cannot run 32-bit programs; the tests use 64-bit Wine
went on" "$said"
fi

# A package that cannot be had: apt refuses wine32:i386 and the download fails. One line says
# so, and the bootstrap goes on (returns success) with 64-bit Wine.
mkdir -p "$work/bin"
cat >"$work/bin/apt-get" <<'EOF'
#!/bin/sh
case "$*" in *download*) echo "E: Can't find a source to download version 8.0 of 'libwine:i386'" >&2 ;; esac
exit 100
EOF
chmod +x "$work/bin/apt-get"
if [ -n "$wine_version" ] && [ -z "$(_installed_version wine32:i386)" ]; then
  said=$(PATH="$work/bin:$PATH" TVL_WINE32_ROOT="$work/none" TVL_WINE32_DEBS="$work/debs" TVL_APT_UPDATED=1 \
    bash -c 'source "$0/scripts/lib/wine32.sh" && wine32_provide && echo "went on"' "$root" 2>&1)
  check_eq "a package that cannot be had: one line, then on with 64-bit Wine" \
    "bootstrap: apt cannot install wine32:i386; unpacking Debian's i386 Wine packages into $work/none
bootstrap: no 32-bit Wine: E: Can't find a source to download version 8.0 of 'libwine:i386'; the tests use 64-bit Wine
went on" "$said"
  check_eq "  and leaves no private copy" "" "$(ls -A "$work" | grep -x none)"
fi

# How the 32-bit native tests run on each kind of machine, with stand-ins for the compiler and
# the emulator: "HOW | WHY".
mkdir -p "$work/tools" "$work/no-toolchain"
printf '#!/bin/sh\nexit 0\n' >"$work/tools/g++"
printf '#!/bin/sh\necho "qemu-i386 version 7.2"\n' >"$work/tools/qemu-i386"
printf '#!/bin/sh\nexit 1\n' >"$work/no-toolchain/g++"
chmod +x "$work/tools/"* "$work/no-toolchain/g++"
native32() {
  env -i PATH="$work/tools:$PATH" HOME="$work/home" TVL_LD32="$TVL_LD32" TVL_BINFMT_DIR="$TVL_BINFMT_DIR" \
    TVL_QEMU_I386="$work/tools/qemu-i386" "$@" \
    bash -c 'source "$0/scripts/lib/native32.sh" && native32_decide && echo "$NATIVE32_HOW | $NATIVE32_WHY"' "$root"
}
check_eq "32-bit tests where the kernel runs 32-bit programs: directly" "direct | the kernel runs them" "$(native32)"
check_eq "32-bit tests where the kernel refuses them and the emulator is there: under qemu" \
  "qemu | this kernel cannot run 32-bit programs" "$(native32 TVL_LD32=/bin/false)"
check_eq "32-bit tests where an i386 binfmt handler is registered: under qemu, named" \
  "qemu | 32-bit programs run here only through the i386 binfmt handler qemu-i386 (/usr/bin/qemu-i386-static)" \
  "$(native32 TVL_BINFMT_DIR="$work/bf-on")"
check_eq "32-bit tests with neither: not run, and why" \
  "none | this kernel cannot run 32-bit programs, and there is no $work/none/qemu to emulate them" \
  "$(native32 TVL_LD32=/bin/false TVL_QEMU_I386="$work/none/qemu")"
check_eq "32-bit tests without a 32-bit toolchain: not run, and why" \
  "none | no 32-bit toolchain here (g++ -m32 cannot link; scripts/bootstrap brings g++-multilib)" \
  "$(native32 PATH="$work/no-toolchain:$PATH")"
said=$(env -i PATH="$work/tools:$PATH" TVL_LD32=/bin/false TVL_QEMU_I386="$work/none/qemu" TVL_BINFMT_DIR="$TVL_BINFMT_DIR" \
  timeout 60 "$root/tests/native/run-i686.sh" 2>&1; echo "exit $?")
check_eq "  and the suite says so in one line and succeeds, building nothing" \
  "native-i686: not run: this kernel cannot run 32-bit programs, and there is no $work/none/qemu to emulate them
exit 0" "$said"

# Neither the 32-bit toolchain nor the emulator can be installed: a line each, then on.
printf '#!/bin/sh\nexit 1\n' >"$work/bin/dpkg-query"
chmod +x "$work/bin/dpkg-query"
said=$(PATH="$work/bin:$PATH" TVL_LD32=/bin/false \
  bash -c 'source "$0/scripts/lib/native32.sh" && native32_provide && echo "went on"' "$root" 2>&1)
check_eq "packages of the 32-bit tests that cannot be had: one line each, then on" \
  "bootstrap: cannot install g++-multilib; the 32-bit native tests may not run here
bootstrap: cannot install qemu-user-static; the 32-bit native tests may not run here
went on" "$said"

# scripts/run shows the uninstall entry from regdump.exe's bytes: Cyrillic of code page 1251
# readable, the NUL gone, a DWORD in its byte order.
# shellcheck source=../../scripts/lib/reg_text.sh
source "$root/scripts/lib/reg_text.sh"
check_eq "registry values from regdump's bytes, for a UTF-8 terminal" \
  "$(printf 'Publisher    REG_SZ    ООО «Тарвелон Софт»\nNoModify    REG_DWORD    0x102\nEmpty    REG_SZ    ')" \
  "$(printf 'Publisher\tREG_SZ\t%s00\nNoModify\tREG_DWORD\t02010000\nEmpty\tREG_SZ\t00\n' \
    "$(printf 'ООО «Тарвелон Софт»' | iconv -f UTF-8 -t CP1251 | od -An -tx1 | tr -d ' \n')" | reg_text CP1251 2>&1)"

echo "$passed passed, $failed failed"
[ $failed -eq 0 ]
