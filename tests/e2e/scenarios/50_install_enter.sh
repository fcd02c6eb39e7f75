# shellcheck shell=bash
# A Russian user answers the question with a real Enter key: Yes is the default, so the setup
# installs, registers the product and starts it from the installation folder.

scenario install-with-enter ru_RU.UTF-8
install_dir="$(program_files)\\Tarvelon"
start_program setup "$SETUP_EXE"
if answer_box enter --caption-hex "$(ansi_hex 'Резонный вопрос')"; then
  check_eq "Enter meets Yes as the default" yes "$(box_field default)"
  sleep 0.3
  xdotool key Return
fi
check_exit "the installing setup ends with exit code 0" 0 "$setup" 60
check_that "uninstall entry $UNINSTALL_KEY" reg_key_exists "$UNINSTALL_KEY"
for file in Tarvelon.exe Tarvelon.bar Tarvelon.car Uninstall.exe; do
  check_that "installed $install_dir\\$file, the same bytes as built" \
    cmp -s "$E2E_BUILD/payload-files/$file" "$(prefix_path "$install_dir\\$file")"
done
# The product writes its current folder into %TEMP%\tarvelon-started.txt when it starts.
check_eq "the product started in the installation folder" \
  "$(ansi_hex_raw "$install_dir")" "$(started_folder_hex)"
screenshot installed
reset_machine
