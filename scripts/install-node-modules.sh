#!/usr/bin/env bash
# Installs the browser tests' npm modules from the committed lock file when they are missing.
set -euo pipefail
here=$(cd "$(dirname "$0")/../tests/browser" && pwd)
[ -d "$here/node_modules/playwright-core" ] && [ -d "$here/node_modules/pix-utils" ] &&
  [ -d "$here/node_modules/selenium-webdriver" ] && exit 0
echo "Instalando os módulos npm dos testes de navegador..."
cd "$here"
npm ci --no-audit --no-fund
