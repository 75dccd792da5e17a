#!/usr/bin/env bash
# Builds the tests that share state between threads (the frontends, the
# folder listings kept for case-blind paths, the copy worker with its
# progress window) with ThreadSanitizer and runs them;
# the screen frontend's tests run the programs built the same way.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${BUILD_DIR:-build-tsan}"
targets=(platform_path_test ui_test transfer_worker_test transfer_install_test transfer_copy_order_test)
# Only where libvterm is there (otherwise the target does not exist).
if pkg-config --exists vterm 2>/dev/null; then targets+=(screen_frontend_test); fi
cmake -S . -B "$build" -DORVIK_TSAN=ON
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1"
for t in "${targets[@]}"; do
  echo "== $t under ThreadSanitizer"
  "$build/tests/$t"
done
