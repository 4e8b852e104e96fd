#!/usr/bin/env bash
# Checks the built program: a 32-bit Intel GUI executable under 100 KB, at
# most 48 KiB without its resources, that needs nothing but Windows itself,
# built without exceptions, RTTI and unwind tables, and hardened with ASLR,
# DEP, NO_SEH, stack canaries and checked memory and string calls.
#   check_pe.sh <objdump> <tovix.exe> <tovix.map> <compile_commands.json>
# The map is the link map of that same tovix.exe; compile_commands.json
# holds the compile commands of every source in it.
set -u
objdump=$1
exe=$2
map=$3
commands=$4
headers=$("$objdump" -p "$exe") || { echo "FAIL: cannot read $exe"; exit 1; }
failures=0
pass() { echo "ok: $1"; }
fail() { echo "FAIL: $1"; failures=$((failures + 1)); }
expect() {
  if grep -Eq "$2" <<<"$headers"; then pass "$1"; else fail "$1"; fi
}
expect "PE32 (32-bit) image" '^Magic[[:space:]]+010b'
expect "Intel 386 machine" 'file format pei-i386'
expect "Windows GUI subsystem" '^Subsystem[[:space:]]+00000002'
# Windows 2000 (5.0) loads nothing that asks for a later version.
expect "subsystem version 4.x, which Windows 2000 and later load" '^MajorSubsystemVersion[[:space:]]+4$'
expect "ASLR: dynamic base" '^[[:space:]]+DYNAMIC_BASE'
expect "DEP: NX compatible" '^[[:space:]]+NX_COMPAT'
expect "NO_SEH: no structured exception handlers" '^[[:space:]]+NO_SEH'

# ASLR needs the relocations; no section may be both writable and executable.
sections=$("$objdump" -h "$exe")
if grep -Eq '^[[:space:]]+[0-9]+[[:space:]]+\.reloc[[:space:]]' <<<"$sections"; then
  pass "relocations kept"
else
  fail "no .reloc section"
fi
writable_code=$(awk '/^[[:space:]]+[0-9]+ /{name=$2; next} /CODE/ && !/READONLY/{print name}' <<<"$sections")
if [ -z "$writable_code" ]; then
  pass "no writable code section"
else
  fail "writable and executable: $writable_code"
fi

# Windows' own DLLs only: the C and C++ runtimes and libssp are linked in.
# Not OLE32 either: nothing of the program uses COM.
allowed='^(KERNEL32|USER32|GDI32|SHELL32|ADVAPI32|COMCTL32|msvcrt)\.dll$'
imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")
echo "imports: $(tr '\n' ' ' <<<"$imports")"
grep -qix 'KERNEL32.dll' <<<"$imports" || fail "no import table read: KERNEL32.dll missing"
while read -r dll; do
  [ -n "$dll" ] || continue
  if ! grep -Eiq "$allowed" <<<"$dll"; then fail "imports $dll"; fi
done <<<"$imports"

