#!/usr/bin/env bash
# Builds the program and starts it on the real display.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh release
if [[ -x build/viewer/Maruk_ROM_viewer ]]; then
  exec build/viewer/Maruk_ROM_viewer "$@"
fi
echo "The viewer is not there yet: the build has only the platform layers so far."
