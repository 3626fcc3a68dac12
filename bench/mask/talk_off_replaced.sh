#!/usr/bin/env bash
# How much of the talk-off corpus (bench/talk_off/make_corpus.sh: speech and
# music in which nobody pressed a key) the masker replaces: every span it
# replaces there is speech or music lost. Prints a Markdown table per corpus
# folder and writes the spans to build/talk_off/masked_spans.txt as
# "file start_seconds end_seconds".
#
# Usage: talk_off_replaced.sh [CORPUS_DIR]
#   MASK_RAW=path  another build of mask_raw (default: build it, bench preset).
#   TALK_OFF_CORPUS=dir  the corpus, if not given; TALK_OFF_OUT=dir  for the list.
set -euo pipefail
export LC_ALL=C

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
case ${1:-} in -h | --help) sed -n '2,10s/^# \{0,1\}//p' "$0"; exit 0 ;; esac
corpus=${1:-${TALK_OFF_CORPUS:-$root/build/talk_off/corpus}}
results=${TALK_OFF_OUT:-$root/build/talk_off}
[ -d "$corpus" ] || { echo "talk_off_replaced.sh: no corpus at $corpus (bench/talk_off/make_corpus.sh renders it)" >&2; exit 2; }
corpus=$(cd "$corpus" && pwd)
mkdir -p "$results"

if [ -z "${MASK_RAW:-}" ]; then
  (
    cd "$root"
    [ -f build/bench/build.ninja ] || nice -n 10 cmake --preset bench >/dev/null
    nice -n 10 cmake --build --preset bench --target mask_raw >/dev/null
  )
  MASK_RAW=$root/build/bench/bin/mask_raw
fi
MASK_RAW=$(realpath "$MASK_RAW")

work=$(mktemp -d "${TMPDIR:-/tmp}/talk_off_mask.XXXXXX")
trap 'rm -rf "$work"' EXIT
export MASK_RAW corpus work

find "$corpus" -path "$corpus/.raw" -prune -o -name '*.wav' -printf '%P\n' | sort >"$work/files"
[ -s "$work/files" ] || { echo "talk_off_replaced.sh: no WAV in $corpus" >&2; exit 2; }

# One file: its samples, then "file start end" per span, in seconds.
mask_one() {
  local n=$1 f=$2
  # bench/talk_off/run.sh's cache of the samples, where it is up to date.
  local raw=$corpus/.raw/${f%.wav}.raw
  if [ ! "$raw" -nt "$corpus/$f" ]; then
    raw=$work/$n.raw
    sox -R -V1 "$corpus/$f" -t raw -e signed -b 16 -c 1 -r 8000 "$raw"
  fi
  "$MASK_RAW" 8000 <"$raw" 2>"$work/$n.spans" >/dev/null
  {
    printf 'samples %s %s\n' "$f" $(($(stat -c %s "$raw") / 2))
    awk -v f="$f" '{ printf "span %s %.4f %.4f\n", f, $1 / 8000, $2 / 8000 }' "$work/$n.spans"
  } >"$work/$n.out"
  rm -f "$work/$n.raw" "$work/$n.spans"
}
export -f mask_one
# shellcheck disable=SC2016 # expanded by the inner shell
awk '{ printf "%d\t%s\n", NR, $0 }' "$work/files" |
  nice -n 10 xargs -d '\n' -P 2 -n 1 bash -c 'IFS=$'"'"'\t'"'"' read -r n f <<<"$1"; mask_one "$n" "$f"' _
find "$work" -name '*.out' -printf '%f\n' | sort -n | sed "s|^|$work/|" | xargs cat >"$work/all"
awk '$1 == "span" { print $2, $3, $4 }' "$work/all" >"$results/masked_spans.txt"

awk '
  $1 == "samples" { split($2, p, "/"); seconds[p[1]] += $3 / 8000; total += $3 / 8000; next }
  $1 == "span" { split($2, p, "/"); gone[p[1]] += $4 - $3; spans[p[1]]++; all += $4 - $3; n++ }
  END {
    print "| corpus | hours | spans | replaced (s) | share |"
    print "| --- | ---: | ---: | ---: | ---: |"
    m = 0
    for (c in seconds) names[++m] = c
    for (i = 1; i <= m; ++i) for (j = i + 1; j <= m; ++j) if (names[j] < names[i]) { t = names[i]; names[i] = names[j]; names[j] = t }
    for (i = 1; i <= m; ++i) {
      c = names[i]
      printf "| %s | %.2f | %d | %.2f | %.4f %% |\n", c, seconds[c] / 3600, spans[c], gone[c], 100 * gone[c] / seconds[c]
    }
    printf "| **total** | **%.2f** | **%d** | **%.2f** | **%.4f %%** |\n", total / 3600, n, all, 100 * all / total
  }' "$work/all"
echo "$results/masked_spans.txt" >&2
