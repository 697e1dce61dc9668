#!/usr/bin/env bash
# Sets up what is missing, builds, prepares the databases on first run and starts Korvante.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-packages.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)"
app=build/app
if [ ! -f "$app/CRF.XML" ] || [ ! -f "$app/ID_BASE.FDB" ]; then
  echo "Preparando os bancos de dados (primeira execução)..."
  "$app/Korvante_PREPARAR" instalar "$app"
fi
exec "$app/Korvante" "$@"
