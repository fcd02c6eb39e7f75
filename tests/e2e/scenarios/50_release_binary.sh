# shellcheck shell=bash
# The shipped setup is the i686 build: a 32-bit GUI executable that embeds its manifest.

scenario release-binary en_US.UTF-8
if [ ! -f "$RELEASE_SETUP_EXE" ]; then
  fail "release setup was built" "missing: $RELEASE_SETUP_EXE"
else
  headers=$(i686-w64-mingw32-objdump -p "$RELEASE_SETUP_EXE")
  check_that "PE32 for i386" grep -q 'file format pei-i386' <<<"$headers"
  check_that "optional header magic 010b (32-bit)" grep -qE '^Magic[[:space:]]+010b' <<<"$headers"
  check_that "subsystem 2 (Windows GUI)" grep -qE '^Subsystem[[:space:]]+00000002' <<<"$headers"
  # Type entries of the resource directory are the ones indented by three spaces.
  check_that "a manifest resource (type 24)" \
    grep -qE '^[0-9a-f]+   Entry: ID: 0x000018,' <<<"$headers"
  # The manifest is the one printable run from <assembly to </assembly>; its line breaks
  # become spaces here.
  manifest=$(strings -n 4 "$RELEASE_SETUP_EXE" | tr '\r\n' '  ' |
    grep -oE '<assembly .*</assembly>' | head -1)
  check_that "the manifest asks for administrator rights" \
    grep -qE '<requestedExecutionLevel level="requireAdministrator"' <<<"$manifest"
  check_that "the manifest wants common controls 6.0.0.0 for X86" \
    grep -qE 'name="Microsoft.Windows.Common-Controls" +version="6.0.0.0" +processorArchitecture="X86" +publicKeyToken="6595b64144ccf1df" +language="\*"' \
    <<<"$manifest"
fi
