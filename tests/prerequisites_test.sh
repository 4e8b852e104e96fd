#!/usr/bin/env bash
# cmake/prerequisites.sh against a made-up apt folder, installing nothing:
# the bookworm-backports source it adds uses the machine's own archive
# address, and it tells an emulator is needed only from "Exec format error".
#   prerequisites_test.sh <prerequisites.sh>
set -u
script=$1
apt=$(mktemp -d)
trap 'rm -rf "$apt"' EXIT
export TOVIX_APT_DIR=$apt
# shellcheck disable=SC1090
. "$script"
set +e
sudo=
status=0
check() { if [ "$2" = "$3" ]; then echo "ok: $1"; else echo "FAIL: $1: got '$2', expected '$3'"; status=1; fi; }
backports_uris() {
  rm -rf "$apt" && mkdir -p "$apt/sources.list.d" && cat >"$apt/$1"
  add_backports 2>"$apt/error" && sed -n 's/^URIs: //p' "$apt/sources.list.d/bookworm-backports.sources"
}

check "a deb822 bookworm entry's mirror, past comments, security and disabled entries" "$(backports_uris sources.list.d/debian.sources <<'SOURCES'
Types: deb
URIs: http://mirror.example/debian-security
Suites: bookworm-security
Components: main

Types: deb
URIs: http://disabled.example/debian
Suites: bookworm
Enabled: no

Types: deb deb-src
# an old address
URIs: http://mirror.example:3142/debian http://second.example/debian
Suites: bookworm bookworm-updates
Components: main
SOURCES
)" "http://mirror.example:3142/debian"

check "a sources.list deb line's mirror, with options" "$(backports_uris sources.list <<'SOURCES'
# deb http://commented.example/debian bookworm main
deb-src http://source.example/debian bookworm main
deb [ arch=amd64 signed-by=/usr/share/keyrings/debian-archive-keyring.gpg ] http://proxy.example/debian bookworm main
SOURCES
)" "http://proxy.example/debian"

check "no bookworm source: nothing written" "$(backports_uris sources.list <<<'deb http://mirror.example/debian trixie main'; ls "$apt/sources.list.d")" ""
check "no bookworm source: the reason" "$(grep -c 'No Debian bookworm source' "$apt/error")" "1"

# A file the kernel cannot run, a program that runs, and one that fails.
printf '\0\0\0\0not a program' >"$apt/foreign" && chmod +x "$apt/foreign"
printf '#!/bin/sh\necho broken >&2\nexit 3\n' >"$apt/broken" && chmod +x "$apt/broken"
check "Exec format error: the kernel does not run it" "$(kernel_runs "$apt/foreign"; echo $?)" "1"
check "a program that runs" "$(kernel_runs /bin/true; echo $?)" "0"
check "any other failure ends the set-up, saying why" "$( (kernel_runs "$apt/broken") 2>&1; echo $?)" "$apt/broken does not start: broken
1"
exit $status
