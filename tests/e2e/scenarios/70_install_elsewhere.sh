# shellcheck shell=bash
# An earlier installation's uninstall entry decides the folder: its UninstallString names
# C:\Apps\Tarvelon\Uninstall.exe, so the files go to C:\Apps\Tarvelon and not to Program Files,
# and the entry is written again for that folder.

scenario install-where-entry-points en_US.UTF-8
earlier_dir='C:\Apps\Tarvelon'
mkdir -p "$(prefix_path "$earlier_dir")"
wine_reg add "$UNINSTALL_KEY" /v UninstallString /t REG_SZ /d "$earlier_dir\\Uninstall.exe" /f \
  >/dev/null 2>&1 </dev/null
start_program setup "$SETUP_EXE"
answer_box yes
check_exit "the setup ends with exit code 0" 0 "$setup" 90
check_payload "installed in the earlier folder" "$earlier_dir"
check_not "nothing in $(program_files)\\Tarvelon" test -e "$(prefix_path "$(program_files)\\Tarvelon")"
if reg_dump 'Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarvelon'; then
  check_reg_sz "UninstallString still names that folder" UninstallString "$earlier_dir\\Uninstall.exe"
  check_reg_sz "InstallLocation is that folder" InstallLocation "$earlier_dir"
else
  fail "uninstall entry readable" "regdump: $REG_DUMP"
fi
for link in "$COMMON_PROGRAMS\\Tarvelon\\Tarvelon.lnk" "$COMMON_DESKTOP\\Tarvelon.lnk"; do
  check_that "$link names $earlier_dir\\Tarvelon.exe" \
    grep -qaF "$earlier_dir\\Tarvelon.exe" "$(prefix_path "$link")"
done
check_eq "the product started in that folder" "$(ansi_hex_raw "$earlier_dir")" "$(started_folder_hex)"
reset_machine
rm -rf "$(prefix_path 'C:\Apps')"
