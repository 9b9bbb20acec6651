#!/usr/bin/env bash
# Whole-process timing of `ramulet --json --no-tree` against
# `grep -c -i процедура` on the same generated module (60,000 lines, about
# 3.5 MB, 2,000 methods, about 20,000 calls, comments and strings), both
# writing to a pipe, run in turns in one session. Prints the median, the
# spread (lowest and highest run, the machine's noise), the ratio of the
# medians, the processor time (user and system, median; coarse where the
# system counts in ticks) and the peak resident memory of each.
#   bash bench/side_by_side.sh [BUILD_DIR] [RUNS] [RAMULET]
# BUILD_DIR is a Release build with -DRAMULET_BENCH=ON (default
# build/release); RAMULET another ramulet binary to time (default the one
# in BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
runs=${2:-15}
ramulet=${3:-$build/cli/ramulet}
writer=$build/bench/write_module
for program in "$ramulet" "$writer"; do
  [ -x "$program" ] || { echo "side_by_side: $program is missing (build $build with -DRAMULET_BENCH=ON)" >&2; exit 1; }
done
module=$(mktemp --suffix=.bsl)
trap 'rm -f "$module"' EXIT
"$writer" --lines 60000 --methods 2000 --calls 17 --call-lines 0.75 --layers 3 --short 0.75 >"$module"

LC_ALL=C.UTF-8 python3 - "$module" "$runs" "$ramulet" <<'PY'
import os, statistics, subprocess, sys, time

module, runs, ramulet = sys.argv[1], int(sys.argv[2]), sys.argv[3]
commands = {
    "grep -c -i процедура": ["grep", "-c", "-i", "процедура", module],
    "ramulet --json --no-tree": [ramulet, "--json", "--no-tree", module],
}

def run(argv):
    """Wall time in ms and processor time in ms of one run, stdout to a pipe."""
    start = time.perf_counter()
    child = subprocess.Popen(argv, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    child.stdout.read()
    _, status, usage = os.wait4(child.pid, 0)
    elapsed = (time.perf_counter() - start) * 1000
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"side_by_side: {argv[0]} exited with {os.waitstatus_to_exitcode(status)}")
    return elapsed, (usage.ru_utime + usage.ru_stime) * 1000

def peak_rss(argv):
    """Peak resident memory in MB, measured by GNU time (a child forked from
    this script would report the script's own memory as its peak)."""
    try:
        done = subprocess.run(["/usr/bin/time", "-f", "%M", *argv], stdout=subprocess.DEVNULL,
                              stderr=subprocess.PIPE, text=True, check=True)
        return float(done.stderr.strip().splitlines()[-1]) / 1024
    except (OSError, subprocess.CalledProcessError, ValueError):
        return float("nan")

times = {name: [] for name in commands}
cpu = {name: [] for name in commands}
for name, argv in commands.items():
    run(argv)  # warm the file cache and the program
for _ in range(runs):
    for name, argv in commands.items():
        elapsed, processor = run(argv)
        times[name].append(elapsed)
        cpu[name].append(processor)
rss = {name: peak_rss(argv) for name, argv in commands.items()}

size = os.path.getsize(module)
print(f"module: {size / 1e6:.2f} MB, 60000 lines; {runs} runs each, in turns")
for name, samples in times.items():
    print(f"{name:26s} median {statistics.median(samples):7.2f} ms  (lowest {min(samples):6.2f}, "
          f"highest {max(samples):6.2f}); processor {statistics.median(cpu[name]):6.2f} ms; "
          f"peak RSS {rss[name]:6.1f} MB")
ratio = statistics.median(times["ramulet --json --no-tree"]) / statistics.median(times["grep -c -i процедура"])
print(f"ratio ramulet/grep: {ratio:.2f} (target at most 2, stretch 1.2)")
print(f"ramulet peak RSS limit (3 x file + 16 MB): {3 * size / 2**20 + 16:.1f} MB")
PY
