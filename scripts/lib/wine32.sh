# shellcheck shell=bash
# 32-bit Wine for machines whose kernel runs 32-bit programs. Source it and call wine32_provide.
# Never fatal: where 32-bit Wine cannot be had it says so in one line, and the tests go on with
# 64-bit Wine and the x86-64 stand-in build.
#
# apt installs wine32:i386 where it can. Where it cannot (multiarch wants every i386 library at
# the version of its amd64 twin, and the archive sometimes carries only older i386 ones), the
# same Debian i386 packages are unpacked into a private folder that nothing of the system owns,
# and Wine is started from there (wine32_private_env). The folder lives outside the work tree
# so that every clone on the machine shares it.

TVL_WINE32_ROOT=${TVL_WINE32_ROOT:-/opt/tarvelon-wine32}
TVL_WINE32_DEBS=${TVL_WINE32_DEBS:-/var/cache/tarvelon-wine32}
# What the private folder holds, written last: its presence means the folder is complete.
_wine32_stamp=.tarvelon-wine32

# Where the kernel refuses 32-bit programs, or runs them only through an emulator, Wine cannot
# start a 32-bit program either (or takes a minute to).
# shellcheck source=kernel32.sh
source "$(dirname "${BASH_SOURCE[0]}")/kernel32.sh"

_wine32_say() { echo "bootstrap: $*"; }

_installed_version() {
  dpkg-query -W -f='${Status} ${Version}\n' "$1" 2>/dev/null | sed -n 's/^install ok installed //p'
}

# The environment that starts Wine from a private folder ROOT: the loader finds its own
# libraries and the server beside itself, the dynamic linker finds the i386 libraries, and
# 64-bit Wine (wineboot of a 64-bit prefix) finds both the 32-bit loader and the 32-bit DLLs.
wine32_private_env() {
  local root=$1
  export LD_LIBRARY_PATH="$root/lib/i386-linux-gnu:$root/usr/lib/i386-linux-gnu${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
  export WINEDLLPATH="$root/usr/lib/i386-linux-gnu/wine${WINEDLLPATH:+:$WINEDLLPATH}"
}

# The loader of a complete private copy that matches the installed 64-bit Wine; nothing
# otherwise. Halves of different versions do not speak the same server protocol.
wine32_private_loader() {
  local root=$TVL_WINE32_ROOT
  [ -r "$root/$_wine32_stamp" ] && [ -x "$root/usr/lib/wine/wine" ] || return 1
  grep -qx "wine-version $(_installed_version libwine:amd64)" "$root/$_wine32_stamp" || return 1
  echo "$root/usr/lib/wine/wine"
}

# wine32_packages < "apt-cache depends --recurse" output: the i386 packages that 32-bit Wine
# needs and the system does not already provide, one a line. Only libraries (Multi-Arch: same)
# count: tools and data marked foreign are served by the amd64 ones. libc6 is never taken: its
# libraries must be those of the dynamic linker /lib/ld-linux.so.2, which libc6-i386 brings;
# the same goes for the lib32 twins of other libraries that are installed.
wine32_packages() {
  local names installed same name base
  names=$(grep -E '^[a-z0-9][^ <]*:i386$' | sort -u)
  [ -n "$names" ] || return 0
  # shellcheck disable=SC2086,SC2046
  installed=" $(_installed_names $names $(echo "$names" | sed -nE 's/^lib(.*):i386$/lib32\1/p') | tr '\n' ' ') "
  # shellcheck disable=SC2086
  same=" $(_multiarch_same $names | tr '\n' ' ') "
  for name in $names; do
    base=${name%:i386}
    case $base in
      wine32) echo "$name"; continue ;;
      libc6) continue ;;
    esac
    [[ $installed == *" $name "* || $installed == *" lib32${base#lib} "* ]] && continue
    [[ $same == *" $name "* ]] && echo "$name"
  done
}

# Of the packages named, those installed, one a line (an i386 one with its ":i386").
_installed_names() {
  dpkg-query -W -f='${Package}:${Architecture} ${Status}\n' "$@" 2>/dev/null |
    sed -n 's/ install ok installed$//p' | sed -E 's/:(amd64|all)$//'
}

