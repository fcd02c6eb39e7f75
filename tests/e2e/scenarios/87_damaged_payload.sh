# shellcheck shell=bash
# A setup damaged on its way to the user: one byte changed inside Tarvelon.bar's resource data
# and one inside Tarvelon.car's. Over an earlier installation, each of the two is refused with
# the "Can't install" box and the installed file stays byte for byte; the rest installs, the
# links and the entry are made and the program starts. The same in Russian on a clean machine.

# damaged_setup_copy COPY NAME...: a copy of the setup with the middle byte of each named
# payload file's data changed. The data is found by its bytes: it is embedded unchanged.
damaged_setup_copy() {
  local copy=$1
  shift
  cp "$SETUP_EXE" "$copy" || return 1
  perl -e '
    my $copy = shift;
    open(my $exe, "+<:raw", $copy) or die "cannot open $copy\n";
    my $image = do { local $/; <$exe> };
    for my $file (@ARGV) {
      open(my $in, "<:raw", $file) or die "cannot read $file\n";
      my $data = do { local $/; <$in> };
      my $at = index($image, substr($data, 0, 65536));
      die "$file not found whole in the setup\n" if $at < 0 || substr($image, $at, length $data) ne $data;
      die "$file found twice\n" if index($image, substr($data, 0, 65536), $at + 1) >= 0;
      my $byte = $at + int(length($data) / 2);
      seek($exe, $byte, 0);
      print $exe chr(ord(substr($image, $byte, 1)) ^ 0xFF);
    }
    close($exe) or die "cannot write $copy\n";
  ' "$copy" "${@/#/$PAYLOAD_FILES/}"
}

# install_damaged LABEL CAN'T-INSTALL-TEXT: runs the damaged copy, answers Yes, and expects one
# box for Tarvelon.bar, then one for Tarvelon.car, in that order, then exit code 0.
install_damaged() {
  local setup file previous
  start_program setup "$damaged"
  answer_box yes || return 1
  previous=$(box_field hwnd)
  for file in Tarvelon.bar Tarvelon.car; do
    answer_box none --not-hwnd "$previous" || break
    previous=$(box_field hwnd)
    check_eq "$1: the box for $file" "$(ansi_hex_raw "$2 $install_dir\\$file" "$(locale_codepage)")" \
      "$(box_field text-hex)"
    driver box --hwnd "$previous" --press ok --timeout 5
  done
  check_exit "$1: the setup ends with exit code 0" 0 "$setup" 90
  check_that "$1: no third box" no_box_left
  check_payload "$1: the sound files install" "$install_dir" Tarvelon.exe Uninstall.exe
  check_that "$1: the entry is written" reg_key_exists "$UNINSTALL_KEY"
  check_eq "$1: the product started in the installation folder" \
    "$(ansi_hex_raw "$install_dir" "$(locale_codepage)")" "$(started_folder_hex)"
  check_not "$1: nothing left beside the refused files" \
    test -e "$(prefix_path "$install_dir\\Tarvelon.bar0")" -o -e "$(prefix_path "$install_dir\\Tarvelon.car0")"
}

damaged=$E2E_BUILD/TarvelonSetup-damaged.exe
install_dir="$(program_files)\\Tarvelon"

scenario damaged-payload-over-installation en_US.UTF-8
if check_that "a copy with Tarvelon.bar and Tarvelon.car damaged" \
  damaged_setup_copy "$damaged" Tarvelon.bar Tarvelon.car; then
  # The earlier installation: the undamaged setup's files, in place.
  mkdir -p "$(prefix_path "$install_dir")"
  cp "$PAYLOAD_FILES/Tarvelon.bar" "$PAYLOAD_FILES/Tarvelon.car" "$(prefix_path "$install_dir")/"
  install_damaged English "Can't install"
  check_payload "the installed Tarvelon.bar and Tarvelon.car stay byte for byte" "$install_dir" \
    Tarvelon.bar Tarvelon.car
  check_eq "the group holds its three entries" \
    "Program's website.url|Tarvelon.lnk|Uninstall the program.lnk" \
    "$(dir_entries "$COMMON_PROGRAMS\\Tarvelon")"
  check_that "the Desktop link is made" test -f "$(prefix_path "$COMMON_DESKTOP\\Tarvelon.lnk")"
  reset_machine

  scenario damaged-payload-russian ru_RU.UTF-8
  install_damaged Russian "Не удается установить"
  check_not "no damaged Tarvelon.bar or Tarvelon.car is written" \
    test -e "$(prefix_path "$install_dir\\Tarvelon.bar")" -o -e "$(prefix_path "$install_dir\\Tarvelon.car")"
  reset_machine
fi
rm -f "$damaged"
