#!/usr/bin/env bash
# Checks that every C++ source and header reads as .clang-format says, and
# lists those that do not. In a git checkout the tracked files, elsewhere
# (an unpacked source archive) those in the source folders.
#   check_format.sh <source folder>
# CLANG_FORMAT names another clang-format; layouts differ between versions,
# and the sources follow Debian 12's, version 14.
set -u
root=$(cd "${1:-$(dirname "$0")/..}" && pwd -P) || exit 1
clang_format=${CLANG_FORMAT:-clang-format}
command -v "$clang_format" >/dev/null || { echo "FAIL: $clang_format not found (cmake/prerequisites.sh installs it)"; exit 1; }
[ -f "$root/.clang-format" ] || { echo "FAIL: no $root/.clang-format"; exit 1; }
# A .clang-format it cannot read would fail every file alike.
"$clang_format" --dump-config --assume-filename="$root/check.cpp" >/dev/null || { echo "FAIL: cannot read $root/.clang-format"; exit 1; }
cd "$root"

files=()
if [ "$(git rev-parse --show-toplevel 2>/dev/null)" = "$root" ]; then
  while IFS= read -r -d '' file; do
    # A file deleted in the working tree but not yet in git's index.
    [ -f "$file" ] && files+=("$file")
  done < <(git ls-files -z -- '*.cpp' '*.h')
else
  while IFS= read -r -d '' file; do files+=("${file#./}"); done < <(
    find app indicator tray launch platform tests bench -type f \( -name '*.cpp' -o -name '*.h' \) -print0 2>/dev/null | sort -z)
fi
[ ${#files[@]} -gt 0 ] || { echo "FAIL: no C++ files found under $root"; exit 1; }

unformatted=()
for file in "${files[@]}"; do
  output=$("$clang_format" --dry-run -Werror "$file" 2>&1) && continue
  unformatted+=("$file")
  # Anything but a layout difference (a file it cannot parse, say) is shown as is.
  grep -q 'Wclang-format-violations' <<<"$output" || echo "$output" | head -n 5
done
version=$("$clang_format" --version)
if [ ${#unformatted[@]} -eq 0 ]; then
  echo "ok: all ${#files[@]} C++ files formatted ($version)"
  exit 0
fi
echo "FAIL: ${#unformatted[@]} of ${#files[@]} C++ files not formatted as .clang-format says ($version):"
printf '  %s\n' "${unformatted[@]}"
echo "To format them: (cd $root && $clang_format -i <file>...)"
exit 1
