#!/usr/bin/env bash
# Builds the program and starts it on the real display.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh release
exec build/viewer/Maruk_ROM_viewer "$@"
