#!/usr/bin/env bash
# Checks the built program's PE header: a 32-bit Intel GUI executable that
# needs nothing but Windows itself, hardened with ASLR and DEP.
#   check_pe.sh <objdump> <tovix.exe>
set -u
objdump=$1
exe=$2
headers=$("$objdump" -p "$exe") || { echo "FAIL: cannot read $exe"; exit 1; }
failures=0
expect() {
  if grep -Eq "$2" <<<"$headers"; then echo "ok: $1"; else echo "FAIL: $1"; failures=$((failures + 1)); fi
}
expect "PE32 (32-bit) image" '^Magic[[:space:]]+010b'
expect "Intel 386 machine" 'file format pei-i386'
expect "Windows GUI subsystem" '^Subsystem[[:space:]]+00000002'
expect "ASLR: dynamic base" '^[[:space:]]+DYNAMIC_BASE'
expect "DEP: NX compatible" '^[[:space:]]+NX_COMPAT'

# ASLR needs the relocations; no section may be both writable and executable.
sections=$("$objdump" -h "$exe")
if grep -Eq '^[[:space:]]+[0-9]+[[:space:]]+\.reloc[[:space:]]' <<<"$sections"; then
  echo "ok: relocations kept"
else
  echo "FAIL: no .reloc section"; failures=$((failures + 1))
fi
writable_code=$(awk '/^[[:space:]]+[0-9]+ /{name=$2; next} /CODE/ && !/READONLY/{print name}' <<<"$sections")
if [ -z "$writable_code" ]; then
  echo "ok: no writable code section"
else
  echo "FAIL: writable and executable: $writable_code"; failures=$((failures + 1))
fi

# Windows' own DLLs only: the C and C++ runtimes are linked in.
allowed='^(KERNEL32|USER32|GDI32|SHELL32|ADVAPI32|OLE32|COMCTL32|msvcrt)\.dll$'
imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")
echo "imports: $(tr '\n' ' ' <<<"$imports")"
while read -r dll; do
  [ -n "$dll" ] || continue
  if ! grep -Eiq "$allowed" <<<"$dll"; then echo "FAIL: imports $dll"; failures=$((failures + 1)); fi
done <<<"$imports"
echo "size: $(stat -c %s "$exe") bytes"
exit $((failures > 0))
