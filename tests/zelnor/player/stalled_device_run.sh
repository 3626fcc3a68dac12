#!/usr/bin/env bash
# The device stops taking samples mid-dial (alsa_stalled.conf.in): the
# synchronous call must come back with ZELNOR_E_DEVICE within the dial's
# length + 3 s, and so must a call made while the player is stuck inside the
# driver; once the device takes samples again, a dial plays.
#   stalled_device_run.sh CAPTURE_DIR TOOL
set -uo pipefail
dir=$1 tool=$2
rm -rf "$dir/stalled" "$dir/sink.pid" "$dir/tool.out"
sink=""
stop_sink() { [ -n "$sink" ] && kill "$sink" 2>/dev/null; sink=""; }
trap stop_sink EXIT

# 4 s of tones, then 0.4 s tried 1.5 s into the stall, then 0.3 s after it.
wine "$tool" play sync 200 0123456789 sleep 1500 play sync 50 "#*DC" sleep 4000 \
  play sync 50 147 > "$dir/tool.out" &
run=$!
for _ in $(seq 300); do
  [ "$(grep -c result= "$dir/tool.out")" -ge 2 ] && break
  kill -0 "$run" 2>/dev/null || break
  sleep 0.1
done
sink=$(cat "$dir/sink.pid" 2>/dev/null)
stop_sink
wait "$run" || exit 1
cat "$dir/tool.out"

# Each stalled call's limit is its length + 3 s, with 0.5 s for a busy machine.
awk -F'[= ]' '
  { result[NR] = $2; ms[NR] = $4 }
  END {
    ok = NR == 3 && result[1] == 3 && ms[1] <= 7500 && result[2] == 3 && ms[2] <= 3900 && result[3] == 0
    if (!ok) print "expected: 3 within 7.5 s, 3 within 3.9 s, then 0" > "/dev/stderr"
    exit !ok
  }' "$dir/tool.out"
