# shellcheck shell=bash
# Whether this machine runs 32-bit x86 Linux programs itself. Source it; both the Wine decision
# and the 32-bit native tests ask it. Tests fake both answers: TVL_LD32 (the loader the kernel
# is asked to start) and TVL_BINFMT_DIR (the kernel's table of program interpreters).

# The 32-bit dynamic linker (libc6-i386). A kernel without 32-bit support refuses to start it
# ("Exec format error").
TVL_LD32=${TVL_LD32:-/lib/ld-linux.so.2}
TVL_BINFMT_DIR=${TVL_BINFMT_DIR:-/proc/sys/fs/binfmt_misc}

# The enabled binfmt_misc entry that takes i386 programs, as "NAME (INTERPRETER)"; nothing
# where there is none. Such an entry (an emulator someone registered) is asked before the
# kernel's own loader, so every 32-bit program then runs emulated, however willing the kernel.
i386_binfmt_handler() {
  local entry magic
  [ "$(head -1 "$TVL_BINFMT_DIR/status" 2>/dev/null)" = enabled ] || return 0
  for entry in "$TVL_BINFMT_DIR"/*; do
    case ${entry##*/} in status | register) continue ;; esac
    [ "$(head -1 "$entry" 2>/dev/null)" = enabled ] || continue
    magic=$(sed -n 's/^magic //p' "$entry" 2>/dev/null)
    # An ELF header of class 32-bit, little-endian, whose machine (bytes 18-19) is i386 or i486.
    [[ $magic == 7f454c460101* ]] || continue
    case ${magic:36:4} in 0300 | 0600) ;; *) continue ;; esac
    echo "${entry##*/} ($(sed -n 's/^interpreter //p' "$entry"))"
    return 0
  done
}

# Why this machine does not run 32-bit programs natively; nothing when it does.
kernel32_refusal() {
  local handler
  handler=$(i386_binfmt_handler)
  if [ -n "$handler" ]; then
    echo "32-bit programs run here only through the i386 binfmt handler $handler"
  elif [ ! -e "$TVL_LD32" ]; then
    echo "there is no 32-bit dynamic linker ($TVL_LD32)"
  elif ! "$TVL_LD32" --version >/dev/null 2>&1; then
    echo "this kernel cannot run 32-bit programs"
  fi
}

kernel_runs_32bit() { [ -z "$(kernel32_refusal)" ]; }
