# shellcheck shell=bash
# A read-only installed Tarvelon.bar cannot be overwritten: the setup says so in its
# "Can't install" box and goes on with the rest; the old file stays as it was.

scenario read-only-installed-file en_US.UTF-8
install_dir="$(program_files)\\Tarvelon"
bar="$install_dir\\Tarvelon.bar"
mkdir -p "$(prefix_path "$install_dir")"
printf 'data of an earlier version\r\n' >"$(prefix_path "$bar")"
check_that "Tarvelon.bar made read-only" make_read_only "$bar"
start_program setup "$SETUP_EXE"
if answer_box yes; then
  answer_box ok --caption Tarvelon --not-hwnd "$(box_field hwnd)" &&
    check_box "can't install box" Tarvelon "Can't install $bar" ok ok hand
fi
check_exit "the setup ends with exit code 0" 0 "$setup" 90
check_eq "the read-only Tarvelon.bar is unchanged" 'data of an earlier version' \
  "$(tr -d '\r' <"$(prefix_path "$bar")")"
check_not "no Tarvelon.bar0 beside it" test -e "$(prefix_path "${bar}0")"
check_payload "the install goes on" "$install_dir" Tarvelon.exe Tarvelon.car Uninstall.exe
check_that "the entry is written" reg_key_exists "$UNINSTALL_KEY"
check_eq "the group holds its three entries" \
  "Program's website.url|Tarvelon.lnk|Uninstall the program.lnk" \
  "$(dir_entries "$COMMON_PROGRAMS\\Tarvelon")"
check_that "the Desktop link is made" test -f "$(prefix_path "$COMMON_DESKTOP\\Tarvelon.lnk")"
reset_machine

# A read-only installed Tarvelon.exe (here the later 1.0.2.0, answered Yes) goes through the
# temporary file: the replacing move is refused, the installed file stays as it was and the
# new one waits beside it as Tarvelon.exe0.
scenario read-only-installed-program en_US.UTF-8
install_dir="$(program_files)\\Tarvelon"
target="$install_dir\\Tarvelon.exe"
mkdir -p "$(prefix_path "$install_dir")"
cp "$VERSIONED_EXE" "$(prefix_path "$target")"
check_that "Tarvelon.exe made read-only" make_read_only "$target"
start_program setup "$SETUP_EXE"
if answer_box yes && answer_box yes --caption 'Sound question' --not-hwnd "$(box_field hwnd)"; then
  answer_box ok --caption Tarvelon --not-hwnd "$(box_field hwnd)" &&
    check_box "can't install box" Tarvelon "Can't install $target" ok ok hand
fi
check_exit "the setup ends with exit code 0" 0 "$setup" 90
check_that "the read-only Tarvelon.exe is unchanged" cmp -s "$VERSIONED_EXE" "$(prefix_path "$target")"
check_that "the new Tarvelon.exe waits beside it as Tarvelon.exe0" \
  cmp -s "$PAYLOAD_FILES/Tarvelon.exe" "$(prefix_path "${target}0")"
check_payload "the install goes on" "$install_dir" Tarvelon.bar Tarvelon.car Uninstall.exe
reset_machine
