#!/usr/bin/env bash
# Checks that the Linux dtmf hears and masks exactly as dtmf.exe does under
# Wine: every file of the receiver's standards set (each condition's 128
# trials as one 8 kHz WAV) and of the talk-off corpus
# (bench/talk_off/make_corpus.sh) is decoded with --decode --json and masked
# with --mask --json by both; the printed lines and the masked files'
# bytes must be the same. Prints one line per set and a list of every file
# that differs; exit 1 if any does.
# Usage: same_as_windows.sh [CORPUS_DIR]   (default $TALK_OFF_CORPUS, else
#        build/talk_off/corpus; a missing corpus is left out with a warning)
set -euo pipefail
export LC_ALL=C
root=$(cd "$(dirname "$0")/.." && pwd)
corpus=${1:-${TALK_OFF_CORPUS:-$root/build/talk_off/corpus}}
cd "$root"

for preset in native linux windows; do
  [ -f "build/$preset/build.ninja" ] || cmake --preset "$preset" >/dev/null
done
nice -n 10 cmake --build --preset native --target receiver_standards >/dev/null
nice -n 10 cmake --build --preset linux --target dtmf >/dev/null
nice -n 10 cmake --build --preset windows --target dtmf zelnor >/dev/null
linux_dtmf=$root/build/linux/bin/dtmf
windows_dtmf=$root/build/windows/bin/dtmf.exe

work=$(mktemp -d "${TMPDIR:-/tmp}/same_as_windows.XXXXXX")
source scripts/wine-env.sh
trap 'wine_env_stop; rm -rf "$work"' EXIT
export WINE_ENV_FRESH=1 WINE_ENV_OWN_DISPLAY=1
wine_env_start

mkdir -p "$work/standards"
build/native/bin/receiver_standards --raw "$work/standards"
for raw in "$work"/standards/*.raw; do
  sox -R -V1 -t raw -e signed -b 16 -c 1 -r 8000 "$raw" "${raw%.raw}.wav"
  rm "$raw"
done

# dtmf.exe's lines as the Linux dtmf ends them, less Wine's rare note of a
# fault in a thread of its own (the program goes on and exits 0).
without_wine_notes() {
  tr -d '\r' | sed '/^wine: Unhandled page fault .*starting debugger\.\.\.$/d'
}

differ=0
kept=$root/build/same_as_windows
rm -rf "$kept"
# Both builds over every WAV under FOLDER; NAME labels the line.
compare_set() {
  local name=$1 folder=$2 files=0 bad=0 file out
  while IFS= read -r file; do
    files=$((files + 1))
    out=$work/out/$files
    mkdir -p "$out"
    "$linux_dtmf" --decode "$file" --json >"$out/linux.decode" 2>&1 || true
    wine "$windows_dtmf" --decode "Z:$file" --json 2>&1 | without_wine_notes >"$out/windows.decode" || true
    "$linux_dtmf" --mask "$file" -o "$out/linux.wav" --json >"$out/linux.mask" 2>&1 || true
    wine "$windows_dtmf" --mask "Z:$file" -o "Z:$out/windows.wav" --json 2>&1 |
      without_wine_notes >"$out/windows.mask" || true
    if ! cmp -s "$out/linux.decode" "$out/windows.decode" ||
      ! cmp -s "$out/linux.mask" "$out/windows.mask" ||
      ! cmp -s "$out/linux.wav" "$out/windows.wav"; then
      bad=$((bad + 1))
      mkdir -p "$kept"
      mv "$out" "$kept/$name-$files"
      echo "differs: $file (both outputs kept in $kept/$name-$files)" >&2
    fi
    rm -rf "$out"
  done < <(find "$folder" -path "$folder/.raw" -prune -o -name '*.wav' -print | sort)
  echo "$name: $files files, $((files - bad)) the same, $bad differ"
  [ "$bad" -eq 0 ] || differ=1
}

compare_set standards "$work/standards"
if [ -d "$corpus" ]; then
  compare_set talk-off "$corpus"
else
  echo "same_as_windows: no talk-off corpus at $corpus (bench/talk_off/make_corpus.sh makes it)" >&2
fi
exit "$differ"
