#!/usr/bin/env bash
# The C++ under src/ and tests/ is laid out as the checked-in .clang-format says: a change that
# is not fails here with the places clang-format would move (clang-format -i FILE mends them).
set -euo pipefail
top=${1:?usage: formatted.sh SOURCE_DIR}
cd "$top"
command -v clang-format >/dev/null || { echo "clang-format is not installed"; exit 1; }
files=$(find src tests fuzz bench -type f \( -name '*.cpp' -o -name '*.h' \) | sort)
if ! out=$(clang-format --dry-run --Werror $files 2>&1); then
  places=$(grep -E '(warning|error):' <<<"$out" || true)
  head -n 40 <<<"$places"
  echo "$(grep -c . <<<"$places") places differ from .clang-format"
  exit 1
fi
echo "$(printf '%s\n' $files | wc -l) files as .clang-format lays them out"
