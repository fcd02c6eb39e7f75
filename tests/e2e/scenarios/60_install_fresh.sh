# shellcheck shell=bash
# A fresh installation in each UI language, checked whole: the files, every value of the
# uninstall entry, the Start-menu group and the Desktop link, the website shortcut's bytes and
# the start of the product; the progress window is pictured while the large file is written.
# Each installation is then removed with its own Uninstall.exe (asking first in English, quiet
# in Russian), which must leave nothing of the product but a file the user put beside it.

INSTALL_DIR="$(program_files)\\Tarvelon"
WEBSITE=https://www.tarvelon.example

# install_fresh LABEL PROGRESS-TITLE: runs the setup on a clean machine, answers Yes, waits for
# the progress window and takes its picture once Tarvelon.bar is being written; checks the
# exit code and that the four files are the payload's bytes.
install_fresh() {
  local setup window
  start_program setup "$SETUP_EXE"
  answer_box yes || return 1
  wait_window window "$2"
  check_that "$1: progress window titled \"$2\"" test -n "$window"
  if wait_file_started "$(prefix_path "$INSTALL_DIR\\Tarvelon.bar")"; then
    screenshot progress-large-file
  else
    fail "$1: Tarvelon.bar is being written" "no such file after 30 s"
  fi
  check_exit "$1: the installing setup ends with exit code 0" 0 "$setup" 90
  check_payload "$1" "$INSTALL_DIR"
  check_eq "$1: the installation folder holds the four files alone" \
    "Tarvelon.bar|Tarvelon.car|Tarvelon.exe|Uninstall.exe" "$(dir_entries "$INSTALL_DIR")"
}

# check_entry LABEL DISPLAY-NAME PUBLISHER: the uninstall entry holds exactly its ten values,
# read as bytes in the scenario's code page.
check_entry() {
  if ! reg_dump 'Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarvelon'; then
    fail "$1: uninstall entry readable" "regdump: $REG_DUMP"
    return
  fi
  check_eq "$1: the entry's values, no VersionMajor or VersionMinor" \
    "DisplayName HelpLink InstallDate InstallLocation NoModify NoRepair Publisher URLInfoAbout URLUpdateInfo UninstallString" \
    "$(reg_dump_names)"
  check_reg_sz "$1: DisplayName" DisplayName "$2"
  check_reg_sz "$1: UninstallString" UninstallString "$INSTALL_DIR\\Uninstall.exe"
  check_reg_sz "$1: InstallLocation, no trailing backslash" InstallLocation "$INSTALL_DIR"
  check_reg_sz "$1: InstallDate is today" InstallDate "$(date +%Y%m%d)"
  check_reg_sz "$1: Publisher" Publisher "$3"
  check_reg_sz "$1: URLInfoAbout" URLInfoAbout "$WEBSITE"
  check_reg_sz "$1: HelpLink" HelpLink "$WEBSITE/Tarvelon.htm"
  check_reg_sz "$1: URLUpdateInfo" URLUpdateInfo "$WEBSITE/Tarvelon.htm"
  check_eq "$1: NoModify" "REG_DWORD 01000000" "$(reg_dump_value NoModify)"
  check_eq "$1: NoRepair" "REG_DWORD 01000000" "$(reg_dump_value NoRepair)"
}

# check_shortcuts LABEL GROUP LINK UNINSTALL-LINK WEBSITE-SHORTCUT: the group holds exactly
# the three entries (names as UTF-8 on the Linux side, which is where a wrong code page would
# show), the links name their targets, the .url file has its exact bytes, and the Desktop
# link is there.
check_shortcuts() {
  local group="$COMMON_PROGRAMS\\$2"
  check_eq "$1: group $group holds its three entries" \
    "$(printf '%s\n' "$3.lnk" "$4.lnk" "$5.url" | LC_ALL=C sort | paste -sd'|')" \
    "$(dir_entries "$group")"
  check_that "$1: the program link names $INSTALL_DIR\\Tarvelon.exe" \
    grep -qaF "$INSTALL_DIR\\Tarvelon.exe" "$(prefix_path "$group\\$3.lnk")"
  check_that "$1: the uninstall link names $INSTALL_DIR\\Uninstall.exe" \
    grep -qaF "$INSTALL_DIR\\Uninstall.exe" "$(prefix_path "$group\\$4.lnk")"
  check_eq "$1: website shortcut bytes" \
    "$(ansi_hex_raw "[InternetShortcut]"$'\r\n'"URL=$WEBSITE"$'\r\n')" \
    "$(od -An -tx1 <"$(prefix_path "$group\\$5.url")" | tr -d ' \n')"
  check_that "$1: Desktop link $COMMON_DESKTOP\\$3.lnk" \
    grep -qaF "$INSTALL_DIR\\Tarvelon.exe" "$(prefix_path "$COMMON_DESKTOP\\$3.lnk")"
}

