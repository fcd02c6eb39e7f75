# shellcheck shell=bash
# A program of the product's name beside the setup (in a Downloads folder), then one in the
# Windows folder: the setup, elevated, starts the program it has just installed, not that one.

scenario install-planted-program en_US.UTF-8
downloads='C:\users\Public\Downloads'
mkdir -p "$(prefix_path "$downloads")"
cp "$SETUP_EXE" "$(prefix_path "$downloads\\TarvelonSetup.exe")"
installed="$(program_files)\\Tarvelon"
for planted in "$downloads\\Tarvelon.exe" 'C:\windows\Tarvelon.exe'; do
  # The product's own program: only where it lies tells the copies apart.
  cp "$PAYLOAD_FILES/Tarvelon.exe" "$(prefix_path "$planted")"
  start_program setup "$downloads\\TarvelonSetup.exe"
  answer_box yes
  check_exit "with $planted: the setup ends with exit code 0" 0 "$setup" 90
  check_eq "with $planted: the installed program is the one started" \
    "$(ansi_hex_raw "$installed\\Tarvelon.exe")" "$(started_line_hex 2)"
  check_eq "with $planted: in the installation folder" "$(ansi_hex_raw "$installed")" "$(started_folder_hex)"
  rm -f "$(prefix_path "$planted")"
  reset_machine
done
rm -f "$(prefix_path "$downloads\\TarvelonSetup.exe")"
