#!/usr/bin/env bash
# The shipped binaries import only system DLLs (dtmf.exe zelnor.dll too),
# have ASLR and DEP on and leave out the C++ runtime's verbose terminate
# handler (and the demangler it needs); zelnor.dll exports PlayDTMF by its
# plain name. Each carries a version record naming itself, of its kind (DLL
# or application); all but Dialler.exe, whose record is fixed
# (resources_test checks it), give the project's version in both the fixed
# part and the strings.
#   binary_imports_test.sh OBJDUMP WINDRES PROJECT_VERSION FILE...
set -uo pipefail
export LC_ALL=C  # objdump translates its headings
objdump=$1 windres=$2 version=$3
shift 3
system='^(kernel32|user32|gdi32|comctl32|advapi32|msvcrt|winmm|shell32|ole32)\.dll$'
failed=0
fail() { echo "FAIL $*"; failed=1; }

IFS=. read -r major minor patch tweak <<<"$version"
fixed_version="${major:-0}, ${minor:-0}, ${patch:-0}, ${tweak:-0}"
text_version="${major:-0}.${minor:-0}.${patch:-0}.${tweak:-0}"

for path in "$@"; do
  file=$(basename "$path")
  headers=$("$objdump" -p "$path") || { echo "cannot read $file"; exit 1; }
  while read -r dll; do
    # dtmf.exe is zelnor.dll's front end, shipped beside it.
    [[ "${dll,,}" =~ $system || ( "$file" = dtmf.exe && "${dll,,}" = zelnor.dll ) ]] ||
      fail "$file imports $dll, not a system DLL"
  done < <(sed -n 's/^\s*DLL Name: //p' <<<"$headers")
  for flag in DYNAMIC_BASE NX_COMPAT; do
    grep -q "^\s*$flag$" <<<"$headers" || fail "$file lacks $flag"
  done
  if grep -q 'terminate called after throwing' "$path"; then
    fail "$file links the runtime's verbose terminate handler"
  fi
  echo "$file imports: $(sed -n 's/^\s*DLL Name: //p' <<<"$headers" | tr '\n' ' ')"

  record=$("$windres" -i "$path" -O rc 2>/dev/null | sed -n '/ VERSIONINFO$/,/^END$/p')
  [ -n "$record" ] || { fail "$file has no version record"; continue; }
  value() { sed -n "s/^ *VALUE \"$1\", \"\(.*\)\"$/\1/p" <<<"$record"; }
  case "$file" in *.dll) type=0x2 ;; *) type=0x1 ;; esac
  grep -q "^ FILETYPE $type$" <<<"$record" || fail "$file: FILETYPE is not $type"
  [ "$(value OriginalFilename)" = "$file" ] || fail "$file: OriginalFilename is '$(value OriginalFilename)'"
  [ "$file" = Dialler.exe ] && continue
  for key in FILEVERSION PRODUCTVERSION; do
    grep -q "^ $key $fixed_version$" <<<"$record" || fail "$file: $key is not $fixed_version"
  done
  for key in FileVersion ProductVersion; do
    [ "$(value $key)" = "$text_version" ] || fail "$file: $key is '$(value $key)', not $text_version"
  done
  [ -n "$(value FileDescription)" ] || fail "$file has no FileDescription"
done

for path in "$@"; do
  [ "$(basename "$path")" = zelnor.dll ] || continue
  exports=$("$objdump" -p "$path" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p')
  grep -qE '\] PlayDTMF$' <<<"$exports" || fail "zelnor.dll does not export PlayDTMF plainly"
done

[ $failed = 0 ] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
exit $failed
