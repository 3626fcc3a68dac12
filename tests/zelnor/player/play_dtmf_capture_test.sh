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
check "a comma is a pause of 2 s after the gap" --silences 2060 \
  "12" -- wine "$tool" play sync 60 "1,2"
# 1, full-width comma (0x81 0x43 in code page 932), comma, 2: pauses add up.
check "pauses add up, full-width commas too" --silences 4060 \
  "12" -- wine "$tool" play sync 60 "hex:3181432c32"
check "a new call cuts the playing one short" \
  --match '^1{1,7}2345$' "1...2345" -- wine "$tool" play async 150 11111111 sleep 250 play sync 60 2345
check "a call without symbols stops the playback" \
  --match '^9?$' "9 at most" -- wine "$tool" play async 200 999999 sleep 50 play sync 50 "-"
check "unloading the DLL lets the playback finish" \
  "123" -- wine "$tool" play async 50 123 unload sleep 1500
check "ending the process mid-playback" \
  --match '^1?$' "1 at most" -- timeout 20 wine "$tool" play async 200 123456 sleep 100 exit

# A progress callback held 1.5 s on its first report, into a sink paced like
# a sound card: the tones keep their 100 ms gaps.
check "a progress callback that blocks delays no tone" --conf "$here/alsa_paced.conf.in" \
  --silences 100,100,100 "1234" -- wine "$tool" hold-progress 1500 progress 100 1234

# dtmf.exe's progress into a pipe nobody reads for 20 s (400 lines, 160 KB:
# more than the pipe holds): every tone still plays, and the tool exits 0.
fives=$(printf '5%.0s' $(seq 400))
check "a progress reader that falls behind cuts nothing" \
  "$fives" -- bash -o pipefail -c "wine '$1/dtmf.exe' -t 40 $fives 2>&1 | (sleep 20; cat >/dev/null)"

# 10,000 calls as fast as they go: the last one is what is heard (the file
# holds only the last opening of the device).
latest_only="$here/alsa_latest_only.conf.in"
check "10,000 rapid calls from one thread" --conf "$latest_only" \
  "#D" -- wine "$tool" flood 10000 1 2 play async 40 "#D" sleep 1000
check "10,000 rapid calls from eight threads" --conf "$latest_only" \
  "#D" -- wine "$tool" flood 10000 8 2 play async 40 "#D" sleep 1000

scratch=$(mktemp -d /tmp/zelnor-play-test.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
check "a device that stops taking samples" --conf "$here/alsa_stalled.conf.in" --keep "$scratch" \
  --match '^[0-9]*147$' "a few of 0123456789, then 147" -- "$here/stalled_device_run.sh" "$scratch" "$tool"

# A loaded machine: 4 threads spinning on 2 cores for 30 dials, into a device
# that takes samples at the pace a sound card does. Every symbol decoded once,
# and every tone whole.
dial=0123456789ABCD*#
steps=() expected=""
for _ in $(seq 30); do steps+=(play sync 40 "$dial"); expected+=$dial; done
check "30 dials beside 4 spinning threads" --conf "$here/alsa_paced.conf.in" --keep "$scratch" \
  "$expected" -- wine "$tool" spin 4 "${steps[@]}"
if python3 "$here/find_tone_gaps.py" 40 "$scratch"/capture-*; then
  echo "ok   no gap inside a tone"
else
  echo "FAIL a tone with a gap"; failures=$((failures + 1))
fi

exit $((failures > 0))
