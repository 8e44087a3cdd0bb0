#!/usr/bin/env bash
# Builds every test suite under AddressSanitizer and UndefinedBehaviorSanitizer, then runs them all.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh test
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
cd build-test
ctest --output-on-failure -j "$(nproc 2>/dev/null || echo 2)"
