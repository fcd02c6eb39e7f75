# shellcheck shell=bash
# 32-bit Wine for machines whose kernel runs 32-bit programs. Source it and call wine32_provide.
# Never fatal: where 32-bit Wine cannot be had it says so in one line, and the tests go on with
# 64-bit Wine and the x86-64 stand-in build.

wine32_provide() {
  if dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed'; then
    return 0
  fi
  if ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
    echo "bootstrap: this kernel cannot run 32-bit programs; the tests use 64-bit Wine"
    return 0
  fi
  [ -n "${TVL_APT_UPDATED:-}" ] || DEBIAN_FRONTEND=noninteractive apt-get update -qq >/dev/null 2>&1
  if DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends wine32:i386 >/dev/null 2>&1; then
    echo "bootstrap: 32-bit Wine installed through apt"
    return 0
  fi
  echo "bootstrap: apt cannot install wine32:i386; the tests use 64-bit Wine"
}
