#!/usr/bin/env bash
# Installs what building and testing Tovix needs on Debian 12, as root, and
# does nothing when all of it is there already.
set -eu
packages=(cmake make g++ libgtest-dev g++-mingw-w64-i686 binutils-mingw-w64-i686
  wine wine32:i386 xvfb x11-utils xdotool imagemagick nsis)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=
[ "$(id -u)" -eq 0 ] || sudo=sudo
echo "Installing: ${missing[*]}"
dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
$sudo apt-get update -q
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
