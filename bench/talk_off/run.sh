#!/usr/bin/env bash
# Counts the digits three DTMF receivers hear in the talk-off corpus
# (make_corpus.sh), where nobody pressed a key, so every digit is false:
# ours (hear_raw), SpanDSP's dtmf_rx (spandsp_raw) and multimon-ng. Prints a
# Markdown table per corpus folder and writes each false digit to
# build/talk_off/false_digits_{ours,spandsp,multimon}.txt as
# "file seconds symbol" (ours: where the digit starts; the others: when they
# report it, as they tell no start).
#
# Usage: run.sh [--ours-only] [CORPUS_DIR]
#   --ours-only    only our receiver: a few seconds, for tuning.
#   HEAR_RAW=path  another build of hear_raw (default: build it, native preset).
#   SPANDSP_RAW=path  likewise (default: build it, bench preset).
#   TALK_OFF_CORPUS=dir  the corpus, if not given; TALK_OFF_OUT=dir  for the lists.
set -euo pipefail
export LC_ALL=C

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)

ours_only=0
while [ $# -gt 0 ]; do
  case $1 in
    --ours-only) ours_only=1; shift ;;
    -h | --help) sed -n '2,15s/^# \{0,1\}//p' "$0"; exit 0 ;;
    -*) echo "run.sh: unknown option $1" >&2; exit 2 ;;
    *) break ;;
  esac
done
corpus=${1:-${TALK_OFF_CORPUS:-$root/build/talk_off/corpus}}
results=${TALK_OFF_OUT:-$root/build/talk_off}
[ -d "$corpus" ] || { echo "run.sh: no corpus at $corpus (bench/talk_off/make_corpus.sh renders it)" >&2; exit 2; }
corpus=$(cd "$corpus" && pwd)
mkdir -p "$results"

if [ -z "${HEAR_RAW:-}" ]; then
  (
    cd "$root"
    [ -f build/native/build.ninja ] || nice -n 10 cmake --preset native >/dev/null
    nice -n 10 cmake --build --preset native --target hear_raw >/dev/null
  )
  HEAR_RAW=$root/build/native/bin/hear_raw
fi
receivers=(ours)
if [ $ours_only = 0 ]; then
  if [ -z "${SPANDSP_RAW:-}" ]; then
    (
      cd "$root"
      [ -f build/bench/build.ninja ] || nice -n 10 cmake --preset bench >/dev/null
      nice -n 10 cmake --build --preset bench --target spandsp_raw >/dev/null
    )
    SPANDSP_RAW=$root/build/bench/bin/spandsp_raw
  fi
  receivers+=(spandsp multimon)
fi
HEAR_RAW=$(realpath "$HEAR_RAW")
SPANDSP_RAW=$(realpath "${SPANDSP_RAW:-/dev/null}")

work=$(mktemp -d "${TMPDIR:-/tmp}/talk_off_run.XXXXXX")
trap 'rm -rf "$work"' EXIT
export HEAR_RAW SPANDSP_RAW corpus here work

# The samples of each WAV, cached as raw 8 kHz 16-bit in the corpus's .raw/
# folder (redone when the WAV is newer), so that a run is only the decoders.
find "$corpus" -path "$corpus/.raw" -prune -o -name '*.wav' -printf '%P\n' | sort >"$work/files"
[ -s "$work/files" ] || { echo "run.sh: no WAV in $corpus" >&2; exit 2; }
while read -r f; do
  raw=$corpus/.raw/${f%.wav}.raw
  [ "$raw" -nt "$corpus/$f" ] || printf '%s\0' "$f"
done <"$work/files" >"$work/stale"
if [ -s "$work/stale" ]; then
  echo "run.sh: caching the samples of $(tr -cd '\0' <"$work/stale" | wc -c) files" >&2
  # shellcheck disable=SC2016 # expanded by the inner shell
  nice -n 10 xargs -0 -P 2 -n 1 bash -c 'set -euo pipefail
    raw=$corpus/.raw/${1%.wav}.raw
    mkdir -p "$(dirname "$raw")"
    sox "$corpus/$1" -t raw -e signed -b 16 -c 1 -r 8000 "$raw.part"
    mv "$raw.part" "$raw"' _ <"$work/stale"
