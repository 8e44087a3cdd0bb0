#!/usr/bin/env bash
# Start-up of the viewer against xmessage (a minimal X client, the floor for any program that
# opens a window), measured in the same run on a private Xvfb: the time from the fork to the
# first mapped window that shows a picture, and the resident memory at that moment.
#   bench/startup.sh [BUILD-DIR] [RUNS]      (default: build, 15 runs of each, alternated)
# Needs the release build (scripts/setup.sh release), Xvfb and xmessage (x11-apps).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-15}
probe=$build/bench/startup_probe
viewer=$build/viewer/Maruk_ROM_viewer
for f in "$probe" "$viewer"; do
  [[ -x $f ]] || { echo "startup.sh: $f is missing (bash scripts/setup.sh release)" >&2; exit 1; }
done
for p in Xvfb xmessage; do
  command -v "$p" >/dev/null || { echo "startup.sh: $p is not installed" >&2; exit 1; }
done

# A display number nobody uses.
n=120
while [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 100); do [[ -S /tmp/.X11-unix/X$n ]] && break; sleep 0.05; done
export DISPLAY=":$n"

results=$(mktemp)
trap 'kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null || true; rm -f "$results"' EXIT
# One unmeasured start of each first, so that both run from a warm file cache.
"$probe" "$viewer" >/dev/null
"$probe" xmessage "Maruk timeline ROM viewer" >/dev/null
for _ in $(seq "$runs"); do
  echo "viewer $("$probe" "$viewer")" >>"$results"
  echo "xmessage $("$probe" xmessage "Maruk timeline ROM viewer")" >>"$results"
done

median() {  # NAME COLUMN
  awk -v name="$1" -v col="$2" '$1 == name { print $col }' "$results" | sort -g |
    awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
vt=$(median viewer 2); vm=$(median viewer 3)
xt=$(median xmessage 2); xm=$(median xmessage 3)
echo "First painted window under Xvfb, median of $runs starts of each (alternated):"
awk -v t="$vt" -v m="$vm" 'BEGIN { printf "  Maruk_ROM_viewer  %6.1f ms   resident %5.1f MiB\n", t, m / 1024 }'
awk -v t="$xt" -v m="$xm" 'BEGIN { printf "  xmessage          %6.1f ms   resident %5.1f MiB\n", t, m / 1024 }'
awk -v a="$vt" -v b="$xt" 'BEGIN { printf "  ratio viewer / xmessage: %.2f\n", a / b }'
