# shellcheck shell=bash
# The confirmation question in each UI language, answered No: the setup ends with exit code 0
# and the machine is left as it was.

question_en='Would you like to setup the program?'
question_ru='Вы действительно хотите установить программу\r\n"Тарвелон 1.0.1" - Рабочее место Тарвелон?'

# decline_question LABEL [enter]: starts the setup, checks the question box of the scenario's
# UI language (Russian when RUSSIAN is set), answers with the No button, or with a real Enter
# key, checks the exit code and that the machine is untouched.
decline_question() {
  start_program setup "$SETUP_EXE"
  if answer_box "${2:-no}"; then
    if [ -n "$RUSSIAN" ]; then
      check_box "$1" 'Резонный вопрос' "$question_ru" "yes no" yes question
    else
      check_box "$1" 'Sound question' "$question_en" "yes no" no question
    fi
    if [ "${2:-}" = enter ]; then
      sleep 0.3
      xdotool key Return
    fi
  fi
  check_exit "$1: declining ends the setup with exit code 0" 0 "$setup"
  check_untouched "$1"
  reset_machine
}

# No is the default of the English question: Enter declines.
scenario question-english en_US.UTF-8
RUSSIAN='' decline_question "English (1033), Enter" enter

scenario question-russian ru_RU.UTF-8
RUSSIAN=1 decline_question "Russian (1049)"

scenario question-russian-moldova ru_MD.UTF-8
RUSSIAN=1 decline_question "Russian, Moldova (2073)"

scenario question-kyrgyz ky_KG.UTF-8
RUSSIAN='' decline_question "Kyrgyz (1088), Cyrillic but English UI"
