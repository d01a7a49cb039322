#!/usr/bin/env bash
# Installs what the project needs (Debian 12), builds everything and runs
# every test; then builds the logic's tests and the tools again with
# AddressSanitizer and UndefinedBehaviorSanitizer in <build-dir>-asan and
# runs them there. Usage: scripts/test.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

BUILD="${1:-build}"
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" -j "$(nproc)"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$BUILD" --output-on-failure -j "$(nproc)"

# The sanitizers' run: without Qt (the windows' tests ran above) and without
# benchmarks; -O1 and line tables only (-g1) keep the build short and the
# reports' lines right. The tools the tests start (velmora-batch,
# velmora-sql, velmora-demo) are built with the sanitizers too. Any report
# ends its process with a failure, leaks included.
ASAN_BUILD="${BUILD}-asan"
cmake -S . -B "$ASAN_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" \
  -DVELMORA_UI=OFF -DVELMORA_BENCH=OFF -DVELMORA_SANITIZE=ON >/dev/null
cmake --build "$ASAN_BUILD" -j "$(nproc)"
# faketime preloads its library ahead of the sanitizers' runtime, which
# would otherwise refuse to start.
export ASAN_OPTIONS="detect_leaks=1:strict_init_order=1:check_initialization_order=1:verify_asan_link_order=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# The kill harness tried every point above; here a sample of them.
export VELMORA_KILL_SWEEP=sparse
ctest --test-dir "$ASAN_BUILD" --output-on-failure -j "$(nproc)"
