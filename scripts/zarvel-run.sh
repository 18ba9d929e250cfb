#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds Zarvel and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DZARVEL_TESTS=OFF -DZARVEL_BENCH=OFF
cmake --build build --target zarvel
exec build/bin/zarvel "$@"
