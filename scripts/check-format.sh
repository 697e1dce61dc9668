#!/usr/bin/env bash
# Lists every C++ file under src app tests bench tools that differs from the committed .clang-format
# and fails when there is one. scripts/format.sh rewrites them.
set -euo pipefail
cd "$(dirname "$0")/.."
formatter=clang-format-14
command -v "$formatter" >/dev/null || { echo "$formatter não encontrado (scripts/install-packages.sh)" >&2; exit 2; }
status=0
report=$(find src app tests bench tools \( -name node_modules -o -name 'build*' \) -prune -o \
           -type f \( -name '*.cpp' -o -name '*.h' \) -print0 |
         xargs -0 -r "$formatter" --style=file --dry-run --Werror 2>&1) || status=$?
[ "$status" -eq 0 ] && exit 0
# The formatter names each drifting place as "file:line:col: error: code should be clang-formatted".
drifting=$(sed -n 's/^\(.*\):[0-9]*:[0-9]*: error: code should be clang-formatted.*/\1/p' <<<"$report" | sort -u)
if [ -z "$drifting" ]; then
  # Another complaint: an unreadable .clang-format, a file it cannot read.
  echo "$report" >&2
  exit 1
fi
echo "Arquivos fora do formato de .clang-format (corrija com scripts/format.sh):" >&2
echo "$drifting" >&2
exit 1
