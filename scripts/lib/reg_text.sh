# shellcheck shell=bash
# Registry values for a UTF-8 terminal. `wine reg query` turns Cyrillic texts into question
# marks, so the values are read with the harness's regdump.exe, which prints their bytes, and
# shown from those bytes here.

# reg_text CODEPAGE: reads regdump.exe's lines (NAME, tab, TYPE, tab, data as hex) and prints
# each value as "NAME    TYPE    VALUE", in the order read: a text converted from CODEPAGE
# (the ANSI code page of the locale regdump ran in) without its terminating NUL, a DWORD as
# hex like `wine reg query` shows it, any other type as its hex bytes.
reg_text() {
  local name type hex value
  while IFS=$'\t' read -r name type hex; do
    case $type in
      REG_SZ | REG_EXPAND_SZ)
        value=$(printf '%b' "$(printf '%s' "${hex%00}" | sed 's/../\\x&/g')" | iconv -f "$1" -t UTF-8) ;;
      REG_DWORD) value=$(printf '0x%x' "$((16#${hex:6:2}${hex:4:2}${hex:2:2}${hex:0:2}))") ;;
      *) value=$hex ;;
    esac
    printf '%s    %s    %s\n' "$name" "$type" "$value"
  done
}
