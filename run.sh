#!/usr/bin/env bash
# Builds Orvel and runs it. The windowed saver (X11 and Windows) is not built yet, so this
# runs the scene headlessly with the offline renderer and writes its frames as PNGs.
set -euo pipefail
cd "$(dirname "$0")"

packages=(cmake make g++ pkg-config libgl-dev libegl-dev libgl1-mesa-dri libegl-mesa0 libpng-dev)
tools/ensure-packages.sh "${packages[@]}"

cmake --preset linux -DORVEL_TESTS=OFF >/dev/null
cmake --build --preset linux -j "$(nproc 2>/dev/null || echo 2)" --target orvel-render
echo "run.sh: the windowed saver is not built yet; rendering 10 seconds of the scene to ./frames" >&2
build/linux/orvel-render --seconds 10 --every 30 --out frames "$@"
echo "run.sh: frames written to $(pwd)/frames" >&2
