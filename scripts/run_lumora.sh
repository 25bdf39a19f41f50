#!/usr/bin/env bash
# Sets everything up, builds Lumora in Release and starts it.
#
# With a display, Lumora opens its 320 x 240 window and the keyboard stands in for the handheld's buttons
# (arrows, space, tab, return, Z, X, left control or caps lock end it). Without one, it runs on SDL's dummy
# video driver, a stand-in button file is pressed after about two seconds, and Lumora ends normally.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

bash "$top/scripts/setup.sh"
cmake -S "$top" -B "$top/build-release" -DCMAKE_BUILD_TYPE=Release -DKORVANE_TESTS=OFF -DKORVANE_BENCH=OFF >/dev/null
cmake --build "$top/build-release" -j"$(nproc)" --target lumora

lumora="$top/build-release/lumora"
if [[ -n "${DISPLAY:-}" && -z "${SDL_VIDEODRIVER:-}" ]]; then
  exec "$lumora" "$@"
fi

# Headless: a file stands in for /dev/GPIO; after two seconds it reads as the return button held.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
buttons="$work/gpio"
printf '\x00\x00\x00\x00' > "$buttons"
snapshot="$work/lumora-last-frame.png"
( sleep 2; printf '\x00\x01\x00\x00' | dd of="$buttons" conv=notrunc status=none ) &
echo "No display: running headless; the return button is pressed in about two seconds."
set +e
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}" KORVANE_GPIO="$buttons" \
  KORVANE_SNAPSHOT="$snapshot" "$lumora" "$@"
status=$?
set -e
wait
echo "Lumora ended with status $status."
if [[ -f "$snapshot" ]]; then
  kept="$top/build-release/lumora-last-frame.png"
  cp "$snapshot" "$kept"
  echo "Its last frame is saved in $kept"
fi
exit $status