# Of the i386 packages named, those whose candidate is "Multi-Arch: same", one a line.
_multiarch_same() {
  apt-cache show --no-all-versions "$@" 2>/dev/null | awk '
    /^Package: / { name = $2 } /^Architecture: / { arch = $2 }
    /^Multi-Arch: same/ { same = 1 }
    /^$/ { if (same && arch == "i386") print name ":i386"; name = arch = ""; same = 0 }
    END { if (same && arch == "i386") print name ":i386" }'
}

# Downloads what is missing from the package cache; prints nothing, fails with apt's error.
_wine32_download() {
  local uris names log empty
  mkdir -p "$TVL_WINE32_DEBS" || return 1
  log=$(mktemp)
  # Each line: 'URI' NAME_VERSION_ARCH.deb SIZE SHA256:HASH. A file already in the cache with
  # that hash is kept; the others are fetched at exactly that version.
  # (apt leaves out what the current folder already holds: ask in an empty one.)
  empty=$(mktemp -d)
  uris=$(cd "$empty" && apt-get download --print-uris "$@" 2>"$log") ||
    { grep -E '^E:' "$log" | head -1; rm -rf "$log" "$empty"; return 1; }
  rmdir "$empty"
  names=$(echo "$uris" | while read -r _ file _ hash; do
    [ "$(sha256sum "$TVL_WINE32_DEBS/$file" 2>/dev/null | cut -d' ' -f1)" = "${hash#SHA256:}" ] && continue
    IFS=_ read -r name version _ <<<"$file"
    echo "$name:i386=${version//%3a/:}"
  done)
  if [ -n "$names" ]; then
    # shellcheck disable=SC2086
    (cd "$TVL_WINE32_DEBS" && apt-get download -q $names >"$log" 2>&1) ||
      { grep -E '^E:' "$log" | head -1; rm -f "$log"; return 1; }
  fi
  rm -f "$log"
  echo "$uris" | awk '{print $2}' >"$TVL_WINE32_DEBS/wanted"
}

# Unpacks the cached packages into a new folder beside the private root and completes what
# their maintainer scripts would have done; then puts it in place of the old one.
_wine32_unpack() {
  local version=$1 new="$TVL_WINE32_ROOT.new" deb control
  rm -rf "$new" && mkdir -p "$new" || return 1
  while read -r deb; do
    dpkg-deb -x "$TVL_WINE32_DEBS/$deb" "$new" || { echo "cannot unpack $deb"; return 1; }
  done <"$TVL_WINE32_DEBS/wanted"
  # libwine's postinst builds the zlib DLLs from the MinGW zlib (libz-mingw-w64); of the other
  # scripts none matters to Wine (icon caches, capabilities of helper programs).
  control=$(mktemp -d)
  dpkg-deb -e "$TVL_WINE32_DEBS/$(grep '^libwine_' "$TVL_WINE32_DEBS/wanted")" "$control" || return 1
  sed "s#/usr/lib/i386-linux-gnu/wine/#$new/usr/lib/i386-linux-gnu/wine/#g" "$control/postinst" \
    >"$control/postinst.private"
  if ! sh "$control/postinst.private" configure >/dev/null 2>&1 ||
    [ ! -s "$new/usr/lib/i386-linux-gnu/wine/i386-windows/zlib1.dll" ]; then
    rm -rf "$control"
    echo "libwine's zlib1.dll could not be built (is libz-mingw-w64 installed?)"
    return 1
  fi
  rm -rf "$control"
  # Wine looks for its other half beside the loader.
  ln -sfn /usr/lib/wine/wine64 "$new/usr/lib/wine/wine64"
  rm -rf "$TVL_WINE32_ROOT" && mv "$new" "$TVL_WINE32_ROOT" || return 1
  {
    echo "wine-version $version"
    echo "made $(date -u +%FT%TZ) from $(wc -l <"$TVL_WINE32_DEBS/wanted") packages in $TVL_WINE32_DEBS:"
    cat "$TVL_WINE32_DEBS/wanted"
  } >"$TVL_WINE32_ROOT/$_wine32_stamp"
}

