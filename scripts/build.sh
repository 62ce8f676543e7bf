#!/usr/bin/env bash
# Configures and builds the whole tree (native engine, tests, Winelib parts) into build/.
set -euo pipefail
cd "$(dirname "$0")/.."
export PATH="$PATH:/usr/lib/wine"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
