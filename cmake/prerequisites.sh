#!/usr/bin/env bash
# Installs what building and testing Tovix needs on Debian 12, as root, and
# does nothing when all of it is there already.
set -eu
packages=(cmake make g++ libgtest-dev g++-mingw-w64-i686 binutils-mingw-w64-i686
  wine wine32:i386 wine64 fonts-wine xvfb x11-utils xdotool imagemagick openbox nsis)

sudo=
[ "$(id -u)" -eq 0 ] || sudo=sudo

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
  $sudo apt-get update -q
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Wine runs Tovix and the test drivers in 32-bit Linux processes. Some
# kernels (and virtual machines) cannot run 32-bit code: those processes then
# run under QEMU's i386 emulator instead. Wine needs MAP_FIXED_NOREPLACE,
# which QEMU learned after Debian 12's version 7.2; bookworm-backports has a
# newer one.
/usr/lib/wine/wine --version >/dev/null 2>&1 && exit 0
qemu=/usr/bin/qemu-i386
if ! dpkg --compare-versions "$(dpkg-query -W -f='${Version}' qemu-user 2>/dev/null || echo 0)" ge 1:8.1; then
  echo "This kernel cannot run 32-bit programs: installing QEMU's emulator from bookworm-backports"
  backports=/etc/apt/sources.list.d/bookworm-backports.sources
  [ -f "$backports" ] || $sudo tee "$backports" >/dev/null <<'SOURCES'
Types: deb
URIs: http://deb.debian.org/debian
Suites: bookworm-backports
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
  $sudo apt-get update -q
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends -t bookworm-backports qemu-user
fi
binfmt=/proc/sys/fs/binfmt_misc
[ -e "$binfmt/register" ] || $sudo mount -t binfmt_misc binfmt_misc "$binfmt"
[ -e "$binfmt/tovix-i386" ] && echo -1 | $sudo tee "$binfmt/tovix-i386" >/dev/null
# 32-bit Intel ELF executables and shared objects, handed to the emulator.
magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
echo ":tovix-i386:M::$magic:$mask:$qemu:F" | $sudo tee "$binfmt/register" >/dev/null
/usr/lib/wine/wine --version >/dev/null || { echo "32-bit programs still do not run"; exit 1; }
