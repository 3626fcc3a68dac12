#!/usr/bin/env bash
# Builds and runs every benchmark, then prints the sizes of the shipped
# binaries. Native figures come from the bench preset; the DLL's figures from
# a Windows build with benchmarks (build/windows-bench, so build/windows is
# left alone) run under Wine with ALSA's null device.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

echo "== synthesis (native, one core)"
cmake --preset bench >/dev/null
cmake --build --preset bench
for program in build/bench/bin/*_bench; do "$program"; done

echo
echo "== zelnor.dll under Wine"
cmake --preset windows -B build/windows-bench -DDIALLER_BENCH=ON >/dev/null
cmake --build build/windows-bench

WINE_ENV_FRESH=1
source scripts/wine-env.sh
alsa_conf=$(mktemp /tmp/zelnor-bench-alsa.XXXXXX)
cleanup() { wine_env_stop; rm -f "$alsa_conf"; }
trap cleanup EXIT
wine_env_start
# The null device throws the sound away (faster than real time).
printf 'pcm.!default {\n  type null\n}\n' > "$alsa_conf"
for program in build/windows-bench/bin/*_bench.exe; do
  (cd build/windows-bench/bin && ALSA_CONFIG_PATH="$alsa_conf" wine "$(basename "$program")")
done

echo
echo "== sizes"
for file in build/windows-bench/bin/Dialler.exe build/windows-bench/bin/zelnor.dll; do
  if [ -f "$file" ]; then
    printf '%-12s %8d bytes\n' "$(basename "$file")" "$(stat -c %s "$file")"
  else
    printf '%-12s not built\n' "$(basename "$file")"
  fi
done
