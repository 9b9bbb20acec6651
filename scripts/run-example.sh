#!/usr/bin/env bash
# Builds `ramulet` and runs it on the bundled example module.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh core
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DRAMULET_TESTS=OFF >/dev/null
cmake --build build/release --target ramulet -j"$(nproc)"
./build/release/cli/ramulet "${@:-examples/sales_module.bsl}"
