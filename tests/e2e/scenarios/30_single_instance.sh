# shellcheck shell=bash
# A second start while the first one shows its question: the second shows the single-instance
# message and ends with 0; the first goes on and still answers normally.

# second_start LABEL CAPTION TEXT: the first setup's question is up; starts a second one.
second_start() {
  start_program first "$SETUP_EXE"
  answer_box none || return
  local first_pid first_hwnd
  first_pid=$(box_field pid)
  first_hwnd=$(box_field hwnd)
  start_program second "$SETUP_EXE"
  answer_box ok --not-pid "$first_pid" && check_box "$1" "$2" "$3" ok ok hand
  check_exit "$1: the second setup ends with exit code 0" 0 "$second"
  check_that "$1: the first setup still runs" kill -0 "$first"
  answer_box no --hwnd "$first_hwnd" &&
    check_eq "$1: the first setup's question is still up" 'Резонный вопрос' \
      "$(box_field caption)"
  check_exit "$1: the first setup ends with exit code 0" 0 "$first"
  check_untouched "$1"
}

# Ukrainian gets a Russian UI but the English single-instance message: that message tests the
# locale for Russian (Russia) alone.
scenario single-instance-ukrainian uk_UA.UTF-8
second_start "Ukrainian (1058) second start" Tarvelon 'The Tarvelon installer is already running!'
reset_machine

scenario single-instance-russian ru_RU.UTF-8
second_start "Russian (1049) second start" 'Тарвелон' 'Установщик программы Тарвелон уже работает!'

# The marker went away with the first process: a new start asks its question again.
start_program again "$SETUP_EXE"
answer_box no && check_eq "a start after the first ended asks the question" \
  "$(ansi_hex 'Резонный вопрос')" "$(box_field caption-hex)"
check_exit "and ends with exit code 0" 0 "$again"
reset_machine
