#!/usr/bin/env bash
# Installs what is needed, builds from scratch and runs every test: a normal build, the same
# tests under AddressSanitizer + UndefinedBehaviorSanitizer, the window and communication tests
# under ThreadSanitizer, a short run of every fuzzer, and the Debian package built from the
# normal build, installed, run and purged.
# ORVU_INCREMENTAL=1 keeps the build folders; ORVU_FUZZ_SECONDS sets each fuzzer's run.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/install-deps.sh

export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d /tmp/orvu-xdg.XXXXXX)}
chmod 700 "$XDG_RUNTIME_DIR"
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/tests/lsan.supp}
jobs=$(nproc)

if [ "${ORVU_INCREMENTAL:-0}" != 1 ]; then
  rm -rf build build-asan build-tsan build-fuzz
fi

echo "== build and test (RelWithDebInfo)"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --parallel "$jobs"
ctest --test-dir build --output-on-failure --parallel "$jobs" | tee build/ctest.log

echo "== Debian package: build, check, install, run, purge"
bash scripts/test-package.sh

echo "== build and test under AddressSanitizer + UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORVU_SANITIZE=ON -DORVU_BENCH=OFF >/dev/null
cmake --build build-asan --parallel "$jobs"
ctest --test-dir build-asan --output-on-failure --parallel "$jobs" | tee build-asan/ctest.log

echo "== build and test the threaded code under ThreadSanitizer (clang)"
# Any report fails the run. Qt itself is not instrumented; tests/tsan.supp says what of it is
# suppressed and why.
CC=clang CXX=clang++ cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVU_TSAN=ON -DORVU_BENCH=OFF >/dev/null
tsan_tests=(comm_tests commands_tests ui_tests)
cmake --build build-tsan --parallel "$jobs" --target "${tsan_tests[@]}"
tsan_passed=0
for t in "${tsan_tests[@]}"; do
  TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 ignore_noninstrumented_modules=1 suppressions=$root/tests/tsan.supp" \
    "build-tsan/$t" --gtest_brief=1 | tee "build-tsan/$t.log"
  n=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) test.*/\1/p' "build-tsan/$t.log" | tail -1)
  tsan_passed=$((tsan_passed + ${n:-0}))
done

echo "== fuzzers (libFuzzer, ASan + UBSan)"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVU_FUZZ=ON >/dev/null
cmake --build build-fuzz --parallel "$jobs"
seconds=${ORVU_FUZZ_SECONDS:-10}
fuzzed=0
for fuzzer in build-fuzz/fuzz_*; do
  [ -x "$fuzzer" ] || continue
  name=$(basename "$fuzzer")
  corpus=$(mktemp -d)
  seeds=()
  [ -d "tests/fuzz/corpus/$name" ] && seeds=("tests/fuzz/corpus/$name")
  echo "-- $name (${seconds}s)"
  "$fuzzer" -max_total_time="$seconds" -print_final_stats=0 "$corpus" "${seeds[@]}" 2>"$corpus.log" \
    || { tail -50 "$corpus.log"; echo "fuzzer $name found a fault"; exit 1; }
  fuzzed=$((fuzzed + 1))
  rm -rf "$corpus" "$corpus.log"
done
echo "fuzzers run: $fuzzed"

# Both ctest runs stop the script on a failure, so reaching this line means all passed.
ran=0
for log in build/ctest.log build-asan/ctest.log; do
  n=$(sed -n 's/.*tests passed, 0 tests failed out of \([0-9]*\).*/\1/p' "$log" | tail -1)
  ran=$((ran + ${n:-0}))
done
echo "tests: $((ran + tsan_passed + fuzzed)) passed, 0 failed"
