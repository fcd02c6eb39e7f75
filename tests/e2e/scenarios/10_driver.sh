# shellcheck shell=bash
# The driver itself, proven against askbox.exe, whose boxes are known: if these fail, the
# setup scenarios' verdicts mean nothing.

scenario driver-russian-box ru_RU.UTF-8
caption='Проверка'
text='Первая строка\r\nвторая «строка»'
start_program asker "$ASKBOX" 0x2024 "$(ansi_hex "$caption")" "$(ansi_hex "$text")" 25
if answer_box yes --caption-hex "$(ansi_hex "$caption")"; then
  check_box "Windows-1251 yes/no box" "$caption" "$text" "yes no" yes question
fi
check_exit "pressing Yes answers IDYES" 6 "$asker"

scenario driver-buttons-icons en_US.UTF-8
start_program asker "$ASKBOX" 0x10 "$(ansi_hex Stop)" "$(ansi_hex 'Hand icon')"
answer_box ok --caption Stop && check_box "error box" Stop 'Hand icon' ok ok hand
check_exit "pressing OK answers IDOK" 1 "$asker"

# Two boxes from two processes: the filter by process picks the second one, and pressing it
# leaves the first one up.
start_program first "$ASKBOX" 0x30 "$(ansi_hex Same)" "$(ansi_hex 'first')"
answer_box none --caption Same
first_pid=$(box_field pid)
first_hwnd=$(box_field hwnd)
check_eq "first box: exclamation icon" exclamation "$(box_field icon)"
start_program second "$ASKBOX" 0x40 "$(ansi_hex Same)" "$(ansi_hex 'second')"
answer_box ok --caption Same --not-pid "$first_pid" &&
  check_box "second box, other process" Same second ok ok asterisk
check_exit "second program ends with IDOK" 1 "$second"
check_that "first box still up" kill -0 "$first"
answer_box ok --hwnd "$first_hwnd" && check_eq "the first box is the one left" first "$(box_field text)"
check_exit "first program ends with IDOK" 1 "$first"
check_that "no box is left" no_box_left

# A real Enter key answers with the default button, here the second one (No).
start_program asker "$ASKBOX" 0x134 "$(ansi_hex Enter)" "$(ansi_hex 'Default is No')"
answer_box enter --caption Enter && check_eq "default from the button style" no "$(box_field default)"
sleep 0.3
xdotool key Return
check_exit "Enter takes the default button (IDNO)" 7 "$asker"

# The topmost field: a system-modal box is topmost (a box with MB_TOPMOST alone is not, under
# Wine 8: see mb_topmost_shown).
start_program asker "$ASKBOX" 0x1024 "$(ansi_hex Topmost)" "$(ansi_hex 'System modal')"
answer_box yes --caption Topmost &&
  check_eq "a system-modal box is topmost" yes "$(box_field topmost)"
check_exit "and answers IDYES" 6 "$asker"

# No box: the driver says so instead of answering something.
driver box --caption Nobody --timeout 1
check_eq "driver times out without a matching box" "2 timeout: no matching message box" \
  "$? $DRIVER_OUT"
reset_machine
