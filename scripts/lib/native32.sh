# shellcheck shell=bash
# The native tests built a second time as 32-bit x86, the way the shipped i686 program compiles
# the same logic (32-bit size_t, the digest's SSE2 and portable builds). Source it.
#   native32_provide   (bootstrap) brings g++-multilib, and qemu-user-static where the kernel
#                      runs no 32-bit code; never fatal
#   native32_decide    sets NATIVE32_HOW (direct, qemu or none) and NATIVE32_WHY
# TVL_QEMU_I386 names the emulator (default: qemu-i386-static on the PATH).

# shellcheck source=kernel32.sh
source "$(dirname "${BASH_SOURCE[0]}")/kernel32.sh"

TVL_QEMU_I386=${TVL_QEMU_I386:-qemu-i386-static}

# Succeeds when g++ builds and links a 32-bit C++ program here.
native32_toolchain() {
  local dir ok=1
  dir=$(mktemp -d)
  printf '#include <string>\nint main() { return std::string("i686").size() == 4 ? 0 : 1; }\n' >"$dir/p.cpp"
  g++ -m32 -o "$dir/p" "$dir/p.cpp" >/dev/null 2>&1 && ok=0
  rm -rf "$dir"
  return $ok
}

# The emulator runs i386 programs when it is named, whether or not any binfmt entry exists.
native32_emulator() { "$TVL_QEMU_I386" --version >/dev/null 2>&1; }

native32_decide() {
  local refusal
  NATIVE32_HOW=none
  if ! native32_toolchain; then
    NATIVE32_WHY="no 32-bit toolchain here (g++ -m32 cannot link; scripts/bootstrap brings g++-multilib)"
    return 0
  fi
  refusal=$(kernel32_refusal)
  if [ -z "$refusal" ]; then
    NATIVE32_HOW=direct NATIVE32_WHY="the kernel runs them"
  elif native32_emulator; then
    NATIVE32_HOW=qemu NATIVE32_WHY=$refusal
  else
    NATIVE32_WHY="$refusal, and there is no $TVL_QEMU_I386 to emulate them"
  fi
}

# One line per package that cannot be had; the tests then say the suite could not run.
native32_provide() {
  local packages=(g++-multilib) p
  kernel_runs_32bit || packages+=(qemu-user-static)
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' && continue
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$p" >/dev/null 2>&1 ||
      echo "bootstrap: cannot install $p; the 32-bit native tests may not run here"
  done
}