# Brings the private copy: the packages that apt lists for wine32:i386 at the version of the
# installed 64-bit Wine. Prints the reason when it fails.
_wine32_private_make() {
  local version libc_wanted libc_have packages
  # Bootstraps of other clones on this machine may be at the same step.
  mkdir -p "$TVL_WINE32_DEBS" && exec 9>"$TVL_WINE32_DEBS/.lock" || return 1
  flock -w 900 9 || { echo "another bootstrap kept $TVL_WINE32_DEBS/.lock for 15 minutes"; return 1; }
  wine32_private_loader >/dev/null && return 0
  version=$(_installed_version libwine:amd64)
  [ -n "$version" ] || { echo "64-bit Wine (libwine) is not installed"; return 1; }
  # The i386 libraries run on the libc of /lib/ld-linux.so.2; it must be new enough for them.
  libc_have=$(_installed_version libc6-i386)
  libc_wanted=$(apt-cache show "libwine:i386=$version" 2>/dev/null | sed -n 's/^Depends: .*libc6 (>= \([^)]*\)).*/\1/p' | head -1)
  [ -n "$libc_wanted" ] || { echo "the archive has no libwine:i386 $version"; return 1; }
  if ! dpkg --compare-versions "$libc_have" ge "$libc_wanted"; then
    echo "libc6-i386 ${libc_have:-(none)} is older than the $libc_wanted that libwine:i386 needs"
    return 1
  fi
  packages=$(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts \
    --no-breaks --no-replaces --no-enhances "wine32:i386=$version" 2>/dev/null | wine32_packages)
  # Wine's own two at exactly the version of the 64-bit half.
  # shellcheck disable=SC2086
  packages=$(echo $packages | tr ' ' '\n' | grep -vxE 'wine32:i386|libwine:i386' | tr '\n' ' ')
  # shellcheck disable=SC2086
  _wine32_download "wine32:i386=$version" "libwine:i386=$version" $packages || return 1
  _wine32_unpack "$version"
}

# Succeeds when the 32-bit loader at $1 starts at all (libraries found, kernel willing).
_wine32_starts() { "$1" --version >/dev/null 2>&1; }

wine32_provide() {
  local reason loader start=$SECONDS
  if [ -n "$(_installed_version wine32:i386)" ]; then
    return 0
  fi
  # libc6-i386 brings the 32-bit dynamic linker; without it the kernel cannot even be asked.
  if [ ! -e "$TVL_LD32" ]; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends libc6-i386 >/dev/null 2>&1
  fi
  if ! reason=$(kernel32_refusal) || [ -n "$reason" ]; then
    _wine32_say "$reason; the tests use 64-bit Wine"
    return 0
  fi
  if loader=$(wine32_private_loader) && (wine32_private_env "$TVL_WINE32_ROOT" && _wine32_starts "$loader"); then
    _wine32_say "32-bit Wine: the private copy in $TVL_WINE32_ROOT"
    return 0
  fi
  [ -n "${TVL_APT_UPDATED:-}" ] || DEBIAN_FRONTEND=noninteractive apt-get update -qq >/dev/null 2>&1
  if DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends wine32:i386 >/dev/null 2>&1; then
    _wine32_say "32-bit Wine installed through apt"
    return 0
  fi
  _wine32_say "apt cannot install wine32:i386; unpacking Debian's i386 Wine packages into $TVL_WINE32_ROOT"
  if ! reason=$(_wine32_private_make); then
    _wine32_say "no 32-bit Wine: ${reason:-unpacking failed}; the tests use 64-bit Wine"
    return 0
  fi
  if ! (wine32_private_env "$TVL_WINE32_ROOT" && _wine32_starts "$TVL_WINE32_ROOT/usr/lib/wine/wine"); then
    _wine32_say "no 32-bit Wine: the private copy in $TVL_WINE32_ROOT does not start; the tests use 64-bit Wine"
    return 0
  fi
  _wine32_say "32-bit Wine ready in $TVL_WINE32_ROOT after $((SECONDS - start)) s"
}
