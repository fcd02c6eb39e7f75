# shellcheck shell=bash
# The uninstaller removes only its own installation, and only whole: a copy elsewhere, a
# made-up clean-up line or a second uninstaller removes nothing; with the product running
# nothing goes and the user is told; a renamed uninstaller removes the product and itself but
# no other Uninstall.exe; the user's own files stay; its clean-up helper runs from a folder of
# its own under the Windows folder's Temp, loads DLLs only from the system folder and leaves
# nothing in any temporary folder; without that Temp folder the uninstaller is left to the
# next restart, never run from the user's %TEMP%.

GUARD_DIR="$(program_files)\\Tarvelon"
GUARD_BACKUP='C:\backup\Tarvelon'
GUARD_FILES="Tarvelon.bar|Tarvelon.car|Tarvelon.exe|Uninstall.exe"
GUARD_OTHER_COPY_EN="This copy of the uninstaller does not belong to the installed Tarvelon Workbench, so it has removed nothing. Tarvelon Workbench is installed in this folder:"
GUARD_OTHER_COPY_RU="Эта копия программы удаления не относится к установленной программе «Рабочее место Тарвелон», поэтому ничего не удалено. Программа «Рабочее место Тарвелон» установлена в папку:"
GUARD_RUNNING_EN="Tarvelon Workbench is running. Close Tarvelon Workbench and run the uninstaller again. Nothing has been removed."
GUARD_RUNNING_RU="Программа «Рабочее место Тарвелон» запущена. Закройте программу «Рабочее место Тарвелон» и запустите удаление ещё раз. Ничего не удалено."
GUARD_CLEANUP_EN="This clean-up step runs only for the uninstaller of Tarvelon Workbench that starts it. Nothing has been removed."

# guard_install LABEL: installs on a clean machine, answering Yes; the product it starts is
# left running.
guard_install() {
  local setup
  start_program setup "$SETUP_EXE"
  answer_box yes || return 1
  check_exit "$1: the setup ends with exit code 0" 0 "$setup" 90
  check_eq "$1: installed" "$GUARD_FILES" "$(dir_entries "$GUARD_DIR")"
  check_that "$1: the product runs" test -n "$(started_folder_hex)"
}

# guard_state GROUP: what there is of the installation, one item a line.
guard_state() {
  echo "folder: $(dir_entries "$GUARD_DIR")"
  echo "group: $(dir_entries "$COMMON_PROGRAMS\\$1")"
  echo "Desktop link: $(test -e "$(prefix_path "$COMMON_DESKTOP\\$1.lnk")" && echo yes || echo no)"
  echo "entry: $(reg_key_exists "$UNINSTALL_KEY" && echo yes || echo no)"
}

# guard_backup: a copy of the installation in a backup folder, as a user makes one.
guard_backup() {
  local backup
  backup=$(prefix_path "$GUARD_BACKUP")
  rm -rf "$backup" && mkdir -p "$backup" &&
    cp "$(prefix_path "$GUARD_DIR")"/{Tarvelon.exe,Tarvelon.bar,Uninstall.exe} "$backup/"
}

