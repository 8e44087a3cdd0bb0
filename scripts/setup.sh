#!/usr/bin/env bash
# Prepares a Debian 12 machine and builds the project.
#   scripts/setup.sh release   -> build/       (the program, optimised)
#   scripts/setup.sh test      -> build-test/  (tests under AddressSanitizer + UBSan)
# Installs missing Debian packages first (apt-get update only when something is missing).
# Quiet and quick when everything is already there.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=${1:-release}

packages=(
  build-essential cmake pkg-config
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libx11-dev libfreetype-dev libfontconfig-dev libjpeg-dev libpng-dev libxext-dev libxtst-dev
  libpixman-1-dev fonts-wine
  xvfb xdotool x11-apps
  desktop-file-utils appstream
  clang libclang-rt-dev
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=()
  [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

jobs=$(nproc 2>/dev/null || echo 2)
case "$mode" in
  release)
    dir=build
    flags=(-DCMAKE_BUILD_TYPE=Release -DMARUK_SANITIZE=OFF -DMARUK_TESTS=OFF -DMARUK_BENCH=ON)
    ;;
  test)
    dir=build-test
    flags=(-DCMAKE_BUILD_TYPE=Debug -DMARUK_SANITIZE=ON -DMARUK_TESTS=ON -DMARUK_BENCH=OFF)
    ;;
  *)
    echo "usage: scripts/setup.sh [release|test]" >&2
    exit 2
    ;;
esac

# A compiler cache, when the machine has one, makes a second checkout's first build quick.
if command -v ccache >/dev/null 2>&1; then
  flags+=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
if [[ ! -f "$dir/CMakeCache.txt" ]]; then
  cmake -S . -B "$dir" "${flags[@]}" >/dev/null
fi
# Progress lines are hidden; warnings and errors are shown, and a failed build fails here (pipefail).
cmake --build "$dir" -j "$jobs" 2>&1 | { grep -v -E '^\[ *[0-9]+%\]|^Consolidate compiler generated dependencies|^gmake|Built target' || true; }
