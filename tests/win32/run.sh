#!/bin/bash
# Runs the Windows tests of Ramulet.dll under Wine in a fresh prefix.
#
#   tests/win32/run.sh BUILD_DIR i686|x86_64
#
# BUILD_DIR is a build folder configured with the matching toolchain file.
# Prints one "ok - ..." or "FAIL - ..." line per check (for the GoogleTest
# programs, per test) and, last, the line "N passed, M failed"; exits
# non-zero when anything failed.
#
# The control makes its (hidden) window when it is created, so the runs
# need a display: the caller's DISPLAY, or else a private Xvfb started
# here before the first Wine command.
set -u

if [ $# -ne 2 ]; then
  echo "usage: $0 BUILD_DIR i686|x86_64" >&2
  exit 2
fi
BUILD=$(cd "$1" && pwd) || exit 2
ARCH=$2
HERE=$(cd "$(dirname "$0")" && pwd)

case "$ARCH" in
  i686)
    WINE=${WINE:-wine}
    export WINEARCH=win32
    ;;
  x86_64)
    WINE=${WINE:-/usr/lib/wine/wine64}
    export WINEARCH=win64
    ;;
  *)
    echo "unknown architecture: $ARCH" >&2
    exit 2
    ;;
esac
OBJDUMP=${OBJDUMP:-$ARCH-w64-mingw32-objdump}
WINESERVER=${WINESERVER:-wineserver}
DLL=$BUILD/bin/Ramulet.dll

PASSED=0
FAILED=0
pass() { PASSED=$((PASSED + 1)); echo "ok - $1"; }
fail() { FAILED=$((FAILED + 1)); echo "FAIL - $1"; }
check() { if eval "$2"; then pass "$1"; else fail "$1"; fi; }

# --- the DLL as a file: exports and imports ---

check_binary() {
  local exports imports unexpected
  exports=$("$OBJDUMP" -p "$DLL" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
            sed -n 's/^\s*\[ *[0-9]*\] //p' | sort | tr '\n' ' ')
  check "exactly the four server exports, undecorated" \
    '[ "$exports" = "DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer " ]'
  imports=$("$OBJDUMP" -p "$DLL" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u | tr '\n' ' ')
  unexpected=$(echo "$imports" | tr ' ' '\n' |
               grep -v -x -E 'kernel32\.dll|user32\.dll|gdi32\.dll|comctl32\.dll|advapi32\.dll|ole32\.dll|oleaut32\.dll|msvcrt\.dll|' || true)
  check "imports system DLLs only ($imports)" '[ -z "$unexpected" ]'
  # The shipped DLL neither changes behaviour on the environment nor writes
  # files: it imports no function that could.
  local io
  io=$("$OBJDUMP" -p "$DLL" | grep -o -w -E 'GetEnvironmentVariable[AW]?|_?w?getenv(_s)?|CreateFile[AW2]?|WriteFile|fopen|_wfopen' |
       sort -u | tr '\n' ' ')
  check "reads no environment variable and writes no file (${io:-no such import})" '[ -z "$io" ]'
}

# --- programs and scripts under Wine ---

# shellcheck source=tests/win32/wine_faults.sh
. "$HERE/wine_faults.sh"
# shellcheck source=tests/win32/gtest_results.sh
. "$HERE/gtest_results.sh"

# Our modules: a fault at an address inside one of them is ours.
OUR_IMAGES=("$DLL" "$BUILD/tests/win32/server_test.exe" "$BUILD/tests/win32/host_com_test.exe"
            "$BUILD/tests/win32/lifecycle_test.exe" "$BUILD/tests/win32/boundary_test.exe")

# Runs a test program or script and counts its ok/FAIL lines (stdout only;
# Wine's debug output goes to stderr, which is searched for faults of our
# code, also after main returned). A GoogleTest program's output becomes
# one such line per test (gtest_results.sh); a script prints its own. A run
# that ends badly without reporting a failure, reports nothing, or shows a
# fault of ours, fails.
#
#   GTEST=PROGRAM run_counted NAME COMMAND...   a GoogleTest program
#   run_counted NAME COMMAND...                 a script with its own ok/FAIL lines
# The tests a GoogleTest program ran are noted in RAN_TESTS for
# check_every_test_ran.
run_counted() {
  local name=$1 out err lines faults status passed failed
  shift
  out=$(mktemp)
  err=$(mktemp)
  lines=$(mktemp)
  timeout 180 "$@" >"$out" 2>"$err"
  status=$?
  if [ -n "${GTEST:-}" ]; then
    gtest_results <"$out" >"$lines"
    sed -n "s/^\(ok\|FAIL\) - \([^ ]*\).*/$GTEST \2/p" "$lines" >>"$RAN_TESTS"
  else
    tr -d '\r' <"$out" | grep -E '^(ok|FAIL) - ' >"$lines"
  fi
  cat "$lines"
  passed=$(grep -c '^ok - ' "$lines")
  failed=$(grep -c '^FAIL - ' "$lines")
  PASSED=$((PASSED + passed))
  FAILED=$((FAILED + failed))
  # What the failures said, from the program's own output.
  if [ "$failed" -gt 0 ] && [ -n "${GTEST:-}" ]; then
    tr -d '\r' <"$out" | grep -v -E '^\[ *(RUN|OK) *\]' | tail -40
  fi
  if [ "$status" -ne 0 ] && [ "$failed" -eq 0 ]; then
    fail "$name ended with status $status"
    tr -d '\r' <"$out" | tail -5
  fi
  [ $((passed + failed)) -gt 0 ] || fail "$name reported no checks"
  if [ -n "${SENTINEL:-}" ] && ! tr -d '\r' <"$out" | grep -q -x "$SENTINEL"; then
    fail "$name did not run to its end"
    tr -d '\r' <"$out" | tail -5
  fi
  if faults=$(wine_faults "$err" "${OUR_IMAGES[@]}"); then
    pass "$name: no fault in our code"
  else
    fail "$name: a fault in our code"
    echo "$faults" | head -5
  fi
  rm -f "$out" "$err" "$lines"
}


