#!/usr/bin/env bash
# Builds the host unit tests and the Windows program, then runs every test:
# the unit tests natively and the end-to-end tests under Wine.
set -u
cd "$(dirname "$0")"
bash cmake/prerequisites.sh || exit 1

status=0
for preset in host windows; do
  if cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" -j "$(nproc)"; then
    ctest --preset "$preset" || status=1
  else
    status=1
  fi
done
exit $status
