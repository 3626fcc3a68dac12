#!/usr/bin/env bash
# PlayDTMF through the real waveOut path under Wine, heard by multimon-ng.
#   play_dtmf_capture_test.sh BIN_DIR
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
tool="$1/play_dtmf_tool.exe"
failures=0

check() {  # name, then capture_and_decode.sh arguments
  local name=$1; shift
  local started=$SECONDS
  if "$here/capture_and_decode.sh" "$@"; then
    echo "ok   $name ($((SECONDS - started)) s)"
  else
    echo "FAIL $name"; failures=$((failures + 1))
  fi
}

check "all sixteen symbols, separators skipped" \
  "123A456B789C*0#D" -- wine "$tool" play sync 50 "1-2 3A(456)b789c*0#d"
# ０９Ａｄ＊＃ then ア (trail byte 'A') and 表 (trail byte '\') then 5.
check "full-width symbols and code page 932 trail bytes" \
  "09AD*#5" -- wine "$tool" play sync 60 "hex:824f825882608284819681948341955c35"
check "a new call cuts the playing one short" \
  --match '^1{1,7}2345$' "1...2345" -- wine "$tool" play async 150 11111111 sleep 250 play sync 60 2345
check "a call without symbols stops the playback" \
  --match '^9?$' "9 at most" -- wine "$tool" play async 200 999999 sleep 50 play sync 50 "-"
check "unloading the DLL lets the playback finish" \
  "123" -- wine "$tool" play async 50 123 unload sleep 1500
check "ending the process mid-playback" \
  --match '^1?$' "1 at most" -- timeout 20 wine "$tool" play async 200 123456 sleep 100 exit

exit $((failures > 0))
