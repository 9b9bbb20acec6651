#!/usr/bin/env bash
# Builds `ramulet` and runs it on the bundled example module.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh core
# A folder of its own: the full test run's Release build (build/release)
# must never pick up this cache, which builds no tests.
cmake -S . -B build/example -DCMAKE_BUILD_TYPE=Release -DRAMULET_TESTS=OFF >/dev/null
cmake --build build/example --target ramulet -j"$(nproc)"
./build/example/cli/ramulet "${@:-examples/sales_module.bsl}"