# check_started LABEL: the product program came up with the installation folder as its
# current folder.
check_started() {
  check_eq "$1: the product started in the installation folder" \
    "$(ansi_hex_raw "$INSTALL_DIR")" "$(started_folder_hex)"
  screenshot product-started
}

# check_uninstalled LABEL GROUP LINK: after Uninstall.exe (and its self-removal helper) only
# the user's notes.txt is left of the installation folder, and nothing else of the product.
check_uninstalled() {
  check_that "$1: Uninstall.exe removed itself" \
    wait_gone "$(prefix_path "$INSTALL_DIR\\Uninstall.exe")"
  check_eq "$1: the user's file alone stays in the installation folder" notes.txt \
    "$(dir_entries "$INSTALL_DIR")"
  check_eq "$1: the user's file is unchanged" "my own notes" \
    "$(cat "$(prefix_path "$INSTALL_DIR\\notes.txt")")"
  check_not "$1: no uninstall entry" reg_key_exists "$UNINSTALL_KEY"
  check_not "$1: no group $2" test -e "$(prefix_path "$COMMON_PROGRAMS\\$2")"
  check_not "$1: no Desktop link" test -e "$(prefix_path "$COMMON_DESKTOP\\$3.lnk")"
  check_eq "$1: nothing of the product elsewhere on drive C" \
    "$(prefix_path "$INSTALL_DIR")" "$(product_traces)"
}

# The user closes the product and puts a file of his own into the installation folder.
prepare_uninstall() {
  stop_programs
  find "$WINEPREFIX/drive_c" -name tarvelon-started.txt -delete
  echo "my own notes" >"$(prefix_path "$INSTALL_DIR\\notes.txt")"
}

scenario install-fresh-english en_US.UTF-8
if install_fresh "English" 'Tarvelon 1.0.1 files copying...'; then
  check_entry "English" Tarvelon 'Tarvelon Software Ltd.'
  check_shortcuts "English" Tarvelon Tarvelon "Uninstall the program" "Program's website"
  check_started "English"

  scenario uninstall-english en_US.UTF-8
  prepare_uninstall
  start_program uninstaller "$INSTALL_DIR\\Uninstall.exe"
  if answer_box yes --caption Tarvelon; then
    check_eq "the uninstaller asks first" "yes no" "$(box_field buttons)"
    answer_box ok --caption Tarvelon &&
      check_eq "and reports the removal" asterisk "$(box_field icon)"
  fi
  check_exit "Uninstall.exe ends with exit code 0" 0 "$uninstaller"
  check_uninstalled "English uninstall" Tarvelon Tarvelon
fi
reset_machine

scenario install-fresh-russian ru_RU.UTF-8
if install_fresh "Russian" 'Установка файлов Тарвелон 1.0.1'; then
  check_entry "Russian" 'Тарвелон' 'ООО «Тарвелон Софт»'
  check_shortcuts "Russian" 'Тарвелон' 'Тарвелон' 'Удаление программы' 'Интернет-сайт программы'
  check_started "Russian"

  scenario uninstall-russian-quiet ru_RU.UTF-8
  prepare_uninstall
  start_program uninstaller "$INSTALL_DIR\\Uninstall.exe" /quiet
  # A box would keep it running: the exit code comes only without one.
  check_exit "Uninstall.exe /quiet ends with exit code 0, asking nothing" 0 "$uninstaller"
  check_uninstalled "Russian quiet uninstall" 'Тарвелон' 'Тарвелон'
fi
reset_machine
