#!/usr/bin/env bash
# Benchmark of the full-size setup under Wine on a virtual display, side by side with the
# floors it can be held against:
#   - the setup's copy of its four payload files, timed by bench_driver.exe from the Yes to
#     the confirmation question until the progress window is hidden, split into the work
#     before the first file, each file's extraction and the pause after each file;
#   - reference_writer.exe, which carries the same files as resources and writes each with
#     one WriteFile straight from the loaded resource (the floor for resources under Wine);
#   - Linux cp of the same files (the machine's floor);
#   - the setup's peak resident memory, its time to the question, its stub size (executable
#     minus payload) and the build times of the full-size setup;
#   - two references built here and timed in the same runs: an NSIS installer of the same four
#     files that does the setup's whole job (makensis, uncompressed, one Yes/No question, the
#     setup's ten uninstall values, its old Start-menu groups removed, the files, the three
#     links and website shortcut, the program started) and question_box.exe, which shows the
#     same Yes/No box and nothing else, linked like the setup (the floor of start to question):
#     start to question, Yes to process end and peak resident memory of each; the setup's
#     memory up to its question (a run answered No); the NSIS installer built again without
#     its CRC check, answered No, for what that check of its whole file costs at start;
#   - the payload check's cost: the setup and a build of it without the check
#     (TVL_UNVERIFIED_PAYLOAD, built for this alone) in rounds of their own, each run first
#     after a reset, in turns; and digest_speed.exe, the digest's throughput and the fill of a
#     fresh buffer with and without it, from the setup's own code;
#   - a second clean build of the setup in another folder, compared by SHA-256;
#   - a release built from supplied files (the payload's programs with bytes appended and its
#     data files) installed once and compared byte for byte;
#   - the scale check: a setup with a 1.5 GiB Tarvelon.bar, installed once, compared byte for
#     byte, with its time and peak memory.
# Prints minimum and median of each timing and writes bench/RESULTS.md. Asserts nothing.
#
#   bench/run.sh [--runs N] [--no-clean] [--managed] [--no-scale] [--against REF]
#     --runs N     timed rounds (default 10, an even number: each installer comes first in
#                  half of them), after one untimed warm-up round
#     --no-clean   reuse the build folders: no clean build times, no second clean build
#     --managed    leave Wine's X11 windows managed (its default); see RESULTS.md on why the
#                  benchmark turns that off
#     --no-scale   skip the scale check (it builds and installs about 6 GB)
#     --against REF  also build the setup of the git revision REF (with the same payload files)
#                  and time its copy against this one's in rounds of their own, in turns, for
#                  the ratio of the four extractions to REF's
# Builds in build/bench-win64 and build/bench-win32 (kept), and for a while in
# build/bench-<arch>-again, build/bench-supplied(-files) and build/bench-scale (removed once
# measured); logs and raw figures in build/bench-logs.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)

runs=10
clean=1
managed=""
scale=1
against=""
while [ $# -gt 0 ]; do
  case $1 in
    --runs) runs=$2; shift 2 ;;
    --no-clean) clean=""; shift ;;
    --managed) managed=1; shift ;;
    --no-scale) scale=""; shift ;;
    --against) against=$2; shift 2 ;;
    *) echo "usage: $0 [--runs N] [--no-clean] [--managed] [--no-scale] [--against REF]" >&2; exit 2 ;;
  esac
done

# One virtual display for the whole run.
if [ -z "${BENCH_DISPLAY_UP:-}" ]; then
  args=(--runs "$runs")
  [ -z "$clean" ] && args+=(--no-clean)
  [ -n "$managed" ] && args+=(--managed)
  [ -z "$scale" ] && args+=(--no-scale)
  [ -n "$against" ] && args+=(--against "$against")
  BENCH_DISPLAY_UP=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "${args[@]}"
fi

# shellcheck source=../scripts/lib/wine.sh
source "$root/scripts/lib/wine.sh"
logs=$root/build/bench-logs
mkdir -p "$logs"
raw=$logs/raw.tsv
: >"$raw"
payload_names=(Tarvelon.exe Tarvelon.bar Tarvelon.car Uninstall.exe)
started_at=$(date -u '+%Y-%m-%d %H:%M UTC')
load_before=$(cut -d' ' -f1-3 /proc/loadavg)

say() { echo "bench: $*"; }
now_ns() { date +%s%N; }
# seconds with one decimal between two now_ns readings
secs() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", (b - a) / 1e9 }'; }

toolchain_of() {
  if [ "$1" = win32 ]; then echo "$root/cmake/mingw-i686.cmake"; else echo "$root/cmake/mingw-x86_64.cmake"; fi
}

# build_setup ARCH: the full-size TarvelonSetup target in build/bench-ARCH. Records the clean
# build time (configure and build from an empty folder) unless --no-clean, then the rebuild
# after a change of the resource script. The rebuild removes the compiled resource script of
# this build folder instead of touching payload/setup.rc: the same work for ninja (compile
# the resources, link), without making every other build folder of the shared tree redo it.
declare -A clean_s rebuild_s stub_bytes exe_bytes
configure_setup() {  # configure_setup ARCH DIR LOG [CMAKE-ARGS...]
  local arch=$1 dir=$2 log=$3
  shift 3
  cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
    -DCMAKE_TOOLCHAIN_FILE="$(toolchain_of "$arch")" "$@" >"$log" 2>&1
}
build_setup() {
  local arch=$1 dir=$root/build/bench-$1 t0 t1
  if [ -n "$clean" ]; then
    rm -rf "$dir"
    say "clean build of the full-size $arch setup"
    t0=$(now_ns)
    configure_setup "$arch" "$dir" "$logs/configure-$arch.log"
    ninja -C "$dir" TarvelonSetup >"$logs/build-$arch.log" 2>&1
    t1=$(now_ns)
    clean_s[$arch]=$(secs "$t0" "$t1")
  else
    [ -f "$dir/build.ninja" ] || configure_setup "$arch" "$dir" "$logs/configure-$arch.log"
    ninja -C "$dir" TarvelonSetup >"$logs/build-$arch.log" 2>&1
    clean_s[$arch]="-"
  fi
  say "rebuild of the $arch setup after a change of its resources"
  rm -f "$dir/payload/CMakeFiles/TarvelonSetup.dir/setup.rc.res"
  t0=$(now_ns)
  ninja -C "$dir" TarvelonSetup >"$logs/rebuild-$arch.log" 2>&1
  t1=$(now_ns)
  rebuild_s[$arch]=$(secs "$t0" "$t1")
  local exe=$dir/payload/TarvelonSetup.exe payload=0 name
  for name in "${payload_names[@]}"; do
    payload=$((payload + $(stat -c %s "$dir/payload-files/$name")))
  done
  exe_bytes[$arch]=$(stat -c %s "$exe")
  stub_bytes[$arch]=$((exe_bytes[$arch] - payload))
}