# What the program looks up when it runs, for the Windows versions that lack
# it, is never imported by name: Windows 2000 would refuse to load it.
late=$(python3 -c '
import pathlib, re, sys
text = "".join(p.read_text() for p in pathlib.Path(sys.argv[1]).rglob("*.cpp"))
print("\n".join(sorted(set(re.findall(r"systemFunction<.*?>\(\s*[^,()]+(?:\(\))?,\s*\"(\w+)\"\)", text, re.S)))))
' "$(dirname "$0")/../platform")
imported=$(awk '/^[[:space:]]+[0-9a-f]+[[:space:]]+[0-9]+[[:space:]]+[A-Za-z_][A-Za-z0-9_]*$/ { print $3 }' <<<"$headers")
bound=$(comm -12 <(sort <<<"$late") <(sort -u <<<"$imported"))
if [ -n "$late" ] && [ -z "$bound" ]; then
  pass "looked up at run time, imported by no name: $(tr '\n' ' ' <<<"$late")"
else
  fail "imported by name though looked up at run time: ${bound:-nothing found to look up}"
fi
grep -aq '<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true</dpiAware>' "$exe" &&
  grep -aq '<dpiAwareness xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">PerMonitorV2</dpiAwareness>' "$exe" &&
  pass "the manifest declares the system's DPI (Vista to 8.1) and each monitor's (Windows 10)" ||
  fail "the manifest lacks dpiAware true or dpiAwareness PerMonitorV2"

# NO_SEH stays true only while nothing registers a handler: on i386 that
# means linking a record into the chain at fs:0, or calling the C runtime's
# frame handlers.
code=$("$objdump" -d --no-show-raw-insn "$exe")
seh_frames=$(grep -Ec '%fs:0x0([^0-9a-fx]|$)' <<<"$code")
if [ "$seh_frames" -eq 0 ]; then
  pass "no code touches the SEH chain at fs:0"
else
  fail "$seh_frames instructions touch the SEH chain at fs:0"
fi
seh_imports=$(grep -Eio '[[:space:]](_+except_handler[0-9a-z_]*|__CxxFrameHandler[0-9]*|__C_specific_handler)$' <<<"$headers")
if [ -z "$seh_imports" ]; then
  pass "no exception handler routine imported"
else
  fail "imports exception handlers:$(tr '\n' ' ' <<<"$seh_imports")"
fi

# Stack protector. The shipped program is stripped, so its link map tells
# where the canary lives; the program's own code must then compare against
# it (GCC's canary check ends a function with `sub <canary>,%reg`, which the
# runtime's canary set-up never does) and call __stack_chk_fail.
symbol() {
  sed -nE "s/^[[:space:]]+0x0*([0-9a-f]+)[[:space:]]+_*_$1\$/\\1/p" "$map" 2>/dev/null | head -n 1
}
guard=$(symbol stack_chk_guard)
handler=$(symbol stack_chk_fail)
if [ -z "$guard" ] || [ -z "$handler" ]; then
  fail "stack protector: no canary or __stack_chk_fail in $map"
else
  checks=$(grep -Ec "(sub|xor|cmp)l?[[:space:]]+0x0*$guard,%e[a-z]{2}\$" <<<"$code")
  calls=$(grep -Ec "call[[:space:]]+(0x)?0*$handler( |\$)" <<<"$code")
  if [ "$checks" -gt 0 ] && [ "$calls" -gt 0 ]; then
    pass "stack protector: $checks canary checks, $calls calls to __stack_chk_fail"
  else
    fail "stack protector: $checks canary checks, $calls calls to __stack_chk_fail"
  fi
fi
# The program seeds its own canary: libssp's would load a cryptographic
# provider before main.
if grep -q 'libssp\.a(' "$map"; then
  fail "libssp is linked in: $(grep -o 'libssp\.a([^)]*)' "$map" | sort -u | tr '\n' ' ')"
else
  pass "stack protector: the program's own canary, nothing of libssp linked in"
fi

# Every source of the program, compiled with its own command: the compiler
# reports whether the strong stack protector is on, whether the C runtime
# headers check buffer sizes at level 2 (they do only in an optimized build)
# and that exceptions and RTTI are off.
# With today's code GCC proves every sized call fits and emits no *_chk
# call, so the image itself cannot show _FORTIFY_SOURCE.
# The compile commands of the program's sources only: with compile commands
# exported for all targets, the test drivers are listed too. For each, NUL
# terminated: its target, its directory, the number of its arguments and the
# arguments without "-o <object>", so that the compiler writes to its output.
program_sources() {
  python3 - "$commands" "$@" <<'PYTHON'
import json, re, shlex, sys

commands, targets = sys.argv[1], sys.argv[2:]
with open(commands) as file:
    entries = json.load(file)
owner = re.compile(r"CMakeFiles/(%s)\.dir/" % "|".join(map(re.escape, targets)))
for entry in entries:
    target = owner.search(entry["command"])
    if target:
        arguments = shlex.split(entry["command"])
        output = arguments.index("-o")
        del arguments[output:output + 2]
        fields = [target[1], entry["directory"], str(len(arguments))] + arguments
        sys.stdout.write("".join(field + "\0" for field in fields))
PYTHON
}
targets=(tovix_core tovix_win32 tovix)
sources=0
unhardened=()
declare -A listed=()
while IFS= read -r -d '' target && IFS= read -r -d '' directory && IFS= read -r -d '' count; do
  command=()
  for ((i = 0; i < count; i++)); do
    IFS= read -r -d '' argument
    command+=("$argument")
  done
  listed[$target]=1
  source=${command[-1]}
  sources=$((sources + 1))
  macros=$(cd "$directory" && "${command[@]}" -E -dM -include string.h 2>/dev/null)
  if ! grep -q '^#define __SSP_STRONG__ ' <<<"$macros"; then unhardened+=("$source: no -fstack-protector-strong"); fi
  if ! grep -qx '#define __MINGW_FORTIFY_LEVEL 2' <<<"$macros"; then unhardened+=("$source: not fortified at level 2"); fi
  if grep -q '^#define __cpp_exceptions ' <<<"$macros"; then unhardened+=("$source: built with exceptions"); fi
  if grep -q '^#define __GXX_RTTI ' <<<"$macros"; then unhardened+=("$source: built with RTTI"); fi
done < <(program_sources "${targets[@]}")
for target in "${targets[@]}"; do
  [ -n "${listed[$target]:-}" ] || unhardened+=("no sources of $target in $commands")
done
if [ "$sources" -gt 0 ] && [ ${#unhardened[@]} -eq 0 ]; then
  pass "all $sources sources: -fstack-protector-strong and _FORTIFY_SOURCE=2 in effect, no exceptions, no RTTI"
else
  fail "how the sources were built ($sources checked):"
  printf '  %s\n' "${unhardened[@]}"
fi

# Under 100 KB, so the runtimes linked in stay a fraction of the program.
# Past the limit, the link map names what grew. bench/run.sh judges the
# size by the same limit.
limit=$(<"$(dirname "$0")/size_limit")
size=$(stat -c %s "$exe")
if [ "$size" -lt "$limit" ]; then
  pass "size: $size bytes, under $limit"
else
  fail "size: $size bytes, not under $limit; the largest contributors:"
  bash "$(dirname "$0")/size_breakdown.sh" "$map" | head -n 10 | sed 's/^/  /'
fi
# The code and data alone, without the resources (icon, version, manifest),
# which grow with the icon and not with the program: at most 48 KiB. A
# section takes its size rounded up to the file alignment.
code_limit=49152
alignment=$(sed -nE 's/^FileAlignment[[:space:]]+([0-9a-fA-F]+)$/\1/p' <<<"$headers")
alignment=$((16#${alignment:-200}))
rsrc=$((16#$(awk '$2 == ".rsrc" { print $3 }' <<<"$sections" | grep . || echo 0)))
without_rsrc=$((size - (rsrc + alignment - 1) / alignment * alignment))
if [ "$without_rsrc" -le "$code_limit" ]; then
  pass "size without resources: $without_rsrc bytes, at most $code_limit"
else
  fail "size without resources: $without_rsrc bytes, over $code_limit; the largest contributors:"
  bash "$(dirname "$0")/size_breakdown.sh" "$map" | head -n 10 | sed 's/^/  /'
fi
# Nothing unwinds, so no unwind tables: what .eh_frame keeps is the C
# runtime start-up's own few bytes (cmake/discard_unwind_tables.ld). A
# stripped program's section names stop at eight characters.
eh_frame=$((16#$(awk '$2 ~ /^\.eh_fram/ { print $3 }' <<<"$sections" | grep . || echo 0)))
if [ "$eh_frame" -le 256 ]; then
  pass "unwind tables: $eh_frame bytes of .eh_frame, at most 256"
else
  fail "unwind tables: $eh_frame bytes of .eh_frame, over 256"
fi
exit $((failures > 0))
