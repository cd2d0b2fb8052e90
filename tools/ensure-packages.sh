#!/usr/bin/env bash
# Installs the Debian packages named as arguments that are not installed yet: directly as
# root, else through sudo; otherwise prints the exact apt-get line and fails.
set -euo pipefail

missing=()
for p in "$@"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

install=(apt-get install -y --no-install-recommends "${missing[@]}")
if [ "$(id -u)" -eq 0 ]; then
  apt-get update -q && DEBIAN_FRONTEND=noninteractive "${install[@]}"
elif command -v sudo >/dev/null 2>&1; then
  sudo apt-get update -q && sudo DEBIAN_FRONTEND=noninteractive "${install[@]}"
else
  echo "These Debian packages are missing; install them as root with:" >&2
  echo "  apt-get update && ${install[*]}" >&2
  exit 1
fi
