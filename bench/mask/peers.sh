#!/usr/bin/env bash
# The README's peer table: a card-number call (card_call.py: 16 digits and
# a 3-digit code keyed over Asterisk's recorded English voice, 8 kHz)
# masked by our masker and by "mute on detection" (SpanDSP's dtmf_rx
# muting from the sample it reports a tone to the sample it reports it
# gone), with the original for reference. For each: the power left at the
# tones' onsets (first 10 ms, dB below the original; ∞: nothing left) and
# the digits multimon-ng, SpanDSP and our receiver (at its most
# sensitive) still read. Writes the audio to build/mask/ (OUT_DIR).
# Usage: peers.sh   (BENCH_BIN=dir: the bench preset's bin/ to use)
set -euo pipefail
export LC_ALL=C
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
out=${OUT_DIR:-$root/build/mask}
mkdir -p "$out"
if [ -z "${BENCH_BIN:-}" ]; then
  (
    cd "$root"
    [ -f build/bench/build.ninja ] || nice -n 10 cmake --preset bench >/dev/null
    nice -n 10 cmake --build --preset bench \
      --target mask_raw mute_on_detection spandsp_raw hear_raw >/dev/null
  )
  BENCH_BIN=$root/build/bench/bin
fi
voice=/usr/share/asterisk/sounds/en_US_f_Allison
[ -d "$voice" ] || { echo "peers.sh: needs asterisk-core-sounds-en-wav" >&2; exit 2; }

# The agent's voice: the same prompts every time, one after another.
for f in please-enter-your telephone-number to-call-this-number check-number-dial-again \
  number-not-answering enter-num-blacklist dir-pls-enter conf-enteringno; do
  sox -R -V1 "$voice/$f.wav" -t raw -e signed -b 16 -c 1 -r 8000 - 2>/dev/null || true
done >"$out/voice.raw"
"$here/card_call.py" "$out/voice.raw" "$out/card_call"
"$BENCH_BIN/mask_raw" 8000 <"$out/card_call.original.raw" >"$out/card_call.ours.raw" 2>/dev/null
"$BENCH_BIN/mute_on_detection" <"$out/card_call.original.raw" >"$out/card_call.mute.raw"

count() {  # digits each receiver reads in raw 8 kHz samples
  local raw=$1
  sox -R -V1 -t raw -e signed -b 16 -c 1 -r 8000 "$raw" -t raw -r 22050 "$out/22k.raw"
  printf '%s | %s | %s' \
    "$(multimon-ng -q -c -a DTMF -t raw "$out/22k.raw" 2>/dev/null | grep -c '^DTMF: ' || true)" \
    "$("$BENCH_BIN/spandsp_raw" <"$raw" | wc -l)" \
    "$("$BENCH_BIN/hear_raw" 8000 sensitive <"$raw" | wc -l)"
  rm -f "$out/22k.raw"
}
tones=$(wc -l <"$out/card_call.tones")
echo "| $tones digits over speech, 8 kHz | onset left, median (dB below) | worst | multimon-ng reads | SpanDSP reads | ours reads |"
echo "| --- | ---: | ---: | ---: | ---: | ---: |"
echo "| original | 0 | 0 | $(count "$out/card_call.original.raw") |"
for who in "ours:our masker (40 ms look-ahead)" "mute:mute on detection (SpanDSP)"; do
  read -r median worst < <("$here/onset_left.py" "$out/card_call.original.raw" \
    "$out/card_call.${who%%:*}.raw" "$out/card_call.tones")
  echo "| ${who#*:} | $median | $worst | $(count "$out/card_call.${who%%:*}.raw") |"
done
