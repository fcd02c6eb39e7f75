#!/usr/bin/env bash
# Planted faults: each mutation of mutations.txt (beside this script) is applied to a scratch
# copy of the tree, the native tests are built and run, and at least one test must fail.
# A mutation whose text is not found exactly once, or whose tree does not build, counts as
# missed: only a failing test catches a fault.
#
#   tests/faults/run.sh [NAME...]    # all mutations, or only those named
#
# A mutation marked "on i686" is a fault that only a 32-bit size_t shows: it is built and run
# in the 32-bit build of the native tests (tests/native/run-i686.sh says how it runs here), and
# skipped, in one line, where that build cannot run.
#
# Prints one line per mutation, then "N caught, N missed" and the missed ones by name; exits
# non-zero when one was missed. The scratch tree and its build folder (build/faults) are kept
# between runs, so a mutation costs an incremental build of the files it touches.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
list="$here/mutations.txt"
scratch="$root/build/faults"
tree="$scratch/tree"
build="$tree/build/native"
tests="$build/tests/native/native_tests"
dirty="$scratch/dirty"
start=$SECONDS

# mutation NAME FILE|APPLY ... : reads the list; prints the names, or one mutation's file, or
# applies it to the tree (exit 3: text not found, 4: found more than once).
mutation() {
  perl -e '
    my ($list, $mode, $want, $tree) = @ARGV;
    open(my $in, "<", $list) or die "cannot read $list\n";
    my (@all, $cur);
    while (my $line = <$in>) {
      chomp $line;
      if ($line =~ /^@ (\S+)\s*$/) { $cur = {name => $1, old => [], new => []}; push @all, $cur; next; }
      next unless $cur;
      if ($line =~ /^in (\S+)\s*$/) { $cur->{file} = $1; }
      elsif ($line =~ /^on (\S+)\s*$/) { $cur->{on} = $1; }
      elsif ($line =~ /^- ?(.*)$/s) { push @{$cur->{old}}, $1; }
      elsif ($line =~ /^\+ ?(.*)$/s) { push @{$cur->{new}}, $1; }
    }
    if ($mode eq "names") { print "$_->{name}\n" for @all; exit 0; }
    my ($m) = grep { $_->{name} eq $want } @all;
    exit 2 unless $m;
    if ($mode eq "file") { print "$m->{file}\n"; exit 0; }
    if ($mode eq "on") { print(($m->{on} // ""), "\n"); exit 0; }
    my $path = "$tree/$m->{file}";
    open(my $f, "<", $path) or exit 3;
    local $/; my $text = <$f>; close $f;
    my $old = join("\n", @{$m->{old}});
    my $new = join("\n", @{$m->{new}});
    my $count = () = $text =~ /\Q$old\E/g;
    exit 3 if $count == 0 || $old eq "";
    exit 4 if $count > 1;
    $text =~ s/\Q$old\E/$new/;
    open(my $out, ">", $path) or exit 3;
    print $out $text; close $out;
    exit 0;
  ' "$list" "$@" "$tree"
}

# The scratch tree follows the worktree; unchanged files keep their times, so the reused build
# folder rebuilds only what changed. Files a broken-off run left mutated are rebuilt.
mkdir -p "$tree"
tar -C "$root" --exclude=./build --exclude=./.git -cf - . | tar -C "$tree" -xf - || exit 2
if [ -f "$dirty" ]; then
  while read -r file; do touch "$tree/$file"; done <"$dirty"
fi
: >"$dirty"
log="$scratch/last.log"
if ! { cmake --preset native -S "$tree" >"$log" 2>&1 && cmake --build "$build" --target native_tests >>"$log" 2>&1; }; then
  tail -20 "$log"
  echo "the unmutated tree does not build"
  exit 2
fi
if ! "$tests" --gtest_brief=1 >"$log" 2>&1; then
  tail -20 "$log"
  echo "the unmutated tree fails its tests"
  exit 2
fi
rm -f "$dirty"

# The 32-bit build of the same tree, made when the first mutation needs it. Sets tests32 (the
# command that runs its tests) or says why it cannot be had.
build32="$tree/build/native-i686"
tests32=()
native32_ready() {
  [ ${#tests32[@]} -gt 0 ] && return 0
  # shellcheck source=../../scripts/lib/native32.sh
  source "$root/scripts/lib/native32.sh"
  native32_decide
  [ "$NATIVE32_HOW" != none ] || return 1
  tests32=("$build32/tests/native/native_tests")
  [ "$NATIVE32_HOW" = qemu ] && tests32=("$TVL_QEMU_I386" "${tests32[@]}")
  if ! { cmake --preset native-i686 -S "$tree" >"$log" 2>&1 &&
    cmake --build "$build32" --target native_tests >>"$log" 2>&1 && "${tests32[@]}" --gtest_brief=1 >>"$log" 2>&1; }; then
    tail -20 "$log"
    NATIVE32_WHY="the unmutated tree does not build or pass as 32-bit"
    tests32=()
    return 1
  fi
}

if [ $# -gt 0 ]; then names=("$@"); else mapfile -t names < <(mutation names); fi
caught=0
missed=()
for name in "${names[@]}"; do
  t0=$SECONDS
  file=$(mutation file "$name") || { echo "MISSED  $name: no such mutation"; missed+=("$name"); continue; }
  target=$build run=("$tests")
  if [ "$(mutation on "$name")" = i686 ]; then
    if ! native32_ready; then
      echo "skipped $name: a 32-bit fault, and the 32-bit tests cannot run: $NATIVE32_WHY"
      continue
    fi
    target=$build32 run=("${tests32[@]}")
  fi
  cp "$tree/$file" "$scratch/original"
  echo "$file" >>"$dirty"
  mutation apply "$name"
  case $? in
    0) verdict="" ;;
    3) verdict="text not found in $file" ;;
    4) verdict="text found more than once in $file" ;;
    *) verdict="could not be applied" ;;
  esac
  if [ -z "$verdict" ]; then
    if ! cmake --build "$target" --target native_tests >"$log" 2>&1; then
      verdict="did not build"
    elif timeout 300 "${run[@]}" --gtest_brief=1 --gtest_fail_fast >"$log" 2>&1; then
      verdict="every test passed"
    fi
  fi
  cp "$scratch/original" "$tree/$file"
  if [ -z "$verdict" ]; then
    caught=$((caught + 1))
    echo "caught  $name ($((SECONDS - t0)) s)"
  else
    missed+=("$name")
    echo "MISSED  $name: $verdict"
  fi
done
# Back to the unmutated objects, so that the next run starts from them.
cmake --build "$build" --target native_tests >"$log" 2>&1 &&
  { [ ${#tests32[@]} -eq 0 ] || cmake --build "$build32" --target native_tests >>"$log" 2>&1; } &&
  rm -f "$dirty"

echo "planted faults took $((SECONDS - start)) s"
echo "$caught caught, ${#missed[@]} missed"
for name in "${missed[@]}"; do echo "missed: $name"; done
[ ${#missed[@]} -eq 0 ]