fi

# One receiver over one file: "seconds symbol" lines.
hear() {
  local receiver=$1 f=$2
  local raw=$corpus/.raw/${f%.wav}.raw
  case $receiver in
    ours) "$HEAR_RAW" 8000 <"$raw" | awk '{ printf "%.3f %s\n", $1 / 8000, $3 }' ;;
    spandsp) "$SPANDSP_RAW" <"$raw" | awk '{ printf "%.3f %s\n", $1 / 8000, $2 }' ;;
    multimon)
      local tmp
      tmp=$(mktemp)
      sox -R -V1 -t raw -e signed -b 16 -c 1 -r 8000 "$raw" -t raw -r 22050 "$tmp"
      if multimon-ng -q -c -a DTMF -t raw "$tmp" | grep -q '^DTMF: '; then
        python3 "$here/multimon_times.py" "$tmp"
      fi
      rm -f "$tmp"
      ;;
  esac
}
# "receiver<TAB>file<TAB>n": the digits to $work/receiver/n.
hear_job() {
  local receiver f n
  IFS=$'\t' read -r receiver f n <<<"$1"
  hear "$receiver" "$f" | sed "s|^|$f |" >"$work/$receiver/$n"
}
export -f hear hear_job

for receiver in "${receivers[@]}"; do
  mkdir -p "$work/$receiver"
  # Each file's digits to a file of their own, gathered in order after.
  # shellcheck disable=SC2016 # expanded by the inner shell
  awk -v r="$receiver" '{ printf "%s\t%s\t%d\n", r, $0, NR }' "$work/files" |
    nice -n 10 xargs -d '\n' -P 2 -n 1 bash -c 'hear_job "$1"' _
  find "$work/$receiver" -type f -printf '%f\n' | sort -n | sed "s|^|$work/$receiver/|" |
    xargs cat >"$results/false_digits_$receiver.txt"
done

# The table: hours from the samples, digits per folder.
{
  for receiver in "${receivers[@]}"; do
    awk -v r="$receiver" '{ split($1, p, "/"); print "digits", r, p[1] }' "$results/false_digits_$receiver.txt"
  done
  while read -r f; do
    printf 'bytes %s %s\n' "${f%%/*}" "$(stat -c %s "$corpus/.raw/${f%.wav}.raw")"
  done <"$work/files"
} | awk -v receivers="${receivers[*]}" '
  $1 == "bytes" { seconds[$2] += $3 / 16000; total += $3 / 16000; next }
  { n[$2, $3]++; all[$2]++ }
  END {
    k = split(receivers, r, " ")
    head = "| corpus | hours |"; rule = "| --- | ---: |"
    for (i = 1; i <= k; ++i) { head = head " " r[i] " | per hour |"; rule = rule " ---: | ---: |" }
    print head; print rule
    m = 0
    for (c in seconds) names[++m] = c
    for (i = 1; i <= m; ++i) for (j = i + 1; j <= m; ++j) if (names[j] < names[i]) { t = names[i]; names[i] = names[j]; names[j] = t }
    for (i = 1; i <= m; ++i) {
      c = names[i]; h = seconds[c] / 3600
      line = sprintf("| %s | %.2f |", c, h)
      for (j = 1; j <= k; ++j) line = line sprintf(" %d | %.2f |", n[r[j], c], n[r[j], c] / h)
      print line
    }
    h = total / 3600
    line = sprintf("| **total** | **%.2f** |", h)
    for (j = 1; j <= k; ++j) line = line sprintf(" **%d** | **%.2f** |", all[r[j]], all[r[j]] / h)
    print line
  }'
for receiver in "${receivers[@]}"; do echo "$results/false_digits_$receiver.txt"; done >&2
