#!/usr/bin/env bash
# Builds what the window needs (the three programs, cy.dat beside them, the
# message catalogue) and starts it; the tests and benchmarks are left to
# scripts/test.sh. Arguments go to the program (--data FILE).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)" --target tessaly tessaly-find tessaly-import tessaly_messages
exec build/bin/tessaly "$@"
