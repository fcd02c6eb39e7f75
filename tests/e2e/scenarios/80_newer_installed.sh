# shellcheck shell=bash
# An installed Tarvelon.exe of FileVersion 1.0.2.0 meets the setup's 1.0.1.0: the setup asks
# before it replaces the newer file. No keeps the newer file (and no temporary Tarvelon.exe0),
# the other files are installed all the same; a second run answered Yes installs 1.0.1.0.

scenario newer-installed-exe en_US.UTF-8
install_dir="$(program_files)\\Tarvelon"
target="$install_dir\\Tarvelon.exe"
question_text="$target file installing is of older version"$'\r\n'"than the same already installed."$'\r\n\r\n'"Do you really want to replace existing"$'\r\n'"new file version 1.0.2.0 with an older file version 1.0.1.0?"
topmost_here=$(mb_topmost_shown)

# newer_question LABEL PRESS: runs the setup over the newer file, checks the question and
# answers it with PRESS.
newer_question() {
  start_program setup "$SETUP_EXE"
  answer_box yes --caption 'Sound question' || return
  if answer_box none --caption 'Sound question' --not-hwnd "$(box_field hwnd)"; then
    check_eq "$1: question text" "$(ansi_hex_raw "$question_text" CP1252)" "$(box_field text-hex)"
    check_eq "$1: Yes and No" "yes no" "$(box_field buttons)"
    check_eq "$1: question icon" question "$(box_field icon)"
    # Wine 8 shows no MB_TOPMOST box topmost; the question must be as topmost as one that is.
    check_eq "$1: topmost as an MB_TOPMOST box is here" "$topmost_here" "$(box_field topmost)"
    check_that "$1: the incoming file waits as Tarvelon.exe0 while the question is up" \
      cmp -s "$PAYLOAD_FILES/Tarvelon.exe" "$(prefix_path "${target}0")"
    driver box --hwnd "$(box_field hwnd)" --press "$2" --timeout 5 ||
      fail "$1: press $2" "driver: ${DRIVER_OUT//$'\n'/ | }"
  fi
  check_exit "$1: the setup ends with exit code 0" 0 "$setup" 90
}

mkdir -p "$(prefix_path "$install_dir")"
cp "$VERSIONED_EXE" "$(prefix_path "$target")"
newer_question "answered No" no
check_that "No keeps the installed 1.0.2.0 file" cmp -s "$VERSIONED_EXE" "$(prefix_path "$target")"
check_not "No leaves no Tarvelon.exe0" test -e "$(prefix_path "${target}0")"
check_payload "the install goes on" "$install_dir" Tarvelon.bar Tarvelon.car Uninstall.exe
check_that "and the entry is written" reg_key_exists "$UNINSTALL_KEY"

stop_programs
newer_question "answered Yes" yes
check_that "Yes installs the payload's 1.0.1.0 file" \
  cmp -s "$PAYLOAD_FILES/Tarvelon.exe" "$(prefix_path "$target")"
check_not "Yes leaves no Tarvelon.exe0" test -e "$(prefix_path "${target}0")"
reset_machine
