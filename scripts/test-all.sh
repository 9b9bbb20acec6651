#!/usr/bin/env bash
# Builds everything and runs every test: the unit tests (Debug with the
# sanitizers, and Release), the fuzzers for a bounded time, a benchmark
# smoke run, then the Windows builds (32-bit first, then 64-bit) with their
# tests under Wine, the end-to-end tests under Xvfb and the installer
# package's tests.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=$(nproc)
fuzz_seconds=${RAMULET_FUZZ_SECONDS:-30}
passed=0
failed=0
failures=()
skipped=()

bash scripts/install-deps.sh all || exit 1

# Runs one step, echoing its output, and adds its counts to the totals. A
# step's counts come from its closing line ("N passed, M failed", or
# ctest's "... M tests failed out of N"); a step without one counts once.
step() {
  local name=$1
  shift
  echo "=== $name"
  local log
  log=$(mktemp)
  "$@" 2>&1 | tee "$log"
  local status=${PIPESTATUS[0]}
  local p f line
  line=$(grep -E '^([A-Za-z]+: )?[0-9]+ passed, [0-9]+ failed' "$log" | tail -n 1)
  if [ -n "$line" ]; then
    p=$(sed -E 's/^([A-Za-z]+: )?([0-9]+) passed.*/\2/' <<<"$line")
    f=$(sed -E 's/^([A-Za-z]+: )?[0-9]+ passed, ([0-9]+) failed.*/\2/' <<<"$line")
  elif line=$(grep -E 'tests failed out of [0-9]+' "$log" | tail -n 1) && [ -n "$line" ]; then
    local total
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
    f=$(sed -E 's/.* ([0-9]+) tests failed.*/\1/' <<<"$line")
    p=$((total - f))
  else
    p=$((status == 0 ? 1 : 0))
    f=$((status == 0 ? 0 : 1))
  fi
  if [ "$status" -ne 0 ] && [ "$f" -eq 0 ]; then f=1; fi
  passed=$((passed + p))
  failed=$((failed + f))
  [ "$status" -eq 0 ] || failures+=("$name")
  rm -f "$log"
}

configure_and_build() {
  local dir=$1
  shift
  cmake -S "$root" -B "$dir" "$@" >/dev/null && cmake --build "$dir" -j"$jobs"
}

configure_and_build_target() {
  local dir=$1 target=$2
  shift 2
  cmake -S "$root" -B "$dir" "$@" >/dev/null && cmake --build "$dir" -j"$jobs" --target "$target"
}

unit_tests() {
  local dir=$1
  shift
  # Tests are asked for explicitly, whatever an earlier cache in the folder
  # says, and a run that finds no test fails.
  configure_and_build "$dir" -DRAMULET_TESTS=ON "$@" &&
    (cd "$dir" && ctest -j"$jobs" --output-on-failure --timeout 300 --no-tests=error)
}

