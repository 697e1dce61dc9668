#!/usr/bin/env bash
# Rewrites every C++ file under src app tests bench tools in the committed .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
formatter=clang-format-14
command -v "$formatter" >/dev/null || { echo "$formatter não encontrado (scripts/install-packages.sh)" >&2; exit 2; }
find src app tests bench tools \( -name node_modules -o -name 'build*' \) -prune -o \
  -type f \( -name '*.cpp' -o -name '*.h' \) -print0 |
  xargs -0 -r -n 20 -P "$(nproc)" "$formatter" --style=file -i
