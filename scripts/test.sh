#!/usr/bin/env bash
# Installs what the project needs, builds it twice (plain, and with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs every test in both builds. Ends with one summary line.
set -uo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh || { echo "0 passed, 1 failed"; exit 1; }
# Paths relative to the checkout let ccache reuse objects compiled in another clone.
export CCACHE_BASEDIR="$PWD"
jobs=$(nproc)
passed=0
failed=0
status=0

run_build() {  # run_build DIR [cmake options...]
  local dir=$1; shift
  echo "== building $dir"
  if ! cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >"$dir.configure.log" 2>&1; then
    cat "$dir.configure.log"; status=1; failed=$((failed + 1)); return
  fi
  if ! cmake --build "$dir" -j"$jobs" >"$dir.build.log" 2>&1; then
    tail -n 80 "$dir.build.log"; status=1; failed=$((failed + 1)); return
  fi
  echo "== testing $dir"
  ctest --test-dir "$dir" --output-on-failure -j"$jobs" --timeout 600 2>&1 | tee "$dir.test.log"
  local rc=${PIPESTATUS[0]}
  [ "$rc" -ne 0 ] && status=1
  local line total bad
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$dir.test.log" | tail -n 1)
  if [ -n "$line" ]; then
    bad=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$line")
    total=$(sed -E 's/.* tests failed out of ([0-9]+).*/\1/' <<<"$line")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
  elif [ "$rc" -ne 0 ]; then
    failed=$((failed + 1))
  fi
}

mkdir -p build
run_build build
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 run_build build-asan -DQV_SANITIZE=ON -DQV_BENCH=OFF

echo "== summary (plain and sanitizer builds)"
echo "${passed} passed, ${failed} failed"
exit $status
