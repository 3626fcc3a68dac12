#!/usr/bin/env bash
# libzelnor.so exports its API and nothing else: the names in zelnor.map.
# usage: library_exports_test.sh LIBRARY MAP
set -euo pipefail
exported=$(nm -D --defined-only "$1" | awk '{print $3}' | sort)
api=$(sed -n 's/^ *\([A-Za-z]*\);$/\1/p' "$2" | sort)
if [ "$exported" != "$api" ]; then
  diff <(echo "$api") <(echo "$exported") || true
  echo "libzelnor.so exports differ from $2 (< API only, > library only)"
  exit 1
fi
