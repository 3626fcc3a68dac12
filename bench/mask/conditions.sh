#!/usr/bin/env bash
# The masker's figures (mask_trials) over every condition it must meet:
# tones alone, in noise, under a voice-like signal and under recorded
# speech (Asterisk's English prompts and espeak-ng's voices from the
# talk-off corpus, 10 dB under the tones), through G.711, at 8, 16 and
# 48 kHz; and the digits SpanDSP and multimon-ng still read after (8 kHz).
# Usage: conditions.sh [TRIALS]   (MASK_TRIALS, SPANDSP_RAW: other builds;
#   MASK_MS="10 12": tones of those lengths only, not 12 to 100 ms)
set -euo pipefail
export LC_ALL=C
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
trials=${1:-1000}
corpus=${TALK_OFF_CORPUS:-$root/build/talk_off/corpus}
if [ -z "${MASK_TRIALS:-}" ] || [ -z "${SPANDSP_RAW:-}" ]; then
  (
    cd "$root"
    [ -f build/bench/build.ninja ] || nice -n 10 cmake --preset bench >/dev/null
    nice -n 10 cmake --build --preset bench --target mask_trials spandsp_raw >/dev/null
  )
fi
MASK_TRIALS=${MASK_TRIALS:-$root/build/bench/bin/mask_trials}
SPANDSP_RAW=${SPANDSP_RAW:-$root/build/bench/bin/spandsp_raw}
work=$(mktemp -d "${TMPDIR:-/tmp}/mask_conditions.XXXXXX")
trap 'rm -rf "$work"' EXIT

# Speech without a codec, as raw samples at a rate.
speech() {
  local pattern=$1 rate=$2 out=$3
  find "$corpus" -path "$corpus/.raw" -prune -o -name "$pattern" -print | sort | head -6 |
    while read -r f; do sox -R -V1 "$f" -t raw -e signed -b 16 -c 1 -r "$rate" -; done >"$out"
}

digits() {  # SpanDSP and multimon-ng over raw samples at RATE
  local raw=$1 rate=$2 s m
  sox -R -V1 -t raw -e signed -b 16 -c 1 -r "$rate" "$raw" -t raw -e signed -b 16 -c 1 -r 8000 "$work/8k.raw"
  s=$("$SPANDSP_RAW" <"$work/8k.raw" | wc -l)
  sox -R -V1 -t raw -e signed -b 16 -c 1 -r "$rate" "$raw" -t raw -e signed -b 16 -c 1 -r 22050 "$work/22k.raw"
  m=$(multimon-ng -q -c -a DTMF -t raw "$work/22k.raw" 2>/dev/null | grep -c '^DTMF: ' || true)
  echo "SpanDSP $s, multimon-ng $m"
}

run() {
  local title=$1
  shift
  echo "### $title"
  # shellcheck disable=SC2086 # the two lengths as two words
  "$MASK_TRIALS" --trials "$trials" ${MASK_MS:+--ms $MASK_MS} --out "$work/t" "$@"
  local rate=8000 a
  for a in "$@"; do [ "${prev:-}" = --rate ] && rate=$a; prev=$a; done
  prev=
  echo "digits read before: $(digits "$work/t.in.raw" "$rate"); after: $(digits "$work/t.masked.raw" "$rate")"
  echo
}

for rate in 8000 16000 48000; do
  speech 'en_US_f_Allison_*-full-none.wav' "$rate" "$work/prompts.$rate.raw"
done
speech 'en-us_*-full-none.wav' 8000 "$work/espeak.8000.raw"
for rate in 8000 16000 48000; do
  run "quiet, $rate Hz" --rate "$rate" --background quiet
  run "white noise 20 dB under, $rate Hz" --rate "$rate" --background noise --under 20
  run "voice-like 10 dB under, $rate Hz" --rate "$rate" --background voice
  run "recorded prompts 10 dB under, $rate Hz" --rate "$rate" --background speech "$work/prompts.$rate.raw"
done
run "espeak-ng voices 10 dB under, 8000 Hz" --background speech "$work/espeak.8000.raw"
for codec in ulaw alaw; do
  run "quiet, $codec" --background quiet --codec "$codec"
  run "recorded prompts 10 dB under, $codec" --background speech "$work/prompts.8000.raw" --codec "$codec"
done
run "recorded prompts level with the tones" --background speech "$work/prompts.8000.raw" --under 0
