#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time
# (seconds per target, default 60; the targets to run may follow). New inputs collect in fuzz-out/; a crash
# leaves its input there too (crash-*).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
bash scripts/deps.sh clang libclang-rt-14-dev
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTESSALY_FUZZ=ON -DTESSALY_BUILD_TESTS=OFF -DTESSALY_BUILD_BENCH=OFF
targets=(fuzz_loader fuzz_import fuzz_search fuzz_url_encode fuzz_reply_screen fuzz_version)
# Further arguments name the targets to run; all of them by default.
if (($#)); then targets=("$@"); fi
cmake --build build-fuzz --target "${targets[@]}"
for t in "${targets[@]}"; do
  mkdir -p "fuzz-out/$t"
  echo "== $t: ${seconds}s"
  (cd "fuzz-out/$t" && "../../build-fuzz/bin/$t" -max_total_time="$seconds" -print_final_stats=1 \
     -rss_limit_mb=4096 . "../../fuzz/corpus/$t")
done