timed=$WINE_ARCH_PRESET
archs=("$timed")
[ "$timed" = win64 ] && archs+=(win32)  # the release build, for its size and build time
for arch in "${archs[@]}"; do build_setup "$arch"; done

build=$root/build/bench-$timed
setup_exe=$build/payload/TarvelonSetup.exe
payload_dir=$build/payload-files
tools=$build/bench-tools
say "bench programs ($timed)"
cmake -S "$here" -B "$tools" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$(toolchain_of "$timed")" -DTVL_PAYLOAD_DIR="$payload_dir" \
  >"$logs/configure-tools.log" 2>&1
ninja -C "$tools" >"$logs/build-tools.log" 2>&1
box_exe=$tools/question_box.exe
say "the setup without its payload check, and digest_speed ($timed)"
unchecked_build=$root/build/bench-$timed-unchecked
[ -n "$clean" ] && rm -rf "$unchecked_build"
[ -f "$unchecked_build/build.ninja" ] ||
  configure_setup "$timed" "$unchecked_build" "$logs/configure-unchecked.log" \
    -DTVL_PAYLOAD_DIR="$payload_dir" -DTVL_UNVERIFIED_PAYLOAD=ON
ninja -C "$unchecked_build" TarvelonSetup >"$logs/build-unchecked.log" 2>&1
unchecked_exe=$unchecked_build/payload/TarvelonSetup.exe
ninja -C "$build" digest_speed >"$logs/build-digest-speed.log" 2>&1
against_exe=""
if [ -n "$against" ]; then
  say "the setup of $against ($timed), with the same payload files"
  against_src=$root/build/bench-against-src
  against_build=$root/build/bench-$timed-against
  rm -rf "$against_src" "$against_build"
  mkdir -p "$against_src"
  git -C "$root" archive "$against" | tar -x -C "$against_src"
  cmake -S "$against_src" -B "$against_build" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
    -DCMAKE_TOOLCHAIN_FILE="$against_src/cmake/$(basename "$(toolchain_of "$timed")")" \
    -DTVL_PAYLOAD_DIR="$payload_dir" >"$logs/configure-against.log" 2>&1
  ninja -C "$against_build" TarvelonSetup >"$logs/build-against.log" 2>&1
  against_exe=$against_build/payload/TarvelonSetup.exe
  against_commit=$(git -C "$root" rev-parse --short "$against")
fi
say "NSIS reference installer (makensis $(makensis -VERSION))"
# The peer of the timed setup's build: NSIS's 64-bit stub where the x86-64 stand-in is timed.
if [ "$timed" = win64 ]; then nsis_target=amd64-unicode; else nsis_target=x86-unicode; fi
nsis_exe=$tools/TarvelonNsis.exe
makensis -V2 -DPAYLOAD="$payload_dir" -DOUTFILE="$nsis_exe" -DTARGET=$nsis_target \
  "$here/nsis_reference.nsi" >"$logs/makensis.log" 2>&1
nsis_nocrc_exe=$tools/TarvelonNsisNoCrc.exe
makensis -V2 -DPAYLOAD="$payload_dir" -DOUTFILE="$nsis_nocrc_exe" -DTARGET=$nsis_target \
  -DCRCCHECK=off "$here/nsis_reference.nsi" >"$logs/makensis-nocrc.log" 2>&1

# The same sources built clean in another folder must give the same bytes.
repro_result="not checked (--no-clean)"
if [ -n "$clean" ]; then
  say "second clean build of the $timed setup, in another folder"
  again=$root/build/bench-$timed-again
  rm -rf "$again"
  configure_setup "$timed" "$again" "$logs/configure-again.log"
  ninja -C "$again" TarvelonSetup >"$logs/build-again.log" 2>&1
  first_sha=$(sha256sum <"$setup_exe" | cut -d' ' -f1)
  again_sha=$(sha256sum <"$again/payload/TarvelonSetup.exe" | cut -d' ' -f1)
  if [ "$first_sha" = "$again_sha" ]; then
    repro_result="yes: both $first_sha"
  else
    repro_result="no: $first_sha and $again_sha"
  fi
  rm -rf "$again"
fi

# A release from supplied files: the payload's programs with bytes of their own appended, and
# its data files, named by TVL_PAYLOAD_DIR.
supplied_files=$root/build/bench-supplied-files
supplied_build=$root/build/bench-supplied
say "setup from supplied files ($timed)"
rm -rf "$supplied_files"
mkdir -p "$supplied_files"
cp "${payload_names[@]/#/$payload_dir/}" "$supplied_files/"
echo "supplied to the benchmark" >>"$supplied_files/Tarvelon.exe"
echo "supplied to the benchmark" >>"$supplied_files/Uninstall.exe"
configure_setup "$timed" "$supplied_build" "$logs/configure-supplied.log" -DTVL_PAYLOAD_DIR="$supplied_files"
ninja -C "$supplied_build" TarvelonSetup >"$logs/build-supplied.log" 2>&1

say "fresh Wine prefix ($WINE_LOADER)"
wine_prefix_new
trap wine_prefix_end EXIT
# A server that stays up spares each program its own server start.
_wineserver -p >/dev/null 2>&1 </dev/null || true
if [ -z "$managed" ]; then
  # Without a window manager (Xvfb has none) Wine waits up to 2 s for every managed window it
  # hides; unmanaged windows spare the setup that wait.
  "$WINE_LOADER" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null
fi

drive_c=$WINEPREFIX/drive_c
if [ "$REG_VIEW" = /reg:32 ]; then install_dir="$drive_c/Program Files (x86)/Tarvelon"; else install_dir="$drive_c/Program Files/Tarvelon"; fi
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarvelon'
ref_dir=$drive_c/bench-ref
cp_dir=$drive_c/bench-cp
nsis_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TarvelonNsis'

