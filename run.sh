#!/usr/bin/env bash
# Builds Orvel and runs it.
set -euo pipefail
cd "$(dirname "$0")"
echo "run.sh: Orvel has no runnable saver yet; only the scene model is built so far." >&2
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$(nproc 2>/dev/null || echo 2)"
