#!/usr/bin/env bash
# Where a program's bytes come from: "<bytes> TAB <object>" for each object
# file its link map says went into it (debug sections aside), largest first.
# A section's line holds its address and size, or only its name when the
# name is long and the rest follows on the next line.
#   size_breakdown.sh <link map>
set -eu
map=$1
[ -r "$map" ] || { echo "cannot read the link map $map" >&2; exit 1; }
awk '
  function hex(s,   i, n) { n = 0; s = tolower(substr(s, 3)); for (i = 1; i <= length(s); i++) n = n * 16 + index("0123456789abcdef", substr(s, i, 1)) - 1; return n }
  # The object is the rest of the line: "dll stuff" is two words.
  function rest(line) { sub(/^ *[^ ]* +0x[0-9a-f]+ +0x[0-9a-f]+ +/, "", line); return line }
  function add(section, size, object) { if (section !~ /^\.debug/) bytes[object] += hex(size) }
  /^Linker script and memory map/ { on = 1; next }
  !on { next }
  /^ \.[^ ]+$/ { pending = $1; next }
  /^ \.[^ ]+ +0x[0-9a-f]+ +0x[0-9a-f]+ / { add($1, $3, rest($0)); pending = ""; next }
  /^ +0x[0-9a-f]+ +0x[0-9a-f]+ / && pending != "" { add(pending, $2, rest($0)); pending = ""; next }
  { pending = "" }
  END { for (o in bytes) if (bytes[o] > 0) print bytes[o] "\t" o }
' "$map" | sed 's|\t[^\t]*/|\t|' | sort -rn
