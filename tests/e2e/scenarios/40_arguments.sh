# shellcheck shell=bash
# Command-line arguments, even ones other installers understand, change nothing: the same
# question comes, No ends the run with 0, and nothing is written (not even at the /D folder).

scenario arguments-ignored en_US.UTF-8
start_program setup "$SETUP_EXE" /S '/D=C:\x' --help /?
answer_box no &&
  check_box "with /S /D=C:\\x --help /?" 'Sound question' 'Would you like to setup the program?' \
    "yes no" no question
check_exit "arguments: exit code 0" 0 "$setup"
check_untouched "arguments" 'C:\x'
reset_machine
