# shellcheck shell=bash
# An Authenticode-signed copy of the setup (throwaway certificate) verifies and installs: the
# signature appended to the executable leaves its payload resources readable.

scenario signed-setup en_US.UTF-8
sign_dir="$E2E_BUILD/e2e-signed"
rm -rf "$sign_dir"
mkdir -p "$sign_dir"
signed_exe="$sign_dir/TarvelonSetup.exe"
if openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Tarvelon Test Signing" \
  -keyout "$sign_dir/key.pem" -out "$sign_dir/cert.pem" >"$sign_dir/openssl.log" 2>&1 &&
  osslsigncode sign -certs "$sign_dir/cert.pem" -key "$sign_dir/key.pem" -h sha256 \
    -n "Tarvelon Setup" -in "$SETUP_EXE" -out "$signed_exe" >"$sign_dir/sign.log" 2>&1; then
  verifies() { osslsigncode verify -CAfile "$sign_dir/cert.pem" "$1" >"$sign_dir/verify.log" 2>&1; }
  check_that "the signed copy verifies against its certificate" verifies "$signed_exe"
  check_not "the unsigned setup does not" verifies "$SETUP_EXE"
  start_program setup "$signed_exe"
  answer_box yes
  check_exit "the signed setup ends with exit code 0" 0 "$setup" 90
  check_payload "the signed setup" "$(program_files)\\Tarvelon"
  check_that "the uninstall entry is written" reg_key_exists "$UNINSTALL_KEY"
else
  fail "a throwaway certificate signs the setup" "see $sign_dir/*.log"
fi
reset_machine
rm -rf "$sign_dir"
