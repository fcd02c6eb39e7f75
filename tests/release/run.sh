#!/usr/bin/env bash
# Checks of the release executable itself: a 32-bit GUI program with its manifest, its
# payload, and no DLL imported from outside the allow-list; signed, it verifies.
# Ends with "N passed, N failed".
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${TVL_RELEASE_BUILD:-$root/build/win32}
passed=0
failed=0

check() {  # check "what" command...
  local what=$1; shift
  if "$@"; then passed=$((passed + 1)); echo "ok   $what"
  else failed=$((failed + 1)); echo "FAIL $what"; fi
}

cmake --preset win32 -B "$build" >/dev/null &&
  cmake --build "$build" --target TarvelonSetup >/dev/null || { echo "build failed"; echo "0 passed, 1 failed"; exit 1; }
exe="$build/payload/TarvelonSetup.exe"
echo "release: the i686 release setup ${exe#"$root"/}"
dump=$(i686-w64-mingw32-objdump -p "$exe")

check "32-bit PE" grep -q "file format pei-i386" <<<"$dump"
check "GUI subsystem" grep -qE "^Subsystem[[:space:]]+00000002" <<<"$dump"
# Type 0x18 is RT_MANIFEST.
check "manifest embedded" grep -qE "Entry: ID: 0x000018" <<<"$dump"
manifest_text=$(strings -n 8 "$exe")
check "manifest asks for administrator rights" grep -q 'level="requireAdministrator"' <<<"$manifest_text"
common_controls() {
  local dependency
  dependency=$(grep -A1 'name="Microsoft.Windows.Common-Controls"' <<<"$manifest_text")
  grep -q 'version="6.0.0.0"' <<<"$dependency" && grep -q 'processorArchitecture="X86"' <<<"$dependency" &&
    grep -q 'publicKeyToken="6595b64144ccf1df"' <<<"$dependency" && grep -q 'language="\*"' <<<"$dependency"
}
check "manifest wants the version 6 common controls for X86" common_controls

payload_embedded() {
  local name
  for name in "EXE," "BAR," "CAR," "TARVELON," "UNINSTALL,"; do
    grep -qE "Entry: name: .*: $name" <<<"$dump" || { echo "  no resource $name"; return 1; }
  done
  # Language 1049 (Russian).
  grep -q "Entry: ID: 0x000419" <<<"$dump"
}
check "payload resources embedded, language Russian" payload_embedded

# The digest table that a setup carries (read back with wrestool) vouches for exactly the four
# files it was built from, byte for byte.
digests_match() {  # digests_match SETUP PAYLOAD-FOLDER
  local table
  table=$(mktemp)
  wrestool -x --raw --type=10 --name=PAYLOADDIGESTS "$1" >"$table" && [ -s "$table" ] ||
    { echo "  no digest table in $1"; rm -f "$table"; return 1; }
  sh "$root/payload/digests/payload-digests.sh" "$root/build/release-digests" check "$table" \
    EXE TARVELON "$2/Tarvelon.exe" BAR TARVELON "$2/Tarvelon.bar" \
    CAR TARVELON "$2/Tarvelon.car" EXE UNINSTALL "$2/Uninstall.exe"
  local rc=$?
  rm -f "$table"
  return $rc
}
check "the embedded digests match the four payload files" digests_match "$exe" "$build/payload-files"

