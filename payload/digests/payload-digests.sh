#!/bin/sh
# Builds payload_digests with the host compiler and runs it (see payload_digests.cpp).
#
#   payload-digests.sh WORKDIR make|check TABLE TYPE NAME FILE [...]
#
# The host compiler is $HOST_CXX, else c++ (never the cross compiler of a Windows build).
set -eu
if [ $# -lt 6 ]; then
  echo "usage: $0 WORKDIR make|check TABLE TYPE NAME FILE [...]" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
work=$1
shift
mkdir -p "$work"
tool=$work/payload_digests
sources="$here/payload_digests.cpp $root/install/digest_table.cpp $root/platform/chunk_digest.cpp"
# Built once per work folder, again only when a source is newer.
stale=$(find $sources -newer "$tool" 2>/dev/null | head -1) || stale=yes
if [ ! -x "$tool" ] || [ -n "$stale" ]; then
  # shellcheck disable=SC2086
  "${HOST_CXX:-c++}" -std=c++17 -O2 -I "$root" -o "$tool" $sources
fi
exec "$tool" "$@"
