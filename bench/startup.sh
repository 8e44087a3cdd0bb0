#!/usr/bin/env bash
# Start-up of the viewer against xmessage (a minimal X client, the floor for any program that
# opens a window), measured in the same run on a private Xvfb: the time from the fork to the
# first mapped window that shows a picture, the time from that window's map to its picture,
# and the resident memory at that moment. The viewer's own marks (MARUK_STARTUP_TRACE) give
# the timeline of its start.
#   bench/startup.sh [BUILD-DIR] [RUNS]      (default: build, 15 runs of each, alternated)
# Exits 1 when a goal is missed: the viewer's picture within 1.3 x xmessage's time, at most
# 5 ms from map to picture, at most 14 MiB resident (medians). Timing on a shared machine
# varies: run it on a quiet one, and more than once.
# Needs the release build (scripts/setup.sh release), Xvfb and xmessage (x11-apps).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-15}
probe=$build/bench/startup_probe
timer=$build/bench/screen_timer
viewer=$build/viewer/Maruk_ROM_viewer
for f in "$probe" "$timer" "$viewer"; do
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
results=$(mktemp)
trace=$(mktemp)
trap 'kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null || true; rm -f "$results" "$trace"' EXIT
for _ in $(seq 100); do [[ -S /tmp/.X11-unix/X$n ]] && break; sleep 0.05; done
export DISPLAY=":$n"

# One unmeasured start of each first, so that both run from a warm file cache.
"$probe" "$viewer" >/dev/null
"$probe" xmessage "Maruk timeline ROM viewer" >/dev/null
# The second tool watches the screen where the viewer's window appears; xmessage is put there.
area=(192 107 640 269)
for _ in $(seq "$runs"); do
  "$probe" --trace "$trace" "$viewer" | awk 'NR == 1 { print "viewer", $0; next } { print }' >>"$results"
  echo "xmessage $("$probe" xmessage "Maruk timeline ROM viewer")" >>"$results"
  echo "viewer-screen $("$timer" "${area[@]}" "$viewer")" >>"$results"
  echo "xmessage-screen $("$timer" "${area[@]}" xmessage -geometry +192+107 "Maruk timeline ROM viewer")" >>"$results"
done

# Statistics of a column of numbers on standard input: median, lowest, highest.
stats() { sort -g | awk '{ v[NR] = $1 } END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; print m, v[1], v[NR] }'; }
column() { awk -v name="$1" -v col="$2" '$1 == name { print $col }' "$results" | stats; }
gaps() { awk -v name="$1" -v map="$2" '$1 == name { print $2 - $map }' "$results" | stats; }

read -r vt vtlo vthi < <(column viewer 2)
read -r vm _ _ < <(column viewer 3)
read -r vg vglo vghi < <(gaps viewer 4)
read -r xt xtlo xthi < <(column xmessage 2)
read -r xm _ _ < <(column xmessage 3)
read -r xg _ _ < <(gaps xmessage 4)
read -r st stlo sthi < <(column viewer-screen 2)
read -r sg _ _ < <(gaps viewer-screen 3)
read -r yt ytlo ythi < <(column xmessage-screen 2)
read -r yg _ _ < <(gaps xmessage-screen 3)

echo "First painted window under Xvfb, median (lowest to highest) of $runs starts of each, alternated:"
awk -v t="$vt" -v lo="$vtlo" -v hi="$vthi" -v g="$vg" -v m="$vm" 'BEGIN {
  printf "  Maruk_ROM_viewer  %6.1f ms (%5.1f to %5.1f)   map to picture %4.1f ms   resident %5.1f MiB\n", t, lo, hi, g, m / 1024 }'
awk -v t="$xt" -v lo="$xtlo" -v hi="$xthi" -v g="$xg" -v m="$xm" 'BEGIN {
  printf "  xmessage          %6.1f ms (%5.1f to %5.1f)   map to picture %4.1f ms   resident %5.1f MiB\n", t, lo, hi, g, m / 1024 }'
awk -v a="$vt" -v b="$xt" 'BEGIN { printf "  ratio viewer / xmessage: %.2f\n", a / b }'
echo "The same starts seen on the screen (rows of the screen read every 1 ms, map from the server's event):"
awk -v t="$st" -v lo="$stlo" -v hi="$sthi" -v g="$sg" 'BEGIN {
  printf "  Maruk_ROM_viewer  %6.1f ms (%5.1f to %5.1f)   map to picture %4.1f ms\n", t, lo, hi, g }'
awk -v t="$yt" -v lo="$ytlo" -v hi="$ythi" -v g="$yg" 'BEGIN {
  printf "  xmessage          %6.1f ms (%5.1f to %5.1f)   map to picture %4.1f ms\n", t, lo, hi, g }'
awk -v a="$st" -v b="$yt" 'BEGIN { printf "  ratio viewer / xmessage: %.2f\n", a / b }'

echo "The viewer's start, median time of each mark after the fork:"
awk '$1 == "mark" { what = $3; for (i = 4; i <= NF; i++) what = what " " $i; if (!(what in seen)) { seen[what] = 1; print what } }' "$results" |
  while IFS= read -r what; do
    read -r m _ _ < <(awk -v what="$what" '$1 == "mark" { w = $3; for (i = 4; i <= NF; i++) w = w " " $i; if (w == what) print $2 }' "$results" | stats)
    awk -v m="$m" -v what="$what" 'BEGIN { printf "  %6.1f ms  %s\n", m, what }'
  done

missed=$(awk -v vt="$vt" -v xt="$xt" -v vg="$vg" -v vm="$vm" -v st="$st" -v yt="$yt" -v sg="$sg" 'BEGIN {
  if (vt > 1.3 * xt || st > 1.3 * yt) print "  the picture came later than 1.3 x xmessage";
  if (vg > 5 || sg > 5) print "  more than 5 ms passed from map to picture";
  if (vm > 14 * 1024) print "  more than 14 MiB resident" }')
if [[ -n $missed ]]; then
  echo "Goals missed:"
  echo "$missed"
  exit 1
fi
echo "Goals met."