# Puts the machine back as before an installation: the installation folder, the uninstall
# entry, the Start-menu groups and Desktop links, the product's start marker; and empties the
# folders of the two floors. Written data is flushed, so no run pays for the previous one.
reset_machine() {
  wine_reg delete "$uninstall_key" /f >/dev/null 2>&1 </dev/null || true
  "$WINE_LOADER" reg delete "$nsis_key" /f >/dev/null 2>&1 </dev/null || true
  "$WINE_LOADER" reg delete "$nsis_key" /f /reg:32 >/dev/null 2>&1 </dev/null || true
  rm -rf "$install_dir" "$ref_dir" "$cp_dir" "$drive_c"/Program\ Files*/TarvelonNsis \
    "$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"/*Tarvelon* \
    "$drive_c/users/Public/Desktop"/*Tarvelon* \
    "$drive_c"/users/*/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs/*Tarvelon* \
    "$drive_c"/users/*/Desktop/*Tarvelon*
  find "$drive_c" -name tarvelon-started.txt -delete 2>/dev/null || true
  mkdir -p "$ref_dir" "$cp_dir"
  sync
}

# peak_kb PATTERN STOPFILE: prints the largest VmHWM (kB) of the Linux process whose command
# line matches PATTERN, sampled every 20 ms until STOPFILE exists. VmHWM is the process's own
# high-water mark, so sampling only has to catch the process before it ends.
peak_kb() {
  local pattern=$1 stop=$2 pid="" hwm=0 key value rest
  while [ ! -e "$stop" ]; do
    [ -z "$pid" ] && pid=$(pgrep -f -- "$pattern" | head -1 || true)
    if [ -n "$pid" ]; then
      {
        while read -r key value rest; do
          [ "$key" = VmHWM: ] && [ "$value" -gt "$hwm" ] && hwm=$value
        done </proc/"$pid"/status
      } 2>/dev/null || true
    fi
    sleep 0.02
  done
  echo "$hwm"
}

# with_peak OUTVAR PROGRAM-PATH COMMAND...: runs COMMAND while sampling the peak memory of
# the Wine process of PROGRAM-PATH (its command line starts with it, or with a Wine loader and
# it); stores the peak in OUTVAR; returns COMMAND's exit code.
with_peak() {
  local var=$1 program=$2 stop=$logs/peak.stop rc=0 sampler
  shift 2
  rm -f "$stop"
  peak_kb "^([^ ]*wine[^ ]* )?$program( |\$)" "$stop" >"$logs/peak.out" &
  sampler=$!
  "$@" || rc=$?
  touch "$stop"
  wait "$sampler"
  printf -v "$var" '%s' "$(cat "$logs/peak.out")"
  return $rc
}

# An installer timed second after the reset records its figures under names of their own
# (metric_second), so the tables compare the two installers in the same place.
place=""
record() { echo "$1 $2$place $3" >>"$raw"; }  # run metric value

# mid/lo/hi FILE KEY: of a moment that the driver printed as "KEY: lo hi".
mid() { awk -v k="$2:" '$1 == k { printf "%.3f", ($2 + $3) / 2 }' "$1"; }
lo() { awk -v k="$2:" '$1 == k { print $2 }' "$1"; }
hi() { awk -v k="$2:" '$1 == k { print $3 }' "$1"; }
calc() { awk "BEGIN { printf \"%.3f\", $* }"; }

# time_setup RUN [EXE]: one installation by the setup (or by EXE, a build of it), timed by
# the driver.
time_setup() {
  local run=$1 exe=${2:-$setup_exe} out=$logs/driver-$1$place.out peak=0 k
  if ! with_peak peak "$exe" \
      env LC_ALL=en_US.UTF-8 "$WINE_LOADER" "$tools/bench_driver.exe" "$exe" \
      --timeout 180 >"$out" 2>"$logs/driver-$run.err" </dev/null; then
    say "run $run: the driver failed: $(grep '^error' "$out" || tail -1 "$out")"
    _wineserver -k >/dev/null 2>&1 || true
    _wineserver -w >/dev/null 2>&1 || true
    _wineserver -p >/dev/null 2>&1 </dev/null || true
    return 1
  fi
  if awk 'NF == 3 && $2 < 0 { bad = 1 } END { exit !bad }' "$out"; then
    say "run $run: the driver missed a moment: $(awk 'NF == 3 && $2 < 0 { printf "%s ", $1 }' "$out")"
    return 1
  fi
  [ "$run" = warmup ] && return 0
  local yes hidden pauses=0 half=0 extract=0 next_lo next_hi
  yes=$(lo "$out" yes)
  hidden=$(mid "$out" hidden)
  record "$run" start_to_question "$(mid "$out" question)"
  record "$run" copy_total "$(calc "$hidden - $yes")"
  record "$run" box_closed "$(calc "$(mid "$out" box_closed) - $yes")"
  record "$run" before_first_file "$(calc "$(mid "$out" status1) - $yes")"
  for k in 1 2 3 4; do
    local e p
    e=$(calc "$(mid "$out" pos$k) - $(mid "$out" status$k)")
    if [ $k -lt 4 ]; then
      next_lo=$(lo "$out" status$((k + 1)))
      next_hi=$(hi "$out" status$((k + 1)))
    else
      next_lo=$(lo "$out" hidden)
      next_hi=$(hi "$out" hidden)
    fi
    # The pause lies between (next.lo - pos.hi) and (next.hi - pos.lo); its midpoint counts.
    p=$(calc "(($next_lo - $(hi "$out" pos$k)) + ($next_hi - $(lo "$out" pos$k))) / 2")
    half=$(calc "$half + (($next_hi - $(lo "$out" pos$k)) - ($next_lo - $(hi "$out" pos$k))) / 2")
    record "$run" "extract_$k" "$e"
    record "$run" "pause_$k" "$p"
    extract=$(calc "$extract + $e")
    pauses=$(calc "$pauses + $p")
  done
  record "$run" extract_sum "$extract"
  record "$run" pauses "$pauses"
  record "$run" pauses_uncertainty "$half"
  record "$run" copy_minus_pauses "$(calc "$hidden - $yes - $pauses")"
  record "$run" copy_minus_512 "$(calc "$hidden - $yes - 512")"
  record "$run" hidden_to_exit "$(calc "$(mid "$out" exit) - $hidden")"
  record "$run" setup_yes_to_end "$(calc "$(mid "$out" exit) - $yes")"
  record "$run" longest_look "$(awk '$1 == "longest_look:" { print $2 }' "$out")"
  record "$run" setup_peak_mib "$(calc "$peak / 1024")"
}

time_reference() {
  local run=$1 out=$logs/reference-$1.out peak=0
  with_peak peak "$tools/reference_writer.exe" \
    "$WINE_LOADER" "$tools/reference_writer.exe" 'C:\bench-ref' >"$out" 2>&1 </dev/null || {
    say "run $run: reference_writer failed: $(tail -1 "$out")"
    return 1
  }
  [ "$run" = warmup ] && return 0
  record "$run" reference_total "$(awk '$1 == "total:" { print $2 }' "$out")"
  record "$run" reference_bar "$(awk '$1 == "Tarvelon.bar:" { print $2 }' "$out")"
  record "$run" reference_peak_mib "$(calc "$peak / 1024")"
}

# time_question LABEL EXE [DRIVER-ARGS...]: one run of a program that asks the question and
# then works without a progress window; records LABEL_start_to_question, LABEL_yes_to_end
# and LABEL_peak_mib.
time_question() {
  local label=$1 exe=$2 out=$logs/$1-$run.out peak=0
  shift 2
  if ! with_peak peak "$exe" env LC_ALL=en_US.UTF-8 "$WINE_LOADER" "$tools/bench_driver.exe" \
      "$exe" --timeout 180 --question-only "$@" >"$out" 2>&1 </dev/null; then
    say "run $run: $label failed: $(grep '^error' "$out" || tail -1 "$out")"
    return 1
  fi
  [ "$run" = warmup ] && return 0
  record "$run" "${label}_start_to_question" "$(mid "$out" question)"
  record "$run" "${label}_yes_to_end" "$(calc "$(mid "$out" exit) - $(lo "$out" yes)")"
  record "$run" "${label}_peak_mib" "$(calc "$peak / 1024")"
}

time_cp() {
  local run=$1 t0 t1 name sources=()
  for name in "${payload_names[@]}"; do sources+=("$payload_dir/$name"); done
  t0=$(now_ns)
  cp "${sources[@]}" "$cp_dir/"
  t1=$(now_ns)
  [ "$run" = warmup ] || record "$run" cp_total "$(calc "($t1 - $t0) / 1e6")"
}

failures=0
# The two installers come first in each round, taking turns at being the first after the reset
# (see "How the figures were taken" on why the place in a round counts).
for run in warmup $(seq "$runs"); do
  if [ "$run" = warmup ] || [ $((run % 2)) = 1 ]; then first=setup; else first=nsis; fi
  say "run $run of $runs: $([ $first = setup ] && echo "setup, NSIS" || echo "NSIS, setup"), reference writer, cp, question box, setup answered No, NSIS without CRC answered No"
  reset_machine
  if [ $first = setup ]; then
    time_setup "$run" || failures=$((failures + 1))
    place=_second
    time_question nsis "$nsis_exe" --end-product || failures=$((failures + 1))
  else
    time_question nsis "$nsis_exe" --end-product || failures=$((failures + 1))
    place=_second
    time_setup "$run" || failures=$((failures + 1))
  fi
  place=""
  time_reference "$run" || failures=$((failures + 1))
  time_cp "$run"
  time_question box "$box_exe" || failures=$((failures + 1))
  time_question setup_no "$setup_exe" --answer no || failures=$((failures + 1))
  time_question nsis_nocrc "$nsis_nocrc_exe" --answer no || failures=$((failures + 1))
done
reset_machine

# rounds_between LABEL FIRST FIRST_EXE SECOND SECOND_EXE: two setups timed in rounds of their
# own, each run first after its own reset (so both meet the same machine), FIRST first in odd
# rounds.
rounds_between() {
  local label=$1 first=$2 first_exe=$3 second=$4 second_exe=$5 run which order
  for run in $(seq "$runs"); do
    if [ $((run % 2)) = 1 ]; then order="$first $second"; else order="$second $first"; fi
    say "$label round $run of $runs: ${order/ /, then }"
    for which in $order; do
      reset_machine
      place=_$which
      if [ "$which" = "$first" ]; then exe=$first_exe; else exe=$second_exe; fi
      time_setup "$run" "$exe" || failures=$((failures + 1))
    done
    place=""
  done
  reset_machine
}
# The payload check's cost: the setup against its build without the check.
rounds_between "payload check" checked "$setup_exe" unchecked "$unchecked_exe"
# This setup against the one of --against, in the same way.
if [ -n "$against_exe" ]; then
  rounds_between "against $against," now "$setup_exe" against "$against_exe"
  rm -rf "$against_src" "$against_build"
fi
say "digest_speed"
"$WINE_LOADER" "$build/platform/win32/digest_speed.exe" 194 7 >"$logs/digest-speed.out" 2>&1 </dev/null ||
  say "digest_speed failed: $(tail -1 "$logs/digest-speed.out")"
# The page faults of one fill by each way of reading a payload: the process's faults (minor and
# major, /usr/bin/time) with 5 fills of that way, less those of a run that only writes the file.
fault_rounds=5
for way in none mapped file; do
  /usr/bin/time -o "$logs/faults-$way.out" -f "%R %F" "$WINE_LOADER" \
    "$build/platform/win32/digest_speed.exe" 194 "$fault_rounds" "$way" >"$logs/digest-speed-$way.out" 2>&1 </dev/null ||
    say "digest_speed $way failed: $(tail -1 "$logs/digest-speed-$way.out")"
done
fill_faults() {
  awk -v r="$fault_rounds" 'NR == FNR { base = $1 + $2; next } { printf "%.0f", ($1 + $2 - base) / r }' \
    "$logs/faults-none.out" "$logs/faults-$1.out" 2>/dev/null || echo "-"
}
speed() { awk -v k="$1:" '$1 == k { print $2 }' "$logs/digest-speed.out"; }

# install_once LABEL SETUP FILES-DIR: one installation by that setup, timed by the driver, its
# files compared with FILES-DIR. Sets once_result, once_s (Yes to process end) and once_mib.
install_once() {
  local label=$1 exe=$2 files=$3 out=$logs/$1.out peak=0 name bad=""
  once_s="-"
  once_mib="-"
  reset_machine
  if ! with_peak peak "$exe" env LC_ALL=en_US.UTF-8 "$WINE_LOADER" "$tools/bench_driver.exe" \
      "$exe" --timeout 600 >"$out" 2>&1 </dev/null; then
    once_result="no: the driver failed: $(grep '^error' "$out" || tail -1 "$out")"
    return
  fi
  once_s=$(calc "($(mid "$out" exit) - $(lo "$out" yes)) / 1000")
  once_mib=$(calc "$peak / 1024")
  for name in "${payload_names[@]}"; do
    cmp -s "$files/$name" "$install_dir/$name" || bad="$bad $name"
  done
  if [ -z "$bad" ]; then once_result="yes: the four files byte-identical"; else once_result="no: differs:$bad"; fi
  reset_machine
}

say "installation from supplied files"
install_once supplied "$supplied_build/payload/TarvelonSetup.exe" "$supplied_files"
supplied_result=$once_result
rm -rf "$supplied_build" "$supplied_files"

scale_result="not checked (--no-scale)"
scale_s="-"
scale_mib="-"
scale_bytes=1610612736
if [ -n "$scale" ]; then
  scale_build=$root/build/bench-scale
  say "scale check: a $timed setup with a $scale_bytes-byte Tarvelon.bar"
  rm -rf "$scale_build"
  t0=$(now_ns)
  configure_setup "$timed" "$scale_build" "$logs/configure-scale.log" -DTARVELON_BAR_BYTES=$scale_bytes
  if ninja -C "$scale_build" TarvelonSetup >"$logs/build-scale.log" 2>&1; then
    scale_build_s=$(secs "$t0" "$(now_ns)")
    install_once scale "$scale_build/payload/TarvelonSetup.exe" "$scale_build/payload-files"
    scale_result="$once_result (built in $scale_build_s s)"
    scale_s=$once_s
    scale_mib=$once_mib
  else
    scale_result="no: the build failed: $(tail -1 "$logs/build-scale.log")"
  fi
  rm -rf "$scale_build"
fi

# stats METRIC: "min median count" over the timed runs.
stats() {
  awk -v m="$1" '$2 == m { print $3 }' "$raw" | sort -g |
    awk '{ v[NR] = $1 } END {
      if (NR == 0) { print "- - 0"; exit }
      med = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
      printf "%.1f %.1f %d\n", v[1], med, NR }'
}
min_of() { stats "$1" | cut -d' ' -f1; }
median_of() { stats "$1" | cut -d' ' -f2; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0 && a != "-") printf "%.2f", a / b; else print "-" }'; }

cpu=$(grep -m1 'model name' /proc/cpuinfo | sed 's/.*: //')
mem=$(awk '/MemTotal/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo)
wine_version=$("$WINE_LOADER" --version 2>/dev/null || echo unknown)
load_after=$(cut -d' ' -f1-3 /proc/loadavg)
if [ -n "$managed" ]; then x11_windows="managed (Wine's default)"; else x11_windows="unmanaged (HKCU\\Software\\Wine\\X11 Driver, Managed=N)"; fi

rows=(
  "start_to_question|Setup: process start to the question (ms)"
  "copy_total|**Setup: Yes to progress window hidden (ms)**"
  "box_closed|- of it: Yes to question box gone (ms)"
  "before_first_file|- of it: Yes to status line naming the first file (ms)"
  "extract_1|- extraction of Tarvelon.exe (ms)"
  "extract_2|- extraction of Tarvelon.bar (ms)"
  "extract_3|- extraction of Tarvelon.car (ms)"
  "extract_4|- extraction of Uninstall.exe (ms)"
  "pause_1|- pause after Tarvelon.exe (ms)"
  "pause_2|- pause after Tarvelon.bar (ms)"
  "pause_3|- pause after Tarvelon.car (ms)"
  "pause_4|- pause after Uninstall.exe (ms)"
  "pauses|- the four pauses, measured (ms)"
  "pauses_uncertainty|- uncertainty of that sum, +/- (ms)"
  "extract_sum|Setup: the four extractions (ms)"
  "copy_minus_pauses|Setup: Yes to hidden minus measured pauses (ms)"
  "copy_minus_512|Setup: Yes to hidden minus 4 x 128 ms (ms)"
  "hidden_to_exit|Setup: window hidden to process end (ms)"
  "setup_yes_to_end|**Setup: Yes to process end (ms)**"
  "longest_look|Driver: slowest look at the window (ms)"
  "reference_total|**Reference writer: the four files (ms)**"
  "reference_bar|- of it: Tarvelon.bar (ms)"
  "cp_total|**Linux cp: the four files (ms)**"
  "setup_peak_mib|Setup: peak resident memory, VmHWM (MiB)"
  "reference_peak_mib|Reference writer: peak resident memory (MiB)"
  "setup_no_start_to_question|Setup answered No: process start to the question (ms)"
  "setup_no_peak_mib|Setup answered No: peak resident memory, up to its question (MiB)"
  "nsis_start_to_question|NSIS: process start to the question (ms)"
  "nsis_yes_to_end|**NSIS: Yes to process end (ms)**"
  "nsis_peak_mib|NSIS: peak resident memory (MiB)"
  "nsis_nocrc_start_to_question|NSIS built with CRCCheck off, answered No: process start to the question (ms)"
  "setup_yes_to_end_second|Setup timed second after the reset: Yes to process end (ms)"
  "extract_2_second|- of it: extraction of Tarvelon.bar (ms)"
  "extract_3_second|- of it: extraction of Tarvelon.car (ms)"
  "nsis_yes_to_end_second|NSIS timed second after the reset: Yes to process end (ms)"
  "box_start_to_question|Question box: process start to the question (ms)"
  "box_yes_to_end|Question box: Yes to process end (ms)"
  "box_peak_mib|Question box: peak resident memory (MiB)"
)

table=$(
  echo "| measure | min | median | runs |"
  echo "|---|---:|---:|---:|"
  for row in "${rows[@]}"; do
    read -r mn md n < <(stats "${row%%|*}")
    echo "| ${row#*|} | $mn | $md | $n |"
  done
)
ratios=$(
  echo "| ratio (of medians; of minimums) | median | min |"
  echo "|---|---:|---:|"
  for pair in "copy_total|Yes to hidden" "copy_minus_pauses|Yes to hidden minus pauses" "extract_sum|the four extractions"; do
    key=${pair%%|*}
    echo "| setup ${pair#*|} / reference writer | $(ratio "$(median_of "$key")" "$(median_of reference_total)") | $(ratio "$(min_of "$key")" "$(min_of reference_total)") |"
    echo "| setup ${pair#*|} / cp | $(ratio "$(median_of "$key")" "$(median_of cp_total)") | $(ratio "$(min_of "$key")" "$(min_of cp_total)") |"
  done
  echo "| reference writer / cp | $(ratio "$(median_of reference_total)" "$(median_of cp_total)") | $(ratio "$(min_of reference_total)" "$(min_of cp_total)") |"
)
# NSIS's CRC-32 of its whole file, read before its question: its start to the question with
# and without the check.
difference() { awk -v a="$1" -v b="$2" 'BEGIN { if (a == "-" || b == "-") print "-"; else printf "%.1f", a - b }'; }
nsis_crc=$(
  echo "| NSIS: process start to the question (ms) | median | min |"
  echo "|---|---:|---:|"
  echo "| with its CRC check (as built by default) | $(median_of nsis_start_to_question) | $(min_of nsis_start_to_question) |"
  echo "| built with CRCCheck off | $(median_of nsis_nocrc_start_to_question) | $(min_of nsis_nocrc_start_to_question) |"
  echo "| the check's cost at start (with minus without) | $(difference "$(median_of nsis_start_to_question)" "$(median_of nsis_nocrc_start_to_question)") | $(difference "$(min_of nsis_start_to_question)" "$(min_of nsis_nocrc_start_to_question)") |"
)
check_rows=(
  "start_to_question|process start to the question (ms)"
  "extract_1|extraction of Tarvelon.exe (ms)"
  "extract_2|extraction of Tarvelon.bar (ms)"
  "extract_3|extraction of Tarvelon.car (ms)"
  "extract_4|extraction of Uninstall.exe (ms)"
  "extract_sum|**the four extractions (ms)**"
  "setup_yes_to_end|Yes to process end (ms)"
  "setup_peak_mib|peak resident memory (MiB)"
)
payload_check=$(
  echo "| measure | with the check: median | min | without: median | min | median ratio |"
  echo "|---|---:|---:|---:|---:|---:|"
  for row in "${check_rows[@]}"; do
    key=${row%%|*}
    echo "| ${row#*|} | $(median_of "${key}_checked") | $(min_of "${key}_checked") | $(median_of "${key}_unchecked") | $(min_of "${key}_unchecked") | $(ratio "$(median_of "${key}_checked")" "$(median_of "${key}_unchecked")") |"
  done
)
digest_speed=$(
  echo "| digest_speed.exe (194 MiB, 7 rounds) | value |"
  echo "|---|---:|"
  echo "| XXH3-64, SSE2 build (the one the setup uses where the processor has SSE2), MB/s | $(speed digest_sse2_mb_s) |"
  echo "| XXH3-64, portable build (processors without SSE2), MB/s | $(speed digest_portable_mb_s) |"
  echo "| fill of a fresh 194 MiB buffer, plain copy, ms (median) | $(speed fill_plain_ms) |"
  echo "| fill of a fresh 194 MiB buffer with the digests, ms (median) | $(speed fill_digested_ms) |"
  echo "| payload read from a fresh mapped view of a 194 MiB file in the cache, with the digests, ms (median) | $(speed read_mapped_ms) |"
  echo "| - its page faults, minor and major (per fill, of $fault_rounds) | $(fill_faults mapped) |"
  echo "| payload read with ReadFile from the same file, with the digests, ms (median) | $(speed read_file_ms) |"
  echo "| - its page faults, minor and major (per fill, of $fault_rounds) | $(fill_faults file) |"
  echo "| digests of the fill equal to the portable build's (1 yes) | $(speed digests_right) |"
)
check_ratio=$(ratio "$(median_of extract_sum_checked)" "$(median_of extract_sum_unchecked)")
against_ratio=$(ratio "$(median_of extract_sum_now)" "$(median_of extract_sum_against)")
against_rows=""
if [ -n "$against_exe" ]; then
  against_rows=$(
    echo
    echo "## Against $against ($against_commit)"
    echo
    echo "The setup against the one built from $against with the same payload files, each run first after its own reset, in turns."
    echo
    echo "| measure | this setup: median | min | $against: median | min | median ratio |"
    echo "|---|---:|---:|---:|---:|---:|"
    for row in "${check_rows[@]}"; do
      key=${row%%|*}
      echo "| ${row#*|} | $(median_of "${key}_now") | $(min_of "${key}_now") | $(median_of "${key}_against") | $(min_of "${key}_against") | $(ratio "$(median_of "${key}_now")" "$(median_of "${key}_against")") |"
    done
  )
fi
question_check_ratio=$(ratio "$(median_of start_to_question_checked)" "$(median_of start_to_question_unchecked)")
builds=$(
  echo "| build | setup executable (bytes) | stub = executable minus payload (bytes) | clean build (s) | rebuild after a resource change (s) |"
  echo "|---|---:|---:|---:|---:|"
  for arch in "${archs[@]}"; do
    label="$arch"
    [ "$arch" = win32 ] && label="win32 (i686, the release build)"
    [ "$arch" = win64 ] && label="win64 (x86-64)"
    echo "| $label | ${exe_bytes[$arch]} | ${stub_bytes[$arch]} | ${clean_s[$arch]} | ${rebuild_s[$arch]} |"
  done
)
# The targets: each a value, its bound and whether it is met.
meets() { awk -v a="$1" -v b="$2" 'BEGIN { if (a == "-" || a == "") print "-"; else print (a <= b ? "yes" : "no") }'; }
largest=0
for name in "${payload_names[@]}"; do
  size=$(stat -c %s "$payload_dir/$name")
  [ "$size" -gt "$largest" ] && largest=$size
done
largest_mib=$(awk -v b="$largest" 'BEGIN { printf "%.1f", b / 1048576 }')
peak_bound=$(awk -v m="$largest_mib" 'BEGIN { printf "%.1f", 2 * m + 32 }')
# "yes" or "no" from a result text that starts with it; "-" for a check that did not run.
verdict() { case $1 in yes:*) echo yes ;; no:*) echo no ;; *) echo - ;; esac; }
question_ratio=$(ratio "$(median_of start_to_question)" "$(median_of box_start_to_question)")
yes_ratio="-"
[ "$(median_of setup_yes_to_end)" != "-" ] &&
  yes_ratio=$(ratio "$(calc "$(median_of setup_yes_to_end) - 512")" "$(median_of nsis_yes_to_end)")
targets=$(
  echo "| target | value | bound | met |"
  echo "|---|---:|---:|:---:|"
  echo "| setup start to question / question box start to question (medians) | $question_ratio | 1.15 | $(meets "$question_ratio" 1.15) |"
  echo "| setup peak resident memory up to its question, MiB (median of the runs answered No) | $(median_of setup_no_peak_mib) | 32 | $(meets "$(median_of setup_no_peak_mib)" 32) |"
  echo "| (setup Yes to end - 4 x 128 ms) / NSIS Yes to end (medians) | $yes_ratio | 1.5 | $(meets "$yes_ratio" 1.5) |"
  echo "| setup peak resident memory, MiB (median), against 2 x the largest payload file ($largest_mib MiB) + 32 MiB | $(median_of setup_peak_mib) | $peak_bound | $(meets "$(median_of setup_peak_mib)" "$peak_bound") |"
  echo "| the four extractions with the payload check / without it (medians) | $check_ratio | 1.05 | $(meets "$check_ratio" 1.05) |"
  echo "| start to question with the payload check / without it (medians; nothing is checked before the question) | $question_check_ratio | | |"
  [ -n "$against_exe" ] &&
    echo "| the four extractions / those of the setup of $against (medians) | $against_ratio | 1.05 | $(meets "$against_ratio" 1.05) |"
  for arch in "${archs[@]}"; do
    echo "| stub of the $arch setup, bytes | ${stub_bytes[$arch]} | 524288 | $(meets "${stub_bytes[$arch]}" 524288) |"
  done
  echo "| two clean builds in different folders give the same SHA-256 | $repro_result | | $(verdict "$repro_result") |"
  echo "| a setup built from supplied files installs exactly those files | $supplied_result | | $(verdict "$supplied_result") |"
  echo "| a $scale_bytes-byte Tarvelon.bar installs byte-identical | ${scale_result}; Yes to end $scale_s s, peak $scale_mib MiB | | $(verdict "$scale_result") |"
)

if [ "$timed" = win64 ]; then
  timed_why="the x86-64 build (preset win64) of the same sources: this machine's kernel cannot execute 32-bit Linux programs, so 32-bit Wine cannot start the i686 release setup here. The i686 release build is built too, for its stub size and build times."
else
  timed_why="the i686 release build (preset win32)."
fi

cat >"$here/RESULTS.md" <<EOF
# Benchmark results

Written by \`bench/run.sh\` on $started_at ($runs timed rounds after one untimed warm-up round;
$failures failed runs). The setup and NSIS take turns at running first after the machine is
reset; the figures of each, and the ratios between them, are from the rounds in which it ran
first, and its figures when it ran second are shown apart.

Machine: $(nproc) processors, $mem memory, $cpu; kernel $(uname -r); $wine_version, loader
\`$WINE_LOADER\`; X11 windows $x11_windows. Load average before $load_before, after
$load_after. The machine is shared with other engineers who build and test at the same
time, so every figure is noisy: compare the columns of one run, not runs of different days.

NSIS reference timed: makensis $(makensis -VERSION), target $nsis_target ($([ "$nsis_target" = amd64-unicode ] && echo "NSIS's 64-bit stub, the peer of the x86-64 setup" || echo "NSIS's 32-bit stub, the peer of the i686 setup")).

Timed setup: $timed_why Payload: Tarvelon.bar 203423744 bytes, Tarvelon.car 67108864
bytes, plus the two programs.

## Targets

$targets

## Copy of the payload files, and the references

$table

## Ratios

$ratios

## The payload check

The setup checks each payload file against the digests the build made of it (XXH3-64 of
every 4 MiB chunk), while it copies the file into its buffer and before it writes any of it.
Below, the setup against a build of the same sources without the check
(\`-DTVL_UNVERIFIED_PAYLOAD=ON\`, made for this benchmark only), in rounds of their own:
each run first after its own reset, the checked one first in odd rounds.

$payload_check

$digest_speed
$against_rows

## NSIS's CRC check at start

$nsis_crc

## Size and build time

$builds

## How the figures were taken

- Each round starts from a machine without the product: installation folder, uninstall
  entry, Start-menu groups and links removed, the product program that the setup starts
  ended, all written data flushed (\`sync\`). The setup and NSIS run first, in turns; then
  the reference writer, cp, the question box, the setup answered No and NSIS built without
  its CRC check answered No. All write onto the same file system (the Wine prefix).
- \`bench_driver.exe\` starts the setup with CreateProcess under \`LC_ALL=en_US.UTF-8\`,
  polls about every millisecond for the question box, waits 200 ms, then posts BM_CLICK to
  its Yes button; "Yes" is that moment. It then polls the progress window: its status line
  (GetWindowTextA), its bar (PBM_GETPOS) and its visibility (IsWindowVisible). Each moment
  is an interval between the last read that did not see a change and the read that did;
  the table uses midpoints.
- The copy loop sets the status line to a file, extracts the file, moves the bar, then
  pauses 128 ms (and checks that the file is there). Hence extraction of file k = bar
  reaches k minus status names file k, and pause k = status names file k+1 (window hidden,
  for the last file) minus bar reaches k. A pause so measured also holds the cost of
  setting the next status line through the progress thread. "Uncertainty" is the half-width
  of the summed intervals; where it is large (typically the first file, whose extraction
  and pause fall into the time Wine needs to show the window) the "minus 4 x 128 ms" row,
  which uses the nominal pauses, bounds the work from above.
- Reference writer: FindResourceA, LoadResource, LockResource, SizeofResource, then one
  CreateFileA/WriteFile/CloseHandle per file, timed inside the process with
  QueryPerformanceCounter; its process start is not counted. Linux cp: one \`cp\` of the four
  files from the build's payload folder, timed around the command.
- NSIS reference: \`bench/nsis_reference.nsi\` built by makensis ($(makensis -VERSION), target
  $nsis_target) from the same four files, uncompressed (SetCompress off); its CRC check is left
  on, as NSIS builds by default, so it reads its whole file before the question. Silent but
  for its question (the setup's English text and caption), it does the setup's whole job in
  the setup's order, under names of its own (key and folders TarvelonNsis): the ten values of
  the setup's uninstall entry (the same names and kinds of data; InstallDate through
  FileFunc's GetTime, that is the System plug-in), the old Start-menu groups removed with
  RMDir /r (the user's two and the all-users one of either language) and the group made
  again, the four files, the program's and the uninstaller's links and the website shortcut
  (WriteINIStr) in the group, the program's Desktop link, and the program started with Exec,
  which does not wait for it; the driver ends that program once NSIS has ended, as it does
  after the setup. (Results written up to 2026-12-09 17:48 UTC were made with a reference
  that wrote two values of the key, removed no group and started no program; the first of
  them, before 17:00 UTC, with the program's two links only.) Question box:
  \`bench/question_box.cpp\`, the same box and nothing else, with the setup's manifest and
  link options. Both are timed by
  \`bench_driver.exe --question-only\`: start to the question, then Yes (clicked 200 ms after
  the box appeared, as for the setup) to the end of the process. "Setup answered No" is one
  more run of the setup per round whose question is answered No: its peak memory is what the
  setup holds up to its question. "NSIS built with CRCCheck off" is the reference built
  again with \`-DCRCCHECK=off\`, run last in each round and answered No; its start to the
  question against the reference's (from the rounds in which NSIS ran first) is what the
  CRC check of NSIS's whole file costs before its question.
- The payload check: \`bench/run.sh\` builds the setup a second time with
  \`-DTVL_UNVERIFIED_PAYLOAD=ON\` and the same payload files; that build fills its buffers
  by the same threads without digesting them and compares nothing. After the main rounds,
  $runs rounds of their own run the two, each after its own reset, the checked one first in
  odd rounds; the ratio of the medians of their four extractions is the check's cost.
  \`digest_speed.exe\` (\`bench/digest_speed.cpp\`, linked with the setup's backend) times
  the digest chunk by chunk over a cached 4 MiB buffer (best of seven), and the fill of a
  fresh 194 MiB buffer through \`System::FillBuffer\` with and without digests (medians).
- Yes to process end of the setup holds the copy, the three links, the website shortcut, the
  start of the product and the end of the process. A profile of that last phase (x86-64 Wine
  8.0, 2026-12-09, five runs) found 9-40 ms (once 225 ms) in IPersistFile::Save of each link and 12-33 ms
  in ShellExecuteA; everything else (creating the link object, its six setters, the .url
  file, COM's end, the end of the process) took typically under 1 ms each. With Wine's menu builder
  (winemenubuilder.exe, which Wine runs for links it saves) disabled, the saves took about
  half as long. NSIS saves its links through the same interface.
- The copy into the one buffer, timed alone (2026-12-09, an i686 program under the same
  32-bit Wine carrying a 194 MiB resource, one fresh VirtualAlloc buffer per process, seven
  processes each; median, minimum): memcpy from the mapped resource 86, 77 ms; ReadFile of
  the program's own file at the resource's offset, 8 MiB pieces, 159, 156 ms (64 KiB or
  1 MiB pieces: 140-145 ms). memcpy into a buffer whose pages were touched first took 35 ms,
  the touching 63 ms; touching the source first took 5 ms. So the fresh buffer's pages are
  most of the copy, and the kernel populates them no cheaper than user-mode faults do:
  VirtualLock (mlock) of the buffer took 45-60 ms, MEM_LARGE_PAGES is refused (error 87),
  and a helper thread touching pages ahead of the copy gave 70 ms against 76 (timing only:
  that trial's helper raced with the copy). Nor is msvcrt's memcpy slow: into touched pages
  it moved the 194 MiB in 30 ms, rep movsb in 29 ms, SSE2 streaming stores in 20 ms. None of
  these is used. What is used: the setup shares a copy of 8 MiB or more among up to four
  threads (one per processor), in pieces on 64 KiB bounds, so the page faults of the fresh
  buffer are taken side by side. In a trial build of the full-size setup on this
  2-processor machine, timed inside the process (2026-12-09), the copy of Tarvelon.bar took
  54-82 ms with two threads (18 installations in three series) against 99-113 ms with one
  (12 in two series), of Tarvelon.car 19-31 ms (once 66) against 28-35 ms.
- This machine is a virtual machine that hands memory the guest frees back to its host
  (free page reporting) and pages out page cache left idle for a minute. Memory the host has
  taken back costs 1.0-1.7 ms per MiB on its first touch, against 0.3 ms for memory the
  guest has just freed; the amount of warm memory at hand, and so the price of a program's
  writes, changes from one run to the next and with what ran just before. In one series the
  same WriteFile of Tarvelon.bar into a new file took 55 ms or 570 ms; NSIS's Yes to end
  varied between 141 and 900 ms over runs of the same day. A program's place in a round
  counts: when the setup always came first after the reset and NSIS fourth, an NSIS build
  with two links timed fifth took 709-820 ms from Yes to its end while the NSIS reference
  took 172-247 ms, and in a later run the NSIS reference took 800-850 ms in every round. In
  a run where the two took turns, each was fast when first after the reset (setup 818-832
  ms, NSIS 177-215 ms) and slow when second (setup 889-1152 ms, NSIS 711-767 ms). So the two
  installers now come first in turns, the setup in odd rounds and NSIS in even ones, and each
  is measured in the rounds in which it came first. Two remedies tried on the way made
  things worse and are not used: freeing 768 MiB of just-touched memory before each program
  made every program slower; writing a ballast of 1 GiB of page cache before each program
  and deleting it at its question evened NSIS (207-229 ms) but left the setup, whose four
  pauses spread its writes over a second, on memory the host had taken back (Tarvelon.car
  155-230 ms against 45-55). Compare the columns of one run, and read the ratio against NSIS
  with the figures of the run beside it.
- Peak memory: VmHWM from /proc of the Linux process that runs the Windows program,
  sampled every 20 ms until it ends.
- Stub size: the setup executable's size minus the sizes of the four payload files.
- Clean build: configure and build the TarvelonSetup target in an empty build folder
  (data-file generation, product program, uninstaller, setup). Rebuild: the setup's
  compiled resources removed (as after an edit of the resource script), then the same target
  built again: the resource compiler over 270 MB of payload and the link.
- Wine on a virtual display has no window manager, and with managed X11 windows (Wine's
  default) Wine waits up to 2 s for a window manager every time it hides a window: twice per
  installation (the question box, the progress window). That wait belongs to this test
  setting, not to the setup, so the benchmark runs with unmanaged windows unless given
  \`--managed\`.
EOF

echo
echo "$targets"
echo
echo "$table"
echo
echo "$ratios"
echo
echo "$payload_check"
echo
echo "$digest_speed"
echo
echo "$nsis_crc"
echo
echo "$builds"
echo
say "written $here/RESULTS.md (raw figures: $raw)"