# Every directly imported DLL is one of Windows' KnownDLLs (loaded only from the system
# folder), or comctl32, which the manifest redirects to the side-by-side assembly. Anything
# else could be planted beside the setup in a Downloads folder and loaded in its place.
allowed="advapi32.dll comctl32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll shell32.dll user32.dll"
imports_ok() {  # imports_ok [OBJDUMP-TEXT]: the setup's own dump when none is given
  local dll bad=0
  for dll in $(grep -E "DLL Name:" <<<"${1:-$dump}" | awk '{print tolower($3)}'); do
    if ! grep -qw "$dll" <<<"$allowed"; then echo "  imported from outside the allow-list: $dll"; bad=1; fi
  done
  [ $bad -eq 0 ]
}
check "imports only allow-listed DLLs" imports_ok
# The product's two programs are installed beside each other and run from that folder, the
# uninstaller elevated: the same list holds for them.
payload_imports_ok() {
  local program=$build/payload-files/$1 program_dump
  program_dump=$(i686-w64-mingw32-objdump -p "$program") || { echo "  no $program"; return 1; }
  grep -q "file format pei-i386" <<<"$program_dump" || { echo "  $1 is not a 32-bit program"; return 1; }
  imports_ok "$program_dump"
}
check "Uninstall.exe imports only allow-listed DLLs" payload_imports_ok Uninstall.exe
check "Tarvelon.exe imports only allow-listed DLLs" payload_imports_ok Tarvelon.exe
not_imported() { ! grep -qi "DLL Name: $1" <<<"$dump"; }
check "version.dll is loaded at run time, not imported" not_imported version.dll

# Every function the two shipped programs import is in tests/release/imports.tsv and exported
# by Windows 98 and Windows 2000; the loader resolves all of them before the first instruction.
import_check=$root/tests/release/check_imports.py
import_table=$root/tests/release/imports.tsv
check "every import of the setup and Uninstall.exe is on Windows 98 and 2000" \
  "$import_check" "$import_table" "$exe" "$build/payload-files/Uninstall.exe"
# The check itself, on planted faults: a direct call of a Vista function and of one that the
# table does not know, each named.
planted_calls_named() {
  local dir out
  dir=$(mktemp -d)
  printf '%s\n' '#define _WIN32_WINNT 0x0600' '#include <windows.h>' \
    'int main(void) { SYSTEM_INFO info; GetNativeSystemInfo(&info); return (int)GetTickCount64(); }' \
    >"$dir/planted.c"
  i686-w64-mingw32-gcc-win32 -o "$dir/planted.exe" "$dir/planted.c" || { rm -rf "$dir"; return 1; }
  out=$("$import_check" "$import_table" "$dir/planted.exe")
  local rc=$?
  rm -rf "$dir"
  echo "$out"
  [ $rc -ne 0 ] &&
    grep -q "planted.exe: kernel32.dll GetTickCount64: first on Windows NT Vista, newer than 2000" <<<"$out" &&
    grep -q "planted.exe: kernel32.dll GetTickCount64: not exported by Windows 9x" <<<"$out" &&
    grep -q "planted.exe: kernel32.dll GetNativeSystemInfo: missing from the table" <<<"$out"
}
check "the import check names a planted Vista call and an unknown import" planted_calls_named

# Signing with a throwaway certificate.
sign_dir=$(mktemp -d)
trap 'rm -rf "$sign_dir"' EXIT
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Tarvelon Test Signing" \
  -keyout "$sign_dir/key.pem" -out "$sign_dir/cert.pem" >/dev/null 2>&1
# The same build tree, given the certificate: only the link and the signing step run again.
unsigned="$sign_dir/unsigned.exe"
cp "$exe" "$unsigned"
cmake -B "$build" -DTVL_SIGN_CERT="$sign_dir/cert.pem" -DTVL_SIGN_KEY="$sign_dir/key.pem" >/dev/null &&
  cmake --build "$build" --target TarvelonSetup >/dev/null
signed="$sign_dir/signed.exe"
cp "$exe" "$signed"
cmake -B "$build" -DTVL_SIGN_CERT= -DTVL_SIGN_KEY= >/dev/null
rm -f "$exe"  # the next build links an unsigned one again
verifies() { osslsigncode verify -CAfile "$sign_dir/cert.pem" "$1" >"$sign_dir/verify.log" 2>&1; }
check "signed build verifies" verifies "$signed"
does_not_verify() { ! verifies "$1"; }
check "unsigned build does not verify" does_not_verify "$unsigned"
cmp -s "$unsigned" "$signed"
check "signature changes the file" test $? -ne 0