# A program's tests are split over its run modes: each test it lists must
# have run in one of them, or a test added outside every mode would never
# run unnoticed.
check_every_test_ran() {
  local program=$1 listed missing
  listed=$(timeout 60 "$WINE" "C:\\ramulet\\$program.exe" --gtest_list_tests 2>/dev/null | tr -d '\r' |
           awk '/^[^ ]/ { suite = $1; next } /^  / { print suite $1 }')
  if [ -z "$listed" ]; then
    fail "$program lists its tests"
    return
  fi
  missing=$(echo "$listed" | while read -r test; do
    grep -q -x -F "$program $test" "$RAN_TESTS" || echo "$test"
  done)
  check "every test of $program ran in one of its modes${missing:+ (not: $(echo $missing))}" '[ -z "$missing" ]'
}

# regsvr32 with its exit status and a search of its output for faults.
checked_regsvr32() {
  local name=$1 err faults
  shift
  err=$(mktemp)
  if timeout 60 "$WINE" regsvr32 "$@" >/dev/null 2>"$err"; then pass "$name"; else fail "$name"; fi
  if faults=$(wine_faults "$err" "${OUR_IMAGES[@]}"); then
    pass "$name: no fault in our code"
  else
    fail "$name: a fault in our code"
    echo "$faults" | head -5
  fi
  rm -f "$err"
}

XVFB_PID=""
ensure_display() {
  local n
  if [ -n "${DISPLAY:-}" ] && [ -e "/tmp/.X11-unix/X${DISPLAY#:}" ]; then return 0; fi
  for n in $(seq 91 140); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
      Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
      XVFB_PID=$!
      for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
      export DISPLAY=":$n"
      return 0
    fi
  done
  return 1
}
stop_display() { if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null; wait "$XVFB_PID" 2>/dev/null; fi; }
trap stop_display EXIT

run_under_wine() {
  local prefix target reason
  if ! reason=$("$WINE" --version 2>&1); then
    fail "the $ARCH Wine loader ($WINE) cannot run here: $(echo "$reason" | tail -1)"
    return
  fi
  if ! ensure_display; then
    fail "no X display for the control's windows"
    return
  fi
  prefix=$(mktemp -d "/tmp/wine-ramulet-$ARCH.XXXXXX")
  export WINEPREFIX=$prefix WINEDEBUG=-all,+seh,+loaddll WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  timeout 120 "$WINE" wineboot -i >/dev/null 2>&1
  target=$prefix/drive_c/ramulet
  mkdir -p "$target"
  cp "$DLL" "$BUILD/plugin/com/config.tlb" "$BUILD/tests/win32/server_test.exe" \
     "$BUILD/tests/win32/host_com_test.exe" "$BUILD/tests/win32/lifecycle_test.exe" \
     "$BUILD/tests/win32/boundary_test.exe" "$HERE/automation.vbs" "$HERE/automation.js" "$target/"

  # The host's installation registers its type library.
  RAN_TESTS=$prefix/ran_tests
  : >"$RAN_TESTS"
  GTEST=server_test run_counted "host library registration" "$WINE" 'C:\ramulet\server_test.exe' register-host-library 'C:\ramulet\config.tlb'
  checked_regsvr32 "regsvr32 registers the DLL" /s 'C:\ramulet\Ramulet.dll'
  GTEST=server_test run_counted "server_test registered" "$WINE" 'C:\ramulet\server_test.exe' registered 'C:\ramulet\Ramulet.dll'
  GTEST=host_com_test run_counted "host_com_test" "$WINE" 'C:\ramulet\host_com_test.exe'
  GTEST=boundary_test run_counted "boundary_test" "$WINE" 'C:\ramulet\boundary_test.exe'
  local mode
  for mode in uninitialize keep-com keep-object two-threads; do
    GTEST=lifecycle_test run_counted "lifecycle_test $mode" "$WINE" 'C:\ramulet\lifecycle_test.exe' "$mode"
  done
  # Wine's cscript reads scripts as ANSI text: the Cyrillic name comes as an argument.
  SENTINEL="SCRIPT COMPLETE" run_counted "automation.vbs" "$WINE" cscript //nologo 'C:\ramulet\automation.vbs' "Первая"
  SENTINEL="SCRIPT COMPLETE" run_counted "automation.js" "$WINE" cscript //nologo 'C:\ramulet\automation.js'
  checked_regsvr32 "regsvr32 /u unregisters the DLL" /u /s 'C:\ramulet\Ramulet.dll'
  GTEST=server_test run_counted "server_test unregistered" "$WINE" 'C:\ramulet\server_test.exe' unregistered 'C:\ramulet\Ramulet.dll'
  check_every_test_ran server_test
  check_every_test_ran lifecycle_test

  "$WINESERVER" -k >/dev/null 2>&1
  rm -rf "$prefix"
}

if [ -f "$DLL" ]; then
  check_binary
  run_under_wine
else
  fail "no DLL at $DLL"
fi

echo "$PASSED passed, $FAILED failed"
[ "$FAILED" -eq 0 ]
