#!/usr/bin/env bash
# Builds the fuzz targets (clang 14, libFuzzer, ASan and UBSan) in build/fuzz and runs each for
# a fixed time, from its seeds in tests/fuzz/corpus and from what earlier runs here found
# (build/fuzz/corpus). A crash, a sanitizer's report, a broken invariant (abort), a hang or
# running out of memory fails the target; libFuzzer leaves the input in build/fuzz/crashes.
#
#   tests/fuzz/run.sh [--seconds N] [--coverage] [TARGET...]
#
# 20 s per target by default; a longer hunt is e.g. --seconds 300. --coverage afterwards runs
# each target's corpus once through a build with clang's source coverage (build/fuzz-coverage)
# and prints the share of lines reached in the files the target is about.
# Prints one line per target (runs, coverage counters, corpus) and "N passed, N failed".
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build="$root/build/fuzz"
seconds=20
coverage=0
targets=()
while [ $# -gt 0 ]; do
  case $1 in
    --seconds) seconds=$2; shift 2 ;;
    --coverage) coverage=1; shift ;;
    *) targets+=("$1"); shift ;;
  esac
done
[ ${#targets[@]} -gt 0 ] || targets=(digest_table language_file version_compare version_probes uninstaller_input)

# The files each target is about, for --coverage.
declare -A parsers=(
  [digest_table]="install/digest_table.cpp"
  [language_file]="ui/language_files.cpp ui/language_file_format.cpp"
  [version_compare]="install/version_compare.cpp install/number_conversion.cpp"
  [version_probes]="install/version_probes.cpp"
  [uninstaller_input]="payload/uninstaller/uninstall_plan.cpp payload/uninstaller/registered_copy.cpp setup/uninstall_string.cpp"
)

echo "fuzz: $(clang++ --version | head -1), libFuzzer with ASan and UBSan, $seconds s per target, sources re-encoded to Windows-1251"
build_targets() {  # FOLDER [CMAKE OPTION...]
  local folder=$1; shift
  cmake -S "$here" -B "$folder" -G Ninja -DCMAKE_CXX_COMPILER=clang++ "$@" >"$folder.log" 2>&1 &&
    cmake --build "$folder" -j2 >>"$folder.log" 2>&1 || { tail -20 "$folder.log"; echo "the fuzz targets do not build"; exit 2; }
}
mkdir -p "$build"
build_targets "$build"

passed=0
failed=0
for t in "${targets[@]}"; do
  corpus="$build/corpus/$t"
  crashes="$build/crashes/$t"
  log="$build/$t.log"
  mkdir -p "$corpus" "$crashes"
  # libFuzzer writes what it finds into the first folder and only reads the seeds.
  timeout $((seconds + 120)) "$build/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$crashes/" "$corpus" "$here/corpus/$t" >"$log" 2>&1
  rc=$?
  runs=$(grep -m1 'stat::number_of_executed_units' "$log" | awk '{print $2}')
  counters=$(grep -E '^#[0-9]+.* cov: ' "$log" | tail -1 | grep -oE 'cov: [0-9]+ ft: [0-9]+ corp: [0-9]+' | tr -d ':')
  if [ $rc -eq 0 ]; then
    passed=$((passed + 1))
    echo "passed  $t: ${runs:-?} runs in $seconds s, ${counters:-no counters}"
  else
    failed=$((failed + 1))
    echo "FAILED  $t: exit $rc after ${runs:-?} runs; $(grep -m1 -E '^==[0-9]+== ?ERROR|runtime error' "$log") $(grep -m1 -oE 'in LLVMFuzzerTestOneInput .*' "$log")"
    grep -E 'Test unit written to|^ +#[0-9]+ ' "$log" | head -12
  fi
done

if [ $coverage -eq 1 ]; then
  build_targets "$root/build/fuzz-coverage" -DTVL_FUZZ_COVERAGE=ON
  for t in "${targets[@]}"; do
    profile="$root/build/fuzz-coverage/$t"
    LLVM_PROFILE_FILE="$profile.profraw" "$root/build/fuzz-coverage/fuzz_$t" -runs=0 \
      "$build/corpus/$t" "$here/corpus/$t" >"$profile.log" 2>&1
    llvm-profdata-14 merge -o "$profile.profdata" "$profile.profraw"
    files=()
    for f in ${parsers[$t]}; do files+=("$root/build/fuzz-coverage/cp1251/$f"); done
    echo "coverage $t: $(llvm-cov-14 report "$root/build/fuzz-coverage/fuzz_$t" -instr-profile="$profile.profdata" \
      "${files[@]}" | awk '$1 == "TOTAL" {print "lines " $(NF-3) " of " $(NF-5) ", branches " $NF " of " $(NF-2)}') (${parsers[$t]})"
  done
fi

echo "$passed passed, $failed failed"
[ $failed -eq 0 ]
