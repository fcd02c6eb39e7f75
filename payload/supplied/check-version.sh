#!/bin/sh
# Builds check_version with the host compiler and checks a supplied Tarvelon.exe with it.
#
#   check-version.sh WORKDIR FILE VERSION-TEXT
#
# The host compiler is $HOST_CXX, else c++ (never the cross compiler of a Windows build).
set -eu
if [ $# -ne 3 ]; then
  echo "usage: $0 WORKDIR FILE VERSION-TEXT" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
mkdir -p "$1"
"${HOST_CXX:-c++}" -std=c++17 -O2 -I "$root" -o "$1/check_version" \
  "$here/check_version.cpp" "$here/pe_file_version.cpp"
"$1/check_version" "$2" "$3"
