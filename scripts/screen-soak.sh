#!/usr/bin/env bash
# Random input against the real program on a private Xvfb, through the X test extension
# (xdotool): clicks, double clicks, drags, right clicks, the wheel and keys on and around the
# main window. Afterwards the program must still be running, with its window, and idle.
#   scripts/screen-soak.sh [SEED] [EVENTS] [BUILD-DIR]     (default: 1, 500 events, build)
# The headless soak (tests/soak) is deterministic and checks every pixel; this one meets the
# X server and real timing instead. Needs Xvfb and xdotool (Debian packages xvfb and
# xdotool); exits 0 when the program came through, 1 when it did not.
set -euo pipefail
cd "$(dirname "$0")/.."
seed=${1:-1}
events=${2:-500}
build=${3:-build}
program=$build/viewer/Maruk_ROM_viewer
[[ -x $program ]] || { echo "screen-soak: $program is missing (bash scripts/setup.sh release)" >&2; exit 1; }
for p in Xvfb xdotool; do
  command -v "$p" >/dev/null || { echo "screen-soak: $p is not installed" >&2; exit 1; }
done

n=140
while [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
log=$(mktemp)
rom=$(mktemp)
head -c 2048 /dev/urandom >"$rom"
cleanup() {
  if [[ -n ${pid:-} ]]; then kill "$pid" 2>/dev/null || true; fi
  kill "$xvfb" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -f "$rom" "$log"
}
trap cleanup EXIT
for _ in $(seq 100); do [[ -S /tmp/.X11-unix/X$n ]] && break; sleep 0.05; done
export DISPLAY=":$n"

"$program" "$rom" >"$log" 2>&1 &
pid=$!
main_window() { xdotool search --name "Maruk timeline ROM viewer" 2>/dev/null | head -1 || true; }
for _ in $(seq 100); do [[ -n $(main_window) ]] && break; sleep 0.05; done

RANDOM=$seed
keys=(Tab space Return Up Down Left Right Home End)
failure=
for ((i = 1; i <= events; ++i)); do
  w=$(main_window)
  [[ -n $w ]] || { sleep 0.5; w=$(main_window); }
  [[ -n $w ]] || { failure="the main window is gone at event $i"; break; }
  eval "$(xdotool getwindowgeometry --shell "$w" 2>/dev/null || true)"
  x=$((X + RANDOM % (WIDTH + 40) - 20)); y=$((Y + RANDOM % (HEIGHT + 40) - 20))
  ((x < 0)) && x=0
  ((y < 0)) && y=0
  # Not on the title icon or the title buttons: closing the program there is no fault.
  if ((y < Y + 26 && (x < X + 26 || x > X + WIDTH - 70))); then y=$((Y + 30)); fi
  case $((RANDOM % 10)) in
    0 | 1 | 2) xdotool mousemove "$x" "$y" click 1 ;;
    3) xdotool mousemove "$x" "$y" click --repeat 2 --delay 60 1 ;;
    4) xdotool mousemove "$x" "$y" mousedown 1 mousemove $((x + RANDOM % 80 + 5)) $((y + RANDOM % 60 + 5)) mouseup 1 ;;
    5) xdotool mousemove "$x" "$y" click 3 ;;
    6) xdotool key Escape ;;
    7) xdotool key "${keys[RANDOM % ${#keys[@]}]}" ;;
    8) xdotool mousemove "$x" "$y" click $((4 + RANDOM % 2)) ;;
    9) xdotool mousemove "$x" "$y" ;;
  esac 2>/dev/null || true
  sleep "0.0$((RANDOM % 10))"
  kill -0 "$pid" 2>/dev/null || { failure="the program ended at event $i"; break; }
done

if [[ -z $failure ]]; then
  # Idle: less than 5 % of one CPU over two seconds once the input has stopped.
  sleep 1
  before=$(awk '{ print $14 + $15 }' "/proc/$pid/stat")
  sleep 2
  after=$(awk '{ print $14 + $15 }' "/proc/$pid/stat")
  ticks=$(getconf CLK_TCK)
  if (((after - before) * 100 > 2 * ticks * 5)); then failure="the program is busy after the input stopped"; fi
fi
if [[ -n $failure ]]; then
  echo "screen-soak: seed $seed: $failure"
  sed 's/^/  program: /' "$log" | head -20
  exit 1
fi
echo "screen-soak: seed $seed: $events events; the program is running, its window shown, and idle"
