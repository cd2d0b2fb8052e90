#!/usr/bin/env bash
# Builds Orvel for Linux, Linux with sanitizers and Windows x64 and x86 (MinGW cross
# builds), and the fuzz targets with clang, makes the release packages, then runs every
# test of both Linux builds and each fuzz target for a few seconds. Works on a fresh
# Debian 12 machine: missing Debian packages are installed first. Every preset is built
# before any test runs, since the wine test preset (the linux build's tests labelled
# wine and windows) checks both Orvel.scr and runs them under Wine, and the package test
# preset checks the packages made from all three.
set -euo pipefail
cd "$(dirname "$0")"

packages=(
  cmake make g++ pkg-config
  googletest libgtest-dev
  libgl-dev libegl-dev libgl1-mesa-dri libegl-mesa0 libpng-dev
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  g++-mingw-w64-i686-win32 binutils-mingw-w64-i686
  wine wine64 icoutils xvfb
  xdotool x11-utils x11-apps netpbm libx11-dev libxfixes-dev libxft-dev fonts-dejavu-core libglx-dev libglx-mesa0
  libxml2-utils groff-base
  libwayland-dev libwayland-bin wayland-protocols sway grim wtype
  libdecor-0-dev libdecor-0-plugin-1-cairo weston mutter dbus-bin kwin-wayland wayland-utils
  valgrind
  dpkg-dev lintian mtools desktop-file-utils
  clang-14 libclang-rt-14-dev
  debootstrap
)

tools/ensure-packages.sh "${packages[@]}"

# The x86 build's Wine cases run 32-bit Wine in a 32-bit Debian root that is made once and
# kept outside the checkout, under qemu-i386 where the kernel cannot run 32-bit programs
# (tools/i386-root.sh). 32-bit Wine never goes on the machine itself: it would make
# `wine` choose its 32-bit loader and break the 64-bit cases.
echo "== 32-bit Wine root"
if ! no_32bit=$(tools/i386-root.sh setup); then
  no_32bit=${no_32bit:-tools/i386-root.sh setup failed}
fi

werror=OFF
[ "${ORVEL_WERROR:-0}" = 1 ] && werror=ON
jobs=$(nproc 2>/dev/null || echo 2)

for preset in linux linux-asan windows windows-x86 fuzz; do
  echo "== configure and build: $preset"
  cmake --preset "$preset" -DORVEL_WERROR="$werror" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done
echo "== release packages"
cmake --build --preset package -j "$jobs"

passed=0
failed=0
skipped=0
status=0
for preset in linux wine linux-asan fuzz package; do
  echo "== test: $preset"
  [ "$preset" = wine ] && [ -n "$no_32bit" ] && echo "test.sh: the x86 build's Wine cases (wine.x86.*) are skipped: $no_32bit"
  log=$(mktemp)
  ctest --preset "$preset" -j "$jobs" 2>&1 | tee "$log" || status=1
  summary=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1 || true)
  # ctest counts a skipped test among the passed ones and names it under "did not run".
  s=$(grep -cE '^[[:space:]]+[0-9]+ - .* \(Skipped\)$' "$log" || true)
  rm -f "$log"
  if [ -z "$summary" ]; then
    echo "test.sh: ctest gave no summary for $preset" >&2
    status=1
    continue
  fi
  f=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$summary")
  t=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/' <<<"$summary")
  passed=$((passed + t - f - s))
  failed=$((failed + f))
  skipped=$((skipped + s))
done

[ "$skipped" -eq 0 ] || echo "test.sh: $skipped tests skipped, each with its reason above"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$status" -eq 0 ]
