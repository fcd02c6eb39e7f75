#!/bin/sh
# Builds the data generator with the host compiler and writes Tarvelon.bar and Tarvelon.car.
#
#   make-data.sh OUTDIR [BAR_BYTES CAR_BYTES]   default sizes: 203423744 and 67108864
#   make-data.sh OUTDIR --test                  small files for quick runs: 5003 and 3001 bytes
#
# The host compiler is $HOST_CXX, else c++ (never the cross compiler of a Windows build).
set -eu
if [ $# -lt 1 ]; then
  echo "usage: $0 OUTDIR [BAR_BYTES CAR_BYTES | --test]" >&2
  exit 2
fi
out=$1
bar=203423744
car=67108864
if [ $# -ge 2 ] && [ "$2" = "--test" ]; then
  bar=5003
  car=3001
elif [ $# -ge 3 ]; then
  bar=$2
  car=$3
elif [ $# -ne 1 ]; then
  echo "usage: $0 OUTDIR [BAR_BYTES CAR_BYTES | --test]" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$out"
"${HOST_CXX:-c++}" -std=c++17 -O2 -o "$out/tarvelon-datagen" "$here/generate.cpp"
"$out/tarvelon-datagen" "$out" "$bar" "$car"