# Every i686 program and test must keep compiling, also where the Windows-side and end-to-end
# tests run their x86-64 stand-ins.
build_all() {
  cmake --build "$build" >"$sign_dir/build-all.log" 2>&1 || { tail -20 "$sign_dir/build-all.log"; return 1; }
}
check "every i686 program and test builds" build_all

# ---------------------------------------------------------------------------------------------
# Image layout: mapped by Wine rather than read whole, stripped, without a time stamp.
payload_files="$build/payload-files"
check "file alignment is one page" grep -qE "^FileAlignment[[:space:]]+00001000$" <<<"$dump"
check "large address aware" grep -q "large address aware" <<<"$dump"
no_debug_sections() { ! i686-w64-mingw32-objdump -h "$1" | grep -q '\.debug'; }
check "no debug sections" no_debug_sections "$exe"
# The COFF header's TimeDateStamp, 8 bytes after the "PE\0\0" that e_lfanew points to.
pe_time_stamp() {
  local pe
  pe=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  od -An -tu4 -j$((pe + 8)) -N4 "$1" | tr -d ' '
}
no_time_stamps() {
  local program stamp bad=0
  for program in "$exe" "$payload_files"/*.exe; do
    stamp=$(pe_time_stamp "$program")
    [ "$stamp" = 0 ] || { echo "  $(basename "$program") has time stamp $stamp"; bad=1; }
  done
  [ $bad -eq 0 ]
}
check "no PE time stamp in the setup or the product's programs" no_time_stamps
stub_small() {
  local payload=0 name stub
  for name in Tarvelon.exe Tarvelon.bar Tarvelon.car Uninstall.exe; do
    payload=$((payload + $(stat -c %s "$payload_files/$name")))
  done
  stub=$(($(stat -c %s "$exe") - payload))
  echo "  stub (executable minus payload): $stub bytes"
  [ "$stub" -le $((512 * 1024)) ]
}
check "stub at most 512 KiB" stub_small

# ---------------------------------------------------------------------------------------------
# Reproducible release: two clean builds in two different folders give the same bytes.
repro=$root/build/release-repro
repro_build() {
  cmake --preset win32 -B "$1" >"$repro/$2.log" 2>&1 &&
    cmake --build "$1" --target TarvelonSetup >>"$repro/$2.log" 2>&1 ||
    { tail -20 "$repro/$2.log"; return 1; }
}
same_bytes_twice() {
  local first second
  rm -rf "$repro"
  mkdir -p "$repro"
  repro_build "$repro/first" first && repro_build "$repro/another/build folder" second || return 1
  first=$(sha256sum <"$repro/first/payload/TarvelonSetup.exe" | cut -d' ' -f1)
  second=$(sha256sum <"$repro/another/build folder/payload/TarvelonSetup.exe" | cut -d' ' -f1)
  echo "  SHA-256 $first and $second"
  [ "$first" = "$second" ]
}
check "two clean builds in different folders give the same SHA-256" same_bytes_twice
rm -rf "$repro"

# ---------------------------------------------------------------------------------------------
# A release from the product's own files (TVL_PAYLOAD_DIR), built for the architecture that
# Wine runs here, so that it can be installed.
# shellcheck source=../../scripts/lib/wine.sh
source "$root/scripts/lib/wine.sh"
supplied_build=$root/build/release-supplied-$WINE_ARCH_PRESET
supplied=$sign_dir/supplied
mkdir -p "$supplied"
# Files of our own, unlike the stand-ins: the programs with bytes appended, random data files.
cp "$payload_files/Tarvelon.exe" "$payload_files/Uninstall.exe" "$supplied/"
echo "supplied to the release check" >>"$supplied/Tarvelon.exe"
echo "supplied to the release check" >>"$supplied/Uninstall.exe"
head -c $((1024 * 1024 + 3)) /dev/urandom >"$supplied/Tarvelon.bar"
head -c 777 /dev/urandom >"$supplied/Tarvelon.car"
configure_supplied() {
  cmake --preset "$WINE_ARCH_PRESET" -B "$supplied_build" -DTVL_PAYLOAD_DIR="$1" >"$sign_dir/supplied.log" 2>&1
}
missing_file_named() {
  local incomplete=$sign_dir/incomplete
  mkdir -p "$incomplete"
  cp "$supplied/Tarvelon.exe" "$supplied/Tarvelon.bar" "$supplied/Uninstall.exe" "$incomplete/"
  configure_supplied "$incomplete" && { echo "  configuration went on without Tarvelon.car"; return 1; }
  grep -c "TVL_PAYLOAD_DIR holds no Tarvelon.car: $incomplete/Tarvelon.car" "$sign_dir/supplied.log" |
    grep -qx 1 || { tail -5 "$sign_dir/supplied.log"; return 1; }
}
check "a missing supplied file stops configuration with one line naming it" missing_file_named
wrong_version_refused() {
  local wrong=$sign_dir/wrong-version
  mkdir -p "$wrong"
  cp "$supplied"/* "$wrong/"
  # The end-to-end fixture that says FileVersion 1.0.2.0.
  cp "$build/tests/e2e/versioned.exe" "$wrong/Tarvelon.exe" || return 1
  configure_supplied "$wrong" || { tail -5 "$sign_dir/supplied.log"; return 1; }
  cmake --build "$supplied_build" --target TarvelonSetup >"$sign_dir/supplied-build.log" 2>&1 &&
    { echo "  the build went on"; return 1; }
  grep -q 'Tarvelon.exe has FileVersion "1.0.2.0", which does not begin with the product.s version 1.0.1' \
    "$sign_dir/supplied-build.log" || { tail -5 "$sign_dir/supplied-build.log"; return 1; }
}
check "a supplied Tarvelon.exe of another version fails the build, saying so" wrong_version_refused
supplied_installs() {
  configure_supplied "$supplied" &&
    cmake --build "$supplied_build" --target TarvelonSetup boxdriver >"$sign_dir/supplied-build.log" 2>&1 ||
    { tail -20 "$sign_dir/supplied-build.log"; return 1; }
  "$root/tests/release/supplied_install.sh" "$supplied_build" "$supplied" >"$sign_dir/supplied-install.log" 2>&1 ||
    { sed 's/^/  /' "$sign_dir/supplied-install.log"; return 1; }
  echo "  installation: $(tail -1 "$sign_dir/supplied-install.log")"
}
check "a setup built from supplied files installs exactly those files" supplied_installs
check "its embedded digests match the supplied files" \
  digests_match "$supplied_build/payload/TarvelonSetup.exe" "$supplied"
undigestible_refused() {
  local huge=$sign_dir/huge
  mkdir -p "$huge"
  cp "$supplied"/* "$huge/"
  truncate -s $((4 * 1024 * 1024 * 1024 + 1)) "$huge/Tarvelon.car"  # sparse
  configure_supplied "$huge" || { tail -5 "$sign_dir/supplied.log"; return 1; }
  cmake --build "$supplied_build" --target TarvelonSetup >"$sign_dir/supplied-build.log" 2>&1 &&
    { echo "  the build went on"; return 1; }
  grep -c "^payload digests: $huge/Tarvelon.car is too large to be embedded (4294967297 bytes)$" \
    "$sign_dir/supplied-build.log" | grep -qx 1 || { tail -5 "$sign_dir/supplied-build.log"; return 1; }
}
check "a supplied file that cannot be digested fails the build with one line naming it" undigestible_refused

echo "$passed passed, $failed failed"
[ $failed -eq 0 ]
