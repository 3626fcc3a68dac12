#!/usr/bin/env bash
# Runs a command with ALSA's default device recording into files, then
# decodes the DTMF in what was played, in order, with multimon-ng.
#
#   capture_and_decode.sh [--match REGEX] [--silences MS,...] [--keep DIR] [--conf TEMPLATE]
#                         EXPECTED -- COMMAND [ARGS...]
#
# Passes when the decoded symbols equal EXPECTED (or match the extended
# REGEX with --match; EXPECTED is then only shown), and with --silences when
# the last capture's silences between tones are those, to the millisecond. Wine must already have a
# prefix whose audio driver is alsa (scripts/wine-env.sh); ALSA_CONFIG_PATH
# is set for the command only, from TEMPLATE (default alsa_capture.conf.in)
# with @CAPTURE_DIR@ filled in. Prints "decoded: ..." and the command's exit
# status must be 0.
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
match="" silences="" keep="" conf="$here/alsa_capture.conf.in"
while [ $# -gt 0 ]; do
  case "$1" in
    --match) match=$2; shift 2 ;;
    --silences) silences=$2; shift 2 ;;
    --keep) keep=$2; shift 2 ;;
    --conf) conf=$2; shift 2 ;;
    --) shift; break ;;
    *) expected=$1; shift ;;
  esac
done
[ -n "${expected+x}" ] && [ $# -gt 0 ] || { echo "usage: $0 [--match RE] [--keep DIR] [--conf TEMPLATE] EXPECTED -- COMMAND..." >&2; exit 2; }

dir=${keep:-$(mktemp -d /tmp/zelnor-capture.XXXXXX)}
mkdir -p "$dir" && rm -f "$dir"/capture-* "$dir"/decode.raw
[ -z "$keep" ] && trap 'rm -rf "$dir"' EXIT
sed "s|@CAPTURE_DIR@|$dir|g; s|@TEST_DIR@|$here|g" "$conf" > "$dir/asound.conf"

ALSA_CONFIG_PATH="$dir/asound.conf" "$@"
status=$?
# Now and then (about one exit in a few hundred here) Wine 8's loader itself
# dies of SIGSEGV while a process that has just closed its waveOut device
# tears down ALSA. That is Wine's, not the program's (an exception in
# Windows code ends with its own status), so such a run is made once more.
if [ "$status" -eq 139 ]; then
  echo "wine died of SIGSEGV at exit; running the command once more" >&2
  rm -f "$dir"/capture-*
  ALSA_CONFIG_PATH="$dir/asound.conf" "$@"
  status=$?
fi
[ "$status" -eq 0 ] || { echo "command failed with status $status" >&2; exit 1; }

decoded=""
# Oldest first: one file per opening of the device.
for file in $(ls -1tr "$dir"/capture-* 2>/dev/null); do
  IFS=- read -r _ rate channels bits <<<"$(basename "${file%%.raw*}")"
  sox -t raw -r "$rate" -c "$channels" -b "$bits" -e signed "$file" -t raw -r 22050 -c 1 -b 16 -e signed "$dir/decode.raw"
  decoded+=$(multimon-ng -q -a DTMF -t raw "$dir/decode.raw" 2>/dev/null | sed -n 's/^DTMF: \(.\)$/\1/p' | tr -d '\n')
done
echo "decoded: $decoded"
if [ -n "$match" ]; then
  [[ "$decoded" =~ $match ]] || { echo "expected a match for $match ($expected)" >&2; exit 1; }
else
  [ "$decoded" = "$expected" ] || { echo "expected: $expected" >&2; exit 1; }
fi
if [ -n "$silences" ]; then
  python3 "$here/find_tone_gaps.py" --silences "$silences" "$(ls -1t "$dir"/capture-* | head -1)" || exit 1
fi
