#!/usr/bin/env bash
# The shipped binaries import only system DLLs, have ASLR and DEP on, and
# leave out the C++ runtime's verbose terminate handler (and the demangler it
# needs); zelnor.dll exports PlayDTMF by its plain name.
#   binary_imports_test.sh OBJDUMP BIN_DIR
set -uo pipefail
export LC_ALL=C  # objdump translates its headings
objdump=$1 bin=$2
system='^(kernel32|user32|gdi32|comctl32|advapi32|msvcrt|winmm|shell32|ole32)\.dll$'
failed=0

for file in Dialler.exe zelnor.dll; do
  headers=$("$objdump" -p "$bin/$file") || { echo "cannot read $file"; exit 1; }
  while read -r dll; do
    if ! [[ "${dll,,}" =~ $system ]]; then
      echo "FAIL $file imports $dll, not a system DLL"; failed=1
    fi
  done < <(sed -n 's/^\s*DLL Name: //p' <<<"$headers")
  for flag in DYNAMIC_BASE NX_COMPAT; do
    grep -q "^\s*$flag$" <<<"$headers" || { echo "FAIL $file lacks $flag"; failed=1; }
  done
  if grep -q 'terminate called after throwing' "$bin/$file"; then
    echo "FAIL $file links the runtime's verbose terminate handler"; failed=1
  fi
  echo "$file imports: $(sed -n 's/^\s*DLL Name: //p' <<<"$headers" | tr '\n' ' ')"
done

exports=$("$objdump" -p "$bin/zelnor.dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p')
grep -qE '\] PlayDTMF$' <<<"$exports" || { echo "FAIL zelnor.dll does not export PlayDTMF plainly"; failed=1; }

[ $failed = 0 ] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
exit $failed