fuzz() {
  configure_and_build build/fuzz -DCMAKE_BUILD_TYPE=Debug -DRAMULET_FUZZ=ON -DRAMULET_TESTS=OFF \
    -DCMAKE_CXX_COMPILER=clang++ || return 1
  local target ran=0
  for target in build/fuzz/tests/fuzz/*_fuzz; do
    [ -x "$target" ] || continue
    ran=$((ran + 1))
    echo "fuzzing $(basename "$target") for ${fuzz_seconds}s"
    mkdir -p "build/fuzz/corpus/$(basename "$target")"
    "$target" -max_total_time="$fuzz_seconds" -timeout=10 -rss_limit_mb=4096 -print_final_stats=1 \
      "build/fuzz/corpus/$(basename "$target")" 2>&1 | tail -n 12 || return 1
  done
  if [ "$ran" -eq 0 ]; then
    echo "no fuzz target was built in build/fuzz"
    return 1
  fi
}

# The analysis shared by many threads, under ThreadSanitizer: only the one
# test program is built, the rest of the tree needs no such build.
thread_sanitizer() {
  configure_and_build_target build/tsan concurrent_analysis_test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRAMULET_TESTS=ON \
    -DRAMULET_TSAN=ON &&
    cmake --build build/tsan -j"$jobs" --target concurrent_load_test &&
    (cd build/tsan && TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure --timeout 600 --no-tests=error \
      -R '^ConcurrentAnalysis')
}

# Every output form of the command line, on the example and 600 random
# modules, byte for byte against the program as it was released before the
# analysis became one typed result (built from that commit's sources).
previous_release=c7a724d
outputs_unchanged() {
  local src=build/previous-src
  if ! git cat-file -e "$previous_release^{commit}" 2>/dev/null; then
    echo "outputs_unchanged: commit $previous_release is not in this clone; nothing to compare with"
    return 1
  fi
  rm -rf "$src" && mkdir -p "$src" && git archive "$previous_release" | tar -x -C "$src" &&
    cmake -S "$src" -B build/previous -DCMAKE_BUILD_TYPE=Release -DRAMULET_TESTS=OFF >/dev/null &&
    cmake --build build/previous -j"$jobs" --target ramulet >/dev/null &&
    python3 tests/compare/compare_outputs.py build/previous/cli/ramulet build/release/cli/ramulet \
      examples/sales_module.bsl --modules 600
}

benchmark_smoke() {
  local bench ran=0
  for bench in build/release/bench/*_bench; do
    [ -x "$bench" ] || continue
    # The whole-configuration benchmarks write 78 MB before they start;
    # their smoke runs take a configuration of 22 modules instead.
    local smoke=()
    case "$(basename "$bench")" in config_bench | lsp_workspace_bench | lsp_cross_bench) smoke=(--smoke) ;; esac
    "$bench" "${smoke[@]}" --benchmark_min_time=0.01 >/dev/null || { echo "benchmark $(basename "$bench") failed"; return 1; }
    ran=$((ran + 1))
  done
  if [ "$ran" -eq 0 ]; then
    echo "no benchmark was built in build/release"
    return 1
  fi
  echo "$ran benchmarks ran"
}

windows() {
  local arch=$1
  local dir=build/win-$arch
  configure_and_build "$dir" -DCMAKE_BUILD_TYPE=Release -DRAMULET_TESTS=ON \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$arch-w64-mingw32.cmake"
}

step "layers (no upward include)" python3 scripts/check-layers.py
step "unit tests (Debug, sanitizers)" unit_tests build/asan -DCMAKE_BUILD_TYPE=Debug -DRAMULET_SANITIZE=ON
step "unit tests (Release)" unit_tests build/release -DCMAKE_BUILD_TYPE=Release -DRAMULET_BENCH=ON
step "many threads on one analyzer (ThreadSanitizer)" thread_sanitizer
step "outputs unchanged since $previous_release" outputs_unchanged
step "benchmarks (smoke run)" benchmark_smoke
step "fuzzing" fuzz
step "static site in a browser" python3 tests/site/browser_test.py build/release/cli/ramulet build/site-test
# Wine runs 32-bit programs only where the kernel runs 32-bit code; some
# virtual machines boot with that switched off (ia32_emulation=off).
can_run() {
  case $1 in
    i686) /usr/lib/wine/wine --version >/dev/null 2>&1 ;;
    x86_64) /usr/lib/wine/wine64 --version >/dev/null 2>&1 ;;
  esac
}

# One virtual display for every Wine run, started before the first one:
# the control makes its (hidden) panel window when it is created, so even
# the server's tests need a display.
wine_display=""
start_wine_display() {
  [ -n "$wine_display" ] && return 0
  local n
  for n in $(seq 91 140); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
      Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
      wine_display=$!
      for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
      export DISPLAY=":$n"
      return 0
    fi
  done
  echo "no free X display" >&2
  return 1
}
stop_wine_display() {
  if [ -n "$wine_display" ]; then kill "$wine_display" 2>/dev/null; wait "$wine_display" 2>/dev/null; fi
}
trap stop_wine_display EXIT

for arch in i686 x86_64; do
  step "Windows build ($arch)" windows "$arch"
  if ! can_run "$arch"; then
    echo "=== Windows tests ($arch) skipped: this machine cannot run $arch programs under Wine" \
         "(the kernel refuses them: $(/usr/lib/wine/wine --version 2>&1 | head -n 1))"
    skipped+=("Windows tests ($arch)")
    continue
  fi
  if ! start_wine_display; then
    failures+=("virtual display for Wine ($arch)")
    failed=$((failed + 1))
    continue
  fi
  if [ -f tests/win32/run.sh ]; then
    step "COM server under Wine ($arch)" bash tests/win32/run.sh "build/win-$arch" "$arch"
  fi
  if [ -f tests/e2e/run.sh ]; then step "panel end to end ($arch)" bash tests/e2e/run.sh "build/win-$arch" "$arch"; fi
  # The installer package: install, use, upgrade, uninstall in fresh prefixes.
  if [ -f tests/msi/run.sh ]; then
    step "installer package under Wine ($arch)" bash tests/msi/run.sh "build/win-$arch" "$arch"
  fi
done

echo
if [ ${#skipped[@]} -gt 0 ]; then
  printf 'skipped: %s\n' "${skipped[@]}"
fi
if [ ${#failures[@]} -gt 0 ]; then
  printf 'failed step: %s\n' "${failures[@]}"
fi
echo "total: $passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ ${#failures[@]} -eq 0 ]
