# shellcheck shell=bash
# Wine for the test scripts. Source it; it decides once per machine whether 32-bit Wine can
# start (it cannot where the kernel refuses 32-bit Linux programs) and exports:
#   WINE_LOADER       the loader to start Windows programs with
#   WINE_ARCH_PRESET  win32 when the 32-bit setup can run, else win64 (x86-64 test builds)
#   REG_VIEW          /reg:32 for a 32-bit program on a 64-bit prefix, else /reg:64
#   WINEDEBUG, WINEDLLOVERRIDES (no waiting for the Mono and Gecko add-ons)
# and offers wine_prefix_new, wine_run, wine_reg and wine_prefix_end.

TVL_ROOT=${TVL_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
TVL_WINE_CACHE=${TVL_WINE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tarvelon-wine}

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

_wine32=/usr/lib/wine/wine
_wine64=/usr/lib/wine/wine64

# Succeeds when 32-bit Wine runs a tiny i686 program in a throwaway prefix.
_wine32_runs() {
  [ -x "$_wine32" ] || return 1
  # A kernel without 32-bit support fails here at once ("Exec format error").
  "$_wine32" --version >/dev/null 2>&1 || return 1
  command -v i686-w64-mingw32-gcc >/dev/null || return 1
  local dir rc
  dir=$(mktemp -d)
  printf 'int main(void) { return 42; }\n' >"$dir/probe.c"
  if ! i686-w64-mingw32-gcc -o "$dir/probe.exe" "$dir/probe.c" 2>/dev/null; then
    rm -rf "$dir"
    return 1
  fi
  WINEPREFIX="$dir/prefix" timeout 120 "$_wine32" "$dir/probe.exe" >/dev/null 2>&1
  rc=$?
  WINEPREFIX="$dir/prefix" _wineserver -k >/dev/null 2>&1
  rm -rf "$dir"
  [ "$rc" -eq 42 ]
}

# The wineserver that starts here: the Debian wrapper, else the 64-bit server itself.
_wineserver() {
  if command -v wineserver >/dev/null && wineserver --version >/dev/null 2>&1; then
    wineserver "$@"
  else
    /usr/lib/wine/wineserver64 "$@"
  fi
}

wine_detect() {
  local answer=""
  [ -r "$TVL_WINE_CACHE/arch" ] && answer=$(cat "$TVL_WINE_CACHE/arch")
  if [ "$answer" != win32 ] && [ "$answer" != win64 ]; then
    if _wine32_runs; then answer=win32; else answer=win64; fi
    mkdir -p "$TVL_WINE_CACHE" && echo "$answer" >"$TVL_WINE_CACHE/arch"
  fi
  export WINE_ARCH_PRESET=$answer
  if [ "$answer" = win32 ]; then
    export WINE_LOADER=$_wine32
    # With wine64 installed a new prefix is 64-bit, and a 32-bit program sees the 32-bit view.
    if [ -x "$_wine64" ] && "$_wine64" --version >/dev/null 2>&1; then
      export REG_VIEW=/reg:32
    else
      export REG_VIEW=/reg:64
    fi
  else
    export WINE_LOADER=$_wine64
    export REG_VIEW=/reg:64
  fi
  # Programs that Wine starts on its own (wineboot's helpers) use the same loader.
  export WINELOADER=$WINE_LOADER
}

# wine_prefix_new [folder]: a fresh prefix (about 12 s), exported as WINEPREFIX. Without a
# folder a temporary one is made, and wine_prefix_end removes it again.
wine_prefix_new() {
  if [ -n "${1:-}" ]; then
    export WINEPREFIX=$1
    TVL_WINE_PREFIX_OWNED=""
  else
    export WINEPREFIX
    WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/tvl-wine.XXXXXX")
    TVL_WINE_PREFIX_OWNED=$WINEPREFIX
  fi
  mkdir -p "$WINEPREFIX"
  "$WINE_LOADER" wineboot -i >/dev/null 2>&1 || { echo "wine.sh: wineboot failed" >&2; return 1; }
  # Xvfb runs no window manager; managed windows then wait 2 s for it at every hide.
  "$WINE_LOADER" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
    >/dev/null 2>&1 </dev/null
  _wineserver -w
}

# wine_run program [arguments...]: runs a Windows program in WINEPREFIX; returns its exit code.
wine_run() {
  "$WINE_LOADER" "$@"
}

# wine_reg query|add|delete ...: the prefix's reg tool, in the view the setup sees.
wine_reg() {
  "$WINE_LOADER" reg "$@" "$REG_VIEW"
}

# Ends every process of the prefix and waits for them; removes a prefix that we made.
wine_prefix_end() {
  [ -n "${WINEPREFIX:-}" ] || return 0
  _wineserver -k >/dev/null 2>&1
  _wineserver -w >/dev/null 2>&1
  if [ -n "${TVL_WINE_PREFIX_OWNED:-}" ] && [ "$TVL_WINE_PREFIX_OWNED" = "$WINEPREFIX" ]; then
    rm -rf "$TVL_WINE_PREFIX_OWNED"
    TVL_WINE_PREFIX_OWNED=""
  fi
}

wine_detect
