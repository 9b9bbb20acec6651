#!/usr/bin/env bash
# End-to-end tests of the panel in a real window: ramulet-host-e2e.exe runs
# the stand-in host with Ramulet.dll in Wine's ActiveX container on a fresh
# Wine prefix and a private Xvfb display, and drives it through window
# messages; the driver is a GoogleTest program, whose tests are counted
# here one by one (a test that never finished counts as failed). Every
# Wine program runs with WINEDEBUG=+seh,+loaddll; a step whose output shows
# a fault of our code fails even when it exits 0 (the rule is in
# tests/win32/wine_faults.sh).
#
# With DISPLAY set the runs use that display (started once by the caller);
# without it the script starts a private Xvfb of its own.
#
#   tests/e2e/run.sh BUILD_DIR i686|x86_64 [SCREENSHOT.png]
#
# BUILD_DIR is a Windows build of the project (toolchain files in cmake/).
# With SCREENSHOT.png the screen is saved there while the panel shows the
# example module with a method chosen. Ends with "N passed, M failed"; exits
# non-zero when anything failed, 77 when this machine cannot run the
# architecture at all.
set -u

here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
if [ $# -lt 2 ]; then
  echo "usage: $0 BUILD_DIR i686|x86_64 [SCREENSHOT.png]" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
arch=$2
screenshot=${3:+$(realpath -m "$3")}
case "$arch" in
  i686) loader=/usr/lib/wine/wine ;;
  x86_64) loader=/usr/lib/wine/wine64 ;;
  *) echo "unknown architecture $arch" >&2; exit 2 ;;
esac

bin="$build/bin"
module="$repo/examples/sales_module.bsl"
passed=0
failed=0
summary() { echo "$passed passed, $failed failed"; }
check() {  # check NAME STATUS
  if [ "$2" -eq 0 ]; then passed=$((passed + 1)); echo "ok   $1"; else failed=$((failed + 1)); echo "FAIL $1"; fi
}

for file in Ramulet.dll ramulet-host-e2e.exe; do
  if [ ! -f "$bin/$file" ]; then
    echo "missing $bin/$file: build the project first"
    failed=1; summary; exit 1
  fi
done
if ! "$loader" --version > /dev/null 2>&1; then
  echo "this machine cannot run the $arch Wine loader ($loader); no test ran"
  summary
  exit 77
fi

# shellcheck source=tests/win32/wine_faults.sh
. "$here/../win32/wine_faults.sh"
# shellcheck source=tests/win32/gtest_results.sh
. "$here/../win32/gtest_results.sh"
our_images=("$bin/Ramulet.dll" "$bin/ramulet-host-e2e.exe")
# no_faults NAME STDERR_FILE: one check that the run showed no fault of ours.
no_faults() {
  local faults
  faults=$(wine_faults "$2" "${our_images[@]}")
  check "$1: no fault in our code" $?
  [ -z "$faults" ] || echo "$faults" | head -5
}

work=$(mktemp -d "/tmp/ramulet-e2e-$arch.XXXXXX")
xvfb=""
if [ -n "${DISPLAY:-}" ] && [ -e "/tmp/.X11-unix/X${DISPLAY#:}" ]; then
  display=${DISPLAY#:}
else
  display=""
  for n in $(seq 91 140); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=$n; break; fi
  done
  if [ -z "$display" ]; then echo "no free X display"; failed=1; summary; exit 1; fi
  Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp > "$work/xvfb.log" 2>&1 &
  xvfb=$!
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
fi
export WINEPREFIX="$work/prefix" WINEDEBUG=-all,+seh,+loaddll DISPLAY=":$display" WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
  /usr/lib/wine/wineserver -k > /dev/null 2>&1
  if [ -n "$xvfb" ]; then
    kill "$xvfb" > /dev/null 2>&1
    wait "$xvfb" 2> /dev/null
  fi
  rm -rf "$work"
}
trap cleanup EXIT

windows_path() { echo "Z:${1//\//\\}"; }

# Every Wine process of the run, the wineserver included (the first one
# starts it), stays on one processor. Each window, message box and paint
# is a chain of calls from the program to the wineserver and back; with
# the two on different processors of a virtual machine every call waits
# for the idle one to wake, and the timed refresh of the 10000-line module
# took 35-48 ms instead of 18-20 ms, depending on where the scheduler put
# them. The last processor this script may use is taken.
pin=()
if cpu=$(taskset -pc $$ 2> /dev/null | sed -E 's/.*: *//; s/.*[,-]//') && [ -n "$cpu" ]; then
  pin=(taskset -c "$cpu")
  echo "the Wine processes of this run share processor $cpu"
fi

timeout 120 "${pin[@]}" "$loader" wineboot -i > "$work/wineboot.log" 2>&1
check "a fresh Wine prefix starts" $?
# No window manager runs on the display: Wine draws the window frames.
"${pin[@]}" "$loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f > /dev/null 2>&1

cd "$bin" || exit 1
timeout 60 "${pin[@]}" "$loader" regsvr32 Ramulet.dll > "$work/regsvr32.log" 2> "$work/regsvr32.err"
grep -q "Successfully registered" "$work/regsvr32.log" "$work/regsvr32.err"
check "regsvr32 registers Ramulet.dll" $?
no_faults "regsvr32" "$work/regsvr32.err"

ready="$work/ready"
done_file="$work/done"
timeout 240 "${pin[@]}" "$loader" ramulet-host-e2e.exe "$(windows_path "$module")" "$(windows_path "$ready")" \
  "$(windows_path "$done_file")" > "$work/driver.log" 2> "$work/driver.err" &
driver=$!
for _ in $(seq 2400); do
  [ -e "$ready" ] && break
  kill -0 "$driver" 2> /dev/null || break
  sleep 0.1
done
if [ -n "$screenshot" ]; then
  if [ -e "$ready" ]; then
    geometry=$(tr -d '\r\n' < "$ready")
    import -window root -display ":$display" ${geometry:+-crop "$geometry"} "$screenshot" > /dev/null 2>&1
    [ -s "$screenshot" ]
    check "a screenshot of the panel is saved" $?
  else
    check "a screenshot of the panel is saved" 1
  fi
fi
touch "$done_file"
wait "$driver"
driver_status=$?
# The driver's GoogleTest output, one ok/FAIL line per test; what failed
# tests said follows.
gtest_results < "$work/driver.log" > "$work/driver.results"
while read -r result rest; do
  case "$result" in
    ok) passed=$((passed + 1)); echo "ok   ${rest#- }" ;;
    *) failed=$((failed + 1)); echo "FAIL ${rest#- }" ;;
  esac
done < "$work/driver.results"
driver_failed=$(grep -c '^FAIL' "$work/driver.results")
# Timings the driver measured (the large-module refresh through COM).
tr -d '\r' < "$work/driver.log" | grep '^time:' || true
[ "$driver_failed" -eq 0 ] || tr -d '\r' < "$work/driver.log" | grep -v -E '^\[ *(RUN|OK) *\]' | tail -60
[ -s "$work/driver.results" ] && [ "$driver_status" -eq 0 ]
check "the driver ran to its end and exited cleanly (status $driver_status)" $?
no_faults "the driver" "$work/driver.err"
summary
[ "$failed" -eq 0 ]