# temp_entries: what the Windows folder's Temp and each user's %TEMP% hold, one folder a line.
temp_entries() {
  local dir
  for dir in "$WINEPREFIX/drive_c/windows/temp" "$WINEPREFIX"/drive_c/users/*/Temp; do
    [ -d "$dir" ] && echo "${dir#"$WINEPREFIX"/}: $(ls -A "$dir" | LC_ALL=C sort | paste -sd'|')"
  done
}

# wait_temp_entries EXPECTED: waits (bounded, 15 s) until temp_entries prints EXPECTED.
wait_temp_entries() {
  local i=0
  while [ "$(temp_entries)" != "$1" ] && [ $i -lt 150 ]; do
    sleep 0.1
    i=$((i + 1))
  done
}

# guard_refused WHAT EXE ARGS...: the program ends at once with exit code 2, asking nothing.
guard_refused() {
  local what=$1 program
  shift
  start_program program "$@"
  check_exit "$what: exit code 2 without a box" 2 "$program"
}

scenario uninstall-guarded-english en_US.UTF-8
if guard_install "English"; then
  installed=$(guard_state Tarvelon)

  # Made-up clean-up lines: the pseudo-handle of the helper's own process (as a 64-bit and a
  # 32-bit handle value), handles it never inherited, a folder instead of the uninstaller.
  uninstaller="$GUARD_DIR\\Uninstall.exe"
  guard_refused "/cleanup with its own process's pseudo-handle" "$uninstaller" \
    /cleanup 18446744073709551615 "$uninstaller" 4 /quiet
  guard_refused "/cleanup with the 32-bit pseudo-handle" "$uninstaller" /cleanup 4294967295 "$uninstaller" 4 /quiet
  guard_refused "/cleanup with made-up handles" "$uninstaller" /cleanup 8 "$uninstaller" 12 16 /quiet
  guard_refused "/cleanup naming the folder" "$uninstaller" /cleanup 8 "$GUARD_DIR" 12 /quiet
  start_program cleanup "$uninstaller" /cleanup 18446744073709551615 "$uninstaller" 4
  answer_box ok --caption Tarvelon && check_box "/cleanup by hand" Tarvelon "$GUARD_CLEANUP_EN" ok ok hand
  check_exit "/cleanup by hand: exit code 2" 2 "$cleanup"
  check_eq "made-up clean-up lines remove nothing" "$installed" "$(guard_state Tarvelon)"

  # Started twice: the second one stops while the first one asks.
  start_program first "$uninstaller"
  if answer_box none --caption Tarvelon; then
    guard_refused "a second uninstaller" "$uninstaller" /quiet
    answer_box no --caption Tarvelon
  fi
  check_exit "the first uninstaller, answered No: exit code 2" 2 "$first"

  # A backup copy: neither the installation nor the backup's own files go.
  backup_before="<no backup>"
  if guard_backup; then
    backup_before=$(dir_entries "$GUARD_BACKUP")
    guard_refused "the backup's uninstaller, quiet" "$GUARD_BACKUP\\Uninstall.exe" /quiet
    start_program copy "$GUARD_BACKUP\\Uninstall.exe"
    if answer_box ok --caption Tarvelon; then
      check_eq "the backup's uninstaller says why, naming the installation folder" \
        "$(ansi_hex "$GUARD_OTHER_COPY_EN\r\n")$(ansi_hex_raw "$GUARD_DIR\\")" "$(box_field text-hex)"
      check_eq "and shows the error icon" hand "$(box_field icon)"
    fi
    check_exit "the backup's uninstaller: exit code 2" 2 "$copy"
    check_eq "the backup's uninstaller removes nothing of the installation" "$installed" "$(guard_state Tarvelon)"
    check_eq "nor of the backup" "$backup_before" "$(dir_entries "$GUARD_BACKUP")"
  else
    fail "backup copy made"
  fi

  # The user's own files, in the installation folder and in the group.
  echo "my own notes" >"$(prefix_path "$GUARD_DIR\\notes.txt")"
  echo "read me" >"$(prefix_path "$COMMON_PROGRAMS\\Tarvelon\\Read me.txt")"
  with_user_files=$(guard_state Tarvelon)

  # The product runs: nothing goes, and the user is asked to close it.
  start_program running "$uninstaller"
  if answer_box yes --caption Tarvelon && answer_box ok --caption Tarvelon; then
    check_box "with the product running" Tarvelon "$GUARD_RUNNING_EN" ok ok hand
  fi
  check_exit "with the product running: exit code 1" 1 "$running"
  check_eq "with the product running nothing is removed" "$with_user_files" "$(guard_state Tarvelon)"

  # The product closed, the uninstaller removes everything but the user's files. Its helper is
  # kept waiting a few seconds for the uninstaller's file, long enough to list its modules.
  stop_programs
  temp_before=$(temp_entries)
  start_program holder "$HOLDFILE" "$uninstaller" 6
  sleep 1
  start_program closed "$uninstaller" /quiet
  capture MODULES "$MODLIST" TarvelonUninstall.exe 30
  MODULES=${MODULES//$'\r'/}
  helper_image=$(echo "$MODULES" | sed -n 's/^module: //p' | head -1)
  check_that "the helper runs from a new folder of its own under the Windows folder's Temp ($helper_image)" \
    grep -qiE '^c:\\windows\\temp\\tvl-[0-9a-f]{16}\\TarvelonUninstall\.exe$' <<<"$helper_image"
  helper_folder=$(sed -n 's/^.*\\\(tvl-[0-9a-f]*\)\\.*$/\1/p' <<<"$helper_image")
  check_eq "which holds nothing but the helper" TarvelonUninstall.exe \
    "$(ls -A "$WINEPREFIX/drive_c/windows/temp/$helper_folder" 2>&1)"
  helper_folder=$(echo "$MODULES" | sed -n 's/^current folder: //p')
  check_eq "the helper stands in the system folder, not the temporary one" 'c:\windows\system32\' "${helper_folder,,}"
  system_dir=$(echo "$MODULES" | sed -n 's/^module: //p' | sed -n 2p | sed 's/\\[^\\]*$//')
  check_eq "the helper's DLLs come from the system folder" 'c:\windows\system32' "${system_dir,,}"
  check_eq "all of them" "" "$(echo "$MODULES" | sed -n 's/^module: //p' | sed 1d | grep -viF 'c:\windows\system32\')"
  check_exit "the product closed: exit code 0" 0 "$closed"
  check_exit "the file holder ends" 0 "$holder"
  check_that "the uninstaller removed itself" wait_gone "$(prefix_path "$uninstaller")" 15
  wait_temp_entries "$temp_before"
  check_eq "once the helper has ended, nothing of it is left in a temporary folder" "$temp_before" "$(temp_entries)"
  check_eq "the user's file alone stays in the installation folder" notes.txt "$(dir_entries "$GUARD_DIR")"
  check_eq "the user's file alone stays in the group" "Read me.txt" "$(dir_entries "$COMMON_PROGRAMS\\Tarvelon")"
  check_not "no Desktop link" test -e "$(prefix_path "$COMMON_DESKTOP\\Tarvelon.lnk")"
  check_not "no uninstall entry" reg_key_exists "$UNINSTALL_KEY"
  check_eq "the backup stays" "$backup_before" "$(dir_entries "$GUARD_BACKUP")"
fi
rm -rf "$(prefix_path 'C:\backup')"
reset_machine

scenario uninstall-renamed-russian ru_RU.UTF-8
if guard_install "Russian"; then
  start_program running "$GUARD_DIR\\Uninstall.exe"
  if answer_box yes --caption 'Тарвелон' && answer_box ok --caption 'Тарвелон'; then
    check_box "with the product running, in Russian" 'Тарвелон' "$GUARD_RUNNING_RU" ok ok hand
  fi
  check_exit "with the product running: exit code 1" 1 "$running"
  check_eq "with the product running nothing is removed" "$GUARD_FILES" "$(dir_entries "$GUARD_DIR")"
  stop_programs
  if guard_backup; then
    start_program copy "$GUARD_BACKUP\\Uninstall.exe"
    answer_box ok --caption 'Тарвелон' &&
      check_eq "the backup's uninstaller says why in Russian" \
        "$(ansi_hex "$GUARD_OTHER_COPY_RU\r\n")$(ansi_hex_raw "$GUARD_DIR\\")" "$(box_field text-hex)"
    check_exit "the backup's uninstaller: exit code 2" 2 "$copy"
  fi
  installed_dir=$(prefix_path "$GUARD_DIR")
  mv "$installed_dir/Uninstall.exe" "$installed_dir/Uninstall (1).exe"
  echo "an unrelated program" >"$installed_dir/Uninstall.exe"
  start_program renamed "$GUARD_DIR\\Uninstall (1).exe" /quiet
  check_exit "the renamed uninstaller: exit code 0" 0 "$renamed"
  check_that "the renamed uninstaller removed itself" wait_gone "$installed_dir/Uninstall (1).exe" 15
  check_eq "the unrelated Uninstall.exe alone stays" Uninstall.exe "$(dir_entries "$GUARD_DIR")"
  check_eq "and is untouched" "an unrelated program" "$(cat "$installed_dir/Uninstall.exe")"
  check_not "no group" test -e "$(prefix_path "$COMMON_PROGRAMS\\Тарвелон")"
  check_not "no Desktop link" test -e "$(prefix_path "$COMMON_DESKTOP\\Тарвелон.lnk")"
  check_not "no uninstall entry" reg_key_exists "$UNINSTALL_KEY"
fi
rm -rf "$(prefix_path 'C:\backup')"
reset_machine

# Without the Windows folder's Temp no helper is made anywhere else: the rest of the product
# goes, and the uninstaller is parked under a name of its own for the next restart.
scenario uninstall-without-system-temp en_US.UTF-8
if guard_install "Without the Windows folder's Temp"; then
  stop_programs
  system_temp="$WINEPREFIX/drive_c/windows/temp"
  mv "$system_temp" "$system_temp.away"
  temp_before=$(temp_entries)
  start_program closed "$GUARD_DIR\\Uninstall.exe" /quiet
  check_exit "without the Windows folder's Temp: exit code 0" 0 "$closed"
  check_that "the uninstaller alone stays, parked for the next restart ($(dir_entries "$GUARD_DIR"))" \
    grep -qE '^~uninstall-[0-9a-f]{16}\.tmp$' <<<"$(dir_entries "$GUARD_DIR")"
  check_eq "nothing is left in the user's %TEMP%" "$temp_before" "$(temp_entries)"
  check_not "no uninstall entry" reg_key_exists "$UNINSTALL_KEY"
  mv "$system_temp.away" "$system_temp"
fi
reset_machine
