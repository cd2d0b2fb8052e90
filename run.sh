#!/usr/bin/env bash
# Builds Orvel where needed and runs it. With an X display, runs the saver itself,
# build/run/orvel, with the switch given (default /s: full screen, until a key, a click
# or a mouse move). Without one, says so and renders a 5-second clip of the scene
# headlessly into ./frames instead. The build is the run preset's own, build/run, with
# no tests, so it never changes the settings of the builds test.sh makes.
set -euo pipefail
cd "$(dirname "$0")"

packages=(cmake make g++ pkg-config libgl-dev libglx-dev libegl-dev libgl1-mesa-dri libglx-mesa0 libegl-mesa0
  libpng-dev libx11-dev libxft-dev fonts-dejavu-core)
tools/ensure-packages.sh "${packages[@]}"

cmake --preset run >/dev/null
jobs=$(nproc 2>/dev/null || echo 2)

if [ -n "${DISPLAY:-}" ]; then
  cmake --build --preset run -j "$jobs" --target orvel
  [ $# -gt 0 ] || set -- /s
  exec build/run/orvel "$@"
fi

echo "run.sh: no X display (DISPLAY is not set); rendering a 5-second clip of the scene to ./frames instead" >&2
cmake --build --preset run -j "$jobs" --target orvel-render
build/run/orvel-render --seconds 5 --every 30 --out frames
echo "run.sh: frames written to $(pwd)/frames" >&2
