#!/usr/bin/env bash
# Numbers under src/ never go through the C library's locale: Qt hands the user's regional
# settings to it, and "%f", strtod and friends then write or read "5,2". Formatting and reading
# use std::to_chars / std::from_chars (common/number_text.h, common/value.h) instead. This check
# fails on any call or header that would bring the locale back in.
set -euo pipefail
src=${1:?usage: locale_free_numbers.sh SRC_DIR}

forbidden='\b(printf|fprintf|sprintf|snprintf|vprintf|vfprintf|vsprintf|vsnprintf|asprintf|scanf|sscanf|fscanf|strtod|strtof|strtold|strtol|strtoll|strtoul|strtoull|atof|atoi|atol|atoll|stod|stof|stold|stoi|stol|stoll|stoul|stoull|to_string|to_wstring|stringstream|ostringstream|istringstream|setprecision|put_money|get_money|strfmon|localeconv|nl_langinfo)\b|#include <(sstream|iomanip|clocale|locale)>|std::locale|"[^"]*%L[0-9]'

found=0
while IFS= read -r -d '' file; do
  # Comments may name what is forbidden; code may not.
  hits=$(sed -e 's://.*$::' "$file" | grep -nE "$forbidden" || true)
  if [ -n "$hits" ]; then
    printf '%s\n' "$hits" | sed "s|^|${file#"$src"/}:|"
    found=$((found + 1))
  fi
done < <(find "$src" -type f \( -name '*.cpp' -o -name '*.h' \) -print0)

if [ "$found" -gt 0 ]; then
  echo "locale-dependent number text in $found file(s): use common/number_text.h or common/value.h"
  echo "0 passed, 1 failed"
  exit 1
fi
echo "locale_free_numbers: 1 passed, 0 failed"
