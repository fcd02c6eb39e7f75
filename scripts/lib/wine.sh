# shellcheck shell=bash
# Wine for the test scripts. Source it; it decides per machine whether 32-bit Wine can start
# the shipped i686 build (it cannot where the kernel refuses 32-bit Linux programs or where
# 32-bit Wine could not be had) and exports:
#   WINE_LOADER       the loader to start Windows programs with
#   WINE_ARCH_PRESET  win32 when the i686 build can run, else win64 (the x86-64 stand-in)
#   REG_VIEW          /reg:32 for a 32-bit program on a 64-bit prefix, else /reg:64
#   WINE_STANDIN_WHY  why the stand-in runs; empty when the i686 build does
#   WINEDEBUG, WINEDLLOVERRIDES (no waiting for the Mono and Gecko add-ons)
# and offers wine_build_line, wine_prefix_new, wine_run, wine_reg and wine_prefix_end.
# TVL_WINE_STANDIN=1 forces the x86-64 stand-in, to keep that path tested where both run.

TVL_ROOT=${TVL_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
TVL_WINE_CACHE=${TVL_WINE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tarvelon-wine}
# shellcheck source=SCRIPTDIR/wine32.sh
source "$TVL_ROOT/scripts/lib/wine32.sh"

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

_wine_dir=${TVL_WINE_SYSTEM_DIR:-/usr/lib/wine}
_wine64=$_wine_dir/wine64
# The answer of the last probe: its key, the answer and the reason, one a line. (An older
# version of this file kept a bare answer under another name, valid on any machine.)
_wine_decision=$TVL_WINE_CACHE/wine32-decision

# The 32-bit loader to try: the system's, else a private copy that scripts/bootstrap made.
_wine32_loader() {
  if [ -x "$_wine_dir/wine" ]; then
    echo "$_wine_dir/wine"
  else
    wine32_private_loader
  fi
}

# What a probe's answer depends on: the machine, its kernel, both Wine loaders and (for a
# private copy) when it was made. A cache copied from another machine, or kept over a kernel
# or Wine change, does not match.
_wine_decision_key() {
  local machine
  machine=$(cat /etc/machine-id 2>/dev/null || hostname)
  echo "machine $machine kernel $(uname -srvm) loaders $1 $(stat -Lc '%s %Y' "$1" "$_wine64" \
    "${1%/usr/lib/wine/wine}/$_wine32_stamp" 2>/dev/null | paste -sd' ')"
}

# Succeeds when 32-bit Wine runs a tiny i686 program in a throwaway prefix.
_wine32_runs() {
  local loader=$1
  command -v i686-w64-mingw32-gcc >/dev/null || return 1
  local dir rc
  dir=$(mktemp -d)
  printf 'int main(void) { return 42; }\n' >"$dir/probe.c"
  if ! i686-w64-mingw32-gcc -o "$dir/probe.exe" "$dir/probe.c" 2>/dev/null; then
    rm -rf "$dir"
    return 1
  fi
  WINEPREFIX="$dir/prefix" WINELOADER=$loader timeout 120 "$loader" "$dir/probe.exe" >/dev/null 2>&1
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

# Sets answer and why (the reason for the stand-in) for LOADER, from the cache where its key
# still holds and the loader still starts (cheap), else from a probe that is cached.
_wine_decide() {
  local loader=$1 key cached_key=""
  key=$(_wine_decision_key "$loader")
  if [ -r "$_wine_decision" ]; then
    { read -r cached_key; read -r answer; read -r why; } <"$_wine_decision"
    if [ "$cached_key" = "$key" ] && [[ $answer == win32 || $answer == win64 ]]; then
      [ "$answer" = win64 ] || "$loader" --version >/dev/null 2>&1 && return 0
      echo "wine.sh: cached answer win32, but $loader no longer starts; probing again" >&2
    else
      echo "wine.sh: the cached Wine answer was made on another machine, kernel or Wine; probing again" >&2
    fi
  fi
  if _wine32_runs "$loader"; then
    answer=win32 why=""
  else
    answer=win64 why="32-bit Wine ($loader) did not run a test program"
  fi
  mkdir -p "$TVL_WINE_CACHE" && printf '%s\n%s\n%s\n' "$key" "$answer" "$why" >"$_wine_decision"
}

wine_detect() {
  local loader="" answer=win64 why=""
  if [ -n "${TVL_WINE_STANDIN:-}" ] && [ "$TVL_WINE_STANDIN" != 0 ]; then
    why="forced by TVL_WINE_STANDIN"
  elif why=$(kernel32_refusal) && [ -n "$why" ]; then
    :
  elif ! loader=$(_wine32_loader); then
    why="no 32-bit Wine here; scripts/bootstrap brings it"
  else
    [ "$loader" = "$_wine_dir/wine" ] || wine32_private_env "${loader%/usr/lib/wine/wine}"
    _wine_decide "$loader"
  fi
  export WINE_ARCH_PRESET=$answer WINE_STANDIN_WHY=$why
  if [ "$answer" = win32 ]; then
    export WINE_LOADER=$loader
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
  # Programs that Wine starts on its own (wineboot's helpers, the other half of a 64-bit
  # prefix) use the same loader.
  export WINELOADER=$WINE_LOADER
}

# wine_build_line SUITE WHAT: the one line that names the build a suite runs, e.g.
# "e2e: i686 release setup under 32-bit Wine".
wine_build_line() {
  if [ "$WINE_ARCH_PRESET" = win32 ]; then
    echo "$1: i686 $2 under 32-bit Wine ($WINE_LOADER, $REG_VIEW)"
  else
    echo "$1: x86-64 stand-in of the $2 under 64-bit Wine ($WINE_STANDIN_WHY)"
  fi
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
