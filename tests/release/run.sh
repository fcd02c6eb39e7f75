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

# Every directly imported DLL is one of Windows' KnownDLLs (loaded only from the system
# folder), or comctl32, which the manifest redirects to the side-by-side assembly. Anything
# else could be planted beside the setup in a Downloads folder and loaded in its place.
allowed="advapi32.dll comctl32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll shell32.dll user32.dll"
imports_ok() {
  local dll bad=0
  for dll in $(grep -E "DLL Name:" <<<"$dump" | awk '{print tolower($3)}'); do
    if ! grep -qw "$dll" <<<"$allowed"; then echo "  imported from outside the allow-list: $dll"; bad=1; fi
  done
  [ $bad -eq 0 ]
}
check "imports only allow-listed DLLs" imports_ok
not_imported() { ! grep -qi "DLL Name: $1" <<<"$dump"; }
check "version.dll is loaded at run time, not imported" not_imported version.dll

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

echo "$passed passed, $failed failed"
[ $failed -eq 0 ]
