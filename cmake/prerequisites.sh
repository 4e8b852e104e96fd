#!/usr/bin/env bash
# Installs what building and testing Tovix needs on Debian 12, as root, and
# does nothing when all of it is there already.
set -eu
packages=(cmake make g++ libgtest-dev libwine-dev g++-mingw-w64-i686 binutils-mingw-w64-i686
  wine wine32:i386 wine64 fonts-wine xvfb x11-utils xdotool imagemagick openbox tint2 nsis zip clang-format)
# The apt configuration read and added to; tests give a copy.
apt_dir=${TOVIX_APT_DIR:-/etc/apt}
# Seconds between tries of apt-get update; tests give 0.
apt_retry_pause=${TOVIX_APT_RETRY_PAUSE:-5}

sudo=
[ "$(id -u)" -eq 0 ] || sudo=sudo

# Prints the archive addresses of the machine's own Debian bookworm sources,
# first the deb822 entries, then the one-line ones.
debian_archives() {
  local file
  for file in "$apt_dir"/sources.list.d/*.sources; do
    [ -f "$file" ] && awk 'BEGIN { RS = "" }
      { types = suites = uris = enabled = ""
        n = split($0, lines, "\n")
        for (i = 1; i <= n; i++) {
          if (lines[i] ~ /^#/) continue
          key = tolower(lines[i]); sub(/:.*/, "", key)
          value = lines[i]; sub(/^[^:]*:[ \t]*/, "", value); gsub(/[ \t]+/, " ", value)
          if (key == "types") types = value; else if (key == "suites") suites = value
          else if (key == "uris") uris = value; else if (key == "enabled") enabled = value
        }
        if (enabled != "no" && (" " types " ") ~ / deb / && (" " suites " ") ~ / bookworm / && split(uris, u, " "))
          print u[1] }' "$file"
  done
  for file in "$apt_dir"/sources.list "$apt_dir"/sources.list.d/*.list; do
    [ -f "$file" ] && awk '$1 == "deb" { i = 2; if ($i ~ /^\[/) { while ($i !~ /\]$/) i++; i++ }
                                           if ($(i + 1) == "bookworm") print $i }' "$file"
  done
}

# Adds bookworm-backports from the archive the machine already uses, so a
# local mirror or proxy keeps serving it.
add_backports() {
  local archive
  archive=$(debian_archives | head -n 1)
  if [ -z "$archive" ]; then
    echo "No Debian bookworm source in $apt_dir/sources.list.d/*.sources or $apt_dir/sources.list: cannot add bookworm-backports" >&2
    return 1
  fi
  $sudo tee "$apt_dir/sources.list.d/bookworm-backports.sources" >/dev/null <<SOURCES
Types: deb
URIs: $archive
Suites: bookworm-backports
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
}

# Whether the kernel runs the 32-bit program $1 (natively or through an
# emulator already registered): when it cannot, starting it fails with "Exec
# format error". Any other failure is not one an emulator mends.
kernel_runs() {
  local output
  output=$("$1" --version 2>&1) && return 0
  case $output in *"Exec format error"*) return 1 ;; esac
  echo "$1 does not start: $output" >&2
  exit 1
}

# Updates apt's indexes, then installs with apt-get install options "$@". A
# mirror mid-sync fails the update on some index ("Mirror sync in progress?"),
# so it is tried a few times; the install then goes ahead with the indexes apt
# has, and only if it fails too are the ones not fetched named. The update's
# output goes to a file, printed after each try, to find those in.
apt_install() {
  local log unfetched try=1 tries=4
  log=$(mktemp)
  while ! $sudo apt-get update -q >"$log" 2>&1 && [ "$try" -lt "$tries" ]; do
    cat "$log"
    echo "apt-get update failed (try $try of $tries): trying again in ${apt_retry_pause}s"
    sleep "$apt_retry_pause"
    try=$((try + 1))
  done
  cat "$log"
  unfetched=$(sed -n 's/.*Failed to fetch \([^ ]*\).*/\1/p' "$log" | paste -sd ' ')
  rm -f "$log"
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$@" && return 0
  [ -z "$unfetched" ] || echo "apt-get update could not fetch $unfetched: a mirror may be mid-sync, trying again later may help" >&2
  return 1
}

# Sourced by the tests for the functions above.
[ "${BASH_SOURCE[0]}" = "$0" ] || return 0

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
  apt_install "${missing[@]}"
fi

# Wine runs Tovix and the test drivers in 32-bit Linux processes. Some
# kernels (and virtual machines) cannot run 32-bit code: those processes then
# run under QEMU's i386 emulator instead. Wine needs MAP_FIXED_NOREPLACE,
# which QEMU learned after Debian 12's version 7.2; bookworm-backports has a
# newer one.
loader=/usr/lib/wine/wine
kernel_runs "$loader" && exit 0
echo "This kernel cannot run 32-bit programs: registering QEMU's i386 emulator for them"
qemu=/usr/bin/qemu-i386
if ! dpkg --compare-versions "$(dpkg-query -W -f='${Version}' qemu-user 2>/dev/null || echo 0)" ge 1:8.1; then
  echo "Installing QEMU's emulator from bookworm-backports"
  [ -f "$apt_dir/sources.list.d/bookworm-backports.sources" ] || add_backports
  apt_install -t bookworm-backports qemu-user
fi
binfmt=/proc/sys/fs/binfmt_misc
[ -e "$binfmt/register" ] || $sudo mount -t binfmt_misc binfmt_misc "$binfmt"
[ -e "$binfmt/tovix-i386" ] && echo -1 | $sudo tee "$binfmt/tovix-i386" >/dev/null
# 32-bit Intel ELF executables and shared objects, handed to the emulator.
magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
echo ":tovix-i386:M::$magic:$mask:$qemu:F" | $sudo tee "$binfmt/register" >/dev/null
"$loader" --version >/dev/null || { echo "32-bit programs still do not run"; exit 1; }
