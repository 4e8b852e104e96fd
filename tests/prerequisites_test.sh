#!/usr/bin/env bash
# cmake/prerequisites.sh against a made-up apt folder, installing nothing:
# the bookworm-backports source it adds uses the machine's own archive
# address, it tells an emulator is needed only from "Exec format error", and
# it rides out a mirror mid-sync.
#   prerequisites_test.sh <prerequisites.sh>
set -u
script=$1
apt=$(mktemp -d)
trap 'rm -rf "$apt"' EXIT
export TOVIX_APT_DIR=$apt TOVIX_APT_RETRY_PAUSE=0
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

# An apt-get whose update fails its first $APT_UPDATE_FAILS tries as on a mirror
# mid-sync, and whose install exits $APT_INSTALL_STATUS.
mkdir "$apt/bin" && PATH=$apt/bin:$PATH
cat >"$apt/bin/apt-get" <<'APT'
#!/bin/sh
if [ "$1" = update ]; then
  echo >>"$TOVIX_APT_DIR/updates"
  [ "$(wc -l <"$TOVIX_APT_DIR/updates")" -gt "$APT_UPDATE_FAILS" ] && exit 0
  echo "E: Failed to fetch http://mirror.example/debian/dists/bookworm/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress? [IP: 192.0.2.1 80]"
  echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
  exit 100
fi
echo >>"$TOVIX_APT_DIR/installs"
exit "$APT_INSTALL_STATUS"
APT
chmod +x "$apt/bin/apt-get"
# Prints apt_install's exit status, then how many updates and installs it ran.
installs() {
  : >"$apt/updates" && : >"$apt/installs"
  APT_UPDATE_FAILS=$1 APT_INSTALL_STATUS=$2 apt_install qemu-user >"$apt/output" 2>&1
  echo "$? $(wc -l <"$apt/updates") $(wc -l <"$apt/installs")"
}
check "an update failing twice is tried again, then the install goes on" "$(installs 2 0)" "0 3 1"
check "each failed update's output is shown" "$(grep -c 'Mirror sync in progress' "$apt/output")" "2"
check "an update that keeps failing, then an install that works" "$(installs 9 0)" "0 4 1"
check "an update that keeps failing, then an install that fails" "$(installs 9 100)" "1 4 1"
check "that failure names the index not fetched" "$(grep 'could not fetch' "$apt/output")" \
  "apt-get update could not fetch http://mirror.example/debian/dists/bookworm/main/binary-i386/Packages.xz: a mirror may be mid-sync, trying again later may help"
exit $status
