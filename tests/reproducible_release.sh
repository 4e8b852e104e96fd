#!/usr/bin/env bash
# Builds the release of the committed tree twice, from two fresh clones in
# two folders, one after the other and with another time zone and umask the
# second time, and checks both give the same bytes and true checksums.
#   reproducible_release.sh <source tree> <work folder> <version>
set -eu
source=$1 work=$2 version=$3
commit=$(git -C "$source" rev-parse HEAD)
files=(tovix.exe "tovix-$version.zip" "tovix-$version-setup.exe" SHA256SUMS)

# A fresh clone and a fresh build folder: nothing left from an earlier run.
build() {
  rm -rf "$1"
  git clone -q --no-checkout "$source" "$1"
  git -C "$1" checkout -q --detach "$commit"
  (cd "$1" && cmake --preset windows >/dev/null && cmake --build --preset windows -j 2 --target release >/dev/null)
}
build "$work/first"
(umask 002 && TZ=Asia/Kolkata build "$work/second-copy")

status=0
for file in "${files[@]}"; do
  first=$work/first/build/win/release/$file second=$work/second-copy/build/win/release/$file
  if cmp -s "$first" "$second"; then
    echo "ok: $file is the same in both builds"
  else
    status=1
    echo "FAIL: $file differs; differing byte ranges (from 0):"
    cmp -l "$first" "$second" | awk '{ o = $1 - 1 } o != end + 1 { if (NR > 1) print "  " start "-" end; start = o } { end = o }
                                    END { if (NR) print "  " start "-" end }' | head -n 20
  fi
done
for folder in first second-copy; do
  (cd "$work/$folder/build/win/release" && sha256sum -c --strict SHA256SUMS) || status=1
done
[ "$(wc -l <"$work/first/build/win/release/SHA256SUMS")" -eq 3 ] || { echo "FAIL: SHA256SUMS lists not three files"; status=1; }
exit $status
