# shellcheck shell=bash
# The setup is killed while it writes the large data file; a second run completes the
# installation over what the first one left, every file the payload's bytes.

scenario killed-while-copying en_US.UTF-8
install_dir="$(program_files)\\Tarvelon"
bar=$(prefix_path "$install_dir\\Tarvelon.bar")
start_program setup "$SETUP_EXE"
answer_box yes
wait_window progress 'Tarvelon 1.0.1 files copying...'
if wait_file_started "$bar"; then
  kill_program "$setup"
  check_that "the progress window was up" test -n "$progress"
  echo "       (killed when $(stat -c %s "$bar") of $(stat -c %s "$PAYLOAD_FILES/Tarvelon.bar")" \
    "bytes of Tarvelon.bar were written; folder: $(dir_entries "$install_dir"))"
else
  fail "Tarvelon.bar is being written" "no such file after 30 s"
  kill_program "$setup"
fi
check_that "the progress window went with the process" wait_window_gone 'Tarvelon 1.0.1 files copying...'

start_program setup "$SETUP_EXE"
answer_box yes && check_eq "the second run asks its question again" \
  "$(ansi_hex 'Would you like to setup the program?' CP1252)" "$(box_field text-hex)"
check_exit "the second run ends with exit code 0" 0 "$setup" 90
check_payload "the second run" "$install_dir"
check_eq "no temporary file is left" "Tarvelon.bar|Tarvelon.car|Tarvelon.exe|Uninstall.exe" \
  "$(dir_entries "$install_dir")"
check_eq "the group holds its three entries" \
  "Program's website.url|Tarvelon.lnk|Uninstall the program.lnk" \
  "$(dir_entries "$COMMON_PROGRAMS\\Tarvelon")"
check_eq "the product started in the installation folder" \
  "$(ansi_hex_raw "$install_dir")" "$(started_folder_hex)"
reset_machine
