# shellcheck shell=bash
# The setup's own file cut short while its question is on the screen (a network share that
# drops, a drive pulled out), then Yes. A payload file whose bytes, or whose digests, lie beyond
# the cut cannot be read: it gets the "Can't install" box and stays as it was, the others
# install byte for byte. No "Application Error", exit code 0, no temporary file left. The cut
# lies inside Tarvelon.bar's data over an earlier installation, inside the digest table, before
# the first payload file, and right after the digest table (in the program's icon, which the
# progress window shows: every file installs).

# layout_of SETUP: prints "NAME START END" for each payload file's data and for the digest
# table ("table") in the setup. Each is found by its bytes, which are embedded unchanged.
layout_of() {
  local table=$E2E_BUILD/cut-table.bin
  wrestool -x --raw --type=10 --name=PAYLOADDIGESTS "$1" >"$table" || return 1
  perl -e '
    my $setup = shift;
    open(my $exe, "<:raw", $setup) or die "cannot read $setup\n";
    my $image = do { local $/; <$exe> };
    for my $file (@ARGV) {
      open(my $in, "<:raw", $file) or die "cannot read $file\n";
      my $data = do { local $/; <$in> };
      my $at = index($image, $data);
      die "$file not found whole in the setup\n" if $at < 0 || index($image, $data, $at + 1) >= 0;
      my $name = $file =~ /cut-table/ ? "table" : ($file =~ s{.*/}{}r);
      print "$name $at ", $at + length($data), "\n";
    }
  ' "$1" "$table" "${PAYLOAD_NAMES_ARRAY[@]/#/$PAYLOAD_FILES/}"
}

# earlier_installation: files of an earlier version in the installation folder, none with a
# version resource (so no question comes), each told apart from the payload's.
earlier_installation() {
  local name
  mkdir -p "$(prefix_path "$install_dir")"
  for name in $PAYLOAD_NAMES; do
    printf 'earlier %s\r\n' "$name" >"$(prefix_path "$install_dir\\$name")"
  done
}

# install_cut LABEL OFFSET EARLIER: starts a copy of the setup, cuts it to OFFSET bytes while
# the question is up, answers Yes and expects a "Can't install" box for exactly the files that
# cannot be read, in the file list's order; then checks every file and the exit code.
install_cut() {
  local label=$1 cut=$2 earlier=$3 setup name start end refused="" previous table_end
  table_end=$(awk '$1 == "table" { print $3 }' <<<"$layout")
  for name in $PAYLOAD_NAMES; do
    end=$(awk -v n="$name" '$1 == n { print $3 }' <<<"$layout")
    if [ "$end" -gt "$cut" ] || [ "$table_end" -gt "$cut" ]; then refused="$refused $name"; fi
  done
  [ -n "$earlier" ] && earlier_installation
  cp "$SETUP_EXE" "$cut_copy"
  start_program setup "$cut_copy"
  answer_box none || return 1
  previous=$(box_field hwnd)
  truncate -s "$cut" "$cut_copy"
  driver box --hwnd "$previous" --press yes --timeout 5
  for name in $refused; do
    answer_box ok --not-hwnd "$previous" || break
    previous=$(box_field hwnd)
    check_eq "$label: the box for $name" \
      "$(ansi_hex_raw "Can't install $install_dir\\$name" "$(locale_codepage)")" "$(box_field text-hex)"
  done
  check_exit "$label: the setup ends with exit code 0" 0 "$setup" 90
  check_that "$label: no other box (no Application Error)" no_box_left
  for name in $PAYLOAD_NAMES; do
    local path
    path=$(prefix_path "$install_dir\\$name")
    if [[ " $refused " != *" $name "* ]]; then
      check_that "$label: $name installs byte for byte" cmp -s "$PAYLOAD_FILES/$name" "$path"
    elif [ -n "$earlier" ]; then
      check_eq "$label: the earlier $name stays as it was" "earlier $name" "$(tr -d '\r' <"$path")"
    else
      check_not "$label: nothing of $name is written" test -e "$path"
    fi
    check_not "$label: no temporary file beside $name" test -e "${path}0"
  done
}

read -r -a PAYLOAD_NAMES_ARRAY <<<"$PAYLOAD_NAMES"
cut_copy=$E2E_BUILD/TarvelonSetup-cut.exe
install_dir="$(program_files)\\Tarvelon"

scenario setup-cut-short en_US.UTF-8
if layout=$(layout_of "$SETUP_EXE") && check_that "the payload and the digest table found in the setup" test -n "$layout"; then
  echo "$layout" | sed 's/^/       /'
  bar_start=$(awk '$1 == "Tarvelon.bar" { print $2 }' <<<"$layout")
  bar_end=$(awk '$1 == "Tarvelon.bar" { print $3 }' <<<"$layout")
  table_start=$(awk '$1 == "table" { print $2 }' <<<"$layout")
  first=$(awk '$1 != "table" { print $2 }' <<<"$layout" | sort -n | head -1)
  install_cut "inside Tarvelon.bar, over an earlier installation" $(((bar_start + bar_end) / 2)) yes
  reset_machine
  install_cut "inside the digest table" $((table_start + 20)) ""
  reset_machine
  install_cut "before the first payload file" $((first - 1)) yes
  reset_machine
  table_end=$(awk '$1 == "table" { print $3 }' <<<"$layout")
  install_cut "right after the digest table" $((table_end + 1)) yes
  reset_machine
fi
rm -f "$cut_copy" "$E2E_BUILD/cut-table.bin"
