#!/usr/bin/env bash
# Builds Orvel for Linux, Linux with sanitizers and Windows (MinGW cross build), and the
# fuzz targets with clang, then runs every test of both Linux builds and each fuzz target
# for a few seconds. Works on a fresh Debian 12 machine: missing Debian packages are
# installed first. Every preset is built before any test runs, since the wine test
# preset (the linux build's tests labelled wine) checks build/windows/Orvel.scr and runs
# it under Wine.
set -euo pipefail
cd "$(dirname "$0")"

packages=(
  cmake make g++ pkg-config
  googletest libgtest-dev
  libgl-dev libegl-dev libgl1-mesa-dri libegl-mesa0 libpng-dev
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 icoutils xvfb
  xdotool x11-utils x11-apps netpbm libx11-dev libxfixes-dev libxft-dev fonts-dejavu-core libglx-dev libglx-mesa0
  libxml2-utils groff-base
  libwayland-dev libwayland-bin wayland-protocols sway grim wtype
  valgrind
  clang-14 libclang-rt-14-dev
)

tools/ensure-packages.sh "${packages[@]}"

werror=OFF
[ "${ORVEL_WERROR:-0}" = 1 ] && werror=ON
jobs=$(nproc 2>/dev/null || echo 2)

for preset in linux linux-asan windows fuzz; do
  echo "== configure and build: $preset"
  cmake --preset "$preset" -DORVEL_WERROR="$werror" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done

passed=0
failed=0
status=0
for preset in linux wine linux-asan fuzz; do
  echo "== test: $preset"
  log=$(mktemp)
  ctest --preset "$preset" -j "$jobs" 2>&1 | tee "$log" || status=1
  summary=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1 || true)
  rm -f "$log"
  if [ -z "$summary" ]; then
    echo "test.sh: ctest gave no summary for $preset" >&2
    status=1
    continue
  fi
  f=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$summary")
  t=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/' <<<"$summary")
  passed=$((passed + t - f))
  failed=$((failed + f))
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$status" -eq 0 ]
