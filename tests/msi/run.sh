#!/bin/bash
# Tests the Windows Installer package and the zip of Ramulet.dll under Wine,
# each part in a fresh prefix: what the package registers against what
# DllRegisterServer writes, install, use, uninstall, major upgrade, refused
# downgrade and same version, and the bad cases.
#
#   tests/msi/run.sh BUILD_DIR i686|x86_64
#
# BUILD_DIR is a Windows build folder (it made plugin/package/*.msi).
# Prints one "ok - ..." or "FAIL - ..." line per check and, last, the line
# "N passed, M failed"; exits non-zero when anything failed.
set -u

if [ $# -ne 2 ]; then
  echo "usage: $0 BUILD_DIR i686|x86_64" >&2
  exit 2
fi
BUILD=$(cd "$1" && pwd) || exit 2
ARCH=$2
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)

case "$ARCH" in
  i686) WINE=${WINE:-/usr/lib/wine/wine} WINEARCH=win32 PACKAGE_ARCH=x86 PLATFORM=win32 ;;
  x86_64) WINE=${WINE:-/usr/lib/wine/wine64} WINEARCH=win64 PACKAGE_ARCH=x64 PLATFORM=win64 ;;
  *) echo "unknown architecture: $ARCH" >&2; exit 2 ;;
esac
export WINEARCH
WINESERVER=${WINESERVER:-wineserver}
WINE64=${WINE64:-/usr/lib/wine/wine64}
VERSION=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD/CMakeCache.txt")
PACKAGES=$BUILD/plugin/package
NAME=Ramulet-$VERSION-$PACKAGE_ARCH
MSI=$PACKAGES/$NAME.msi
ZIP=$PACKAGES/$NAME.zip
DLL=$BUILD/bin/Ramulet.dll
STATE="python3 $HERE/registry_state.py"
INSTALL_DIR='C:\Program Files\Korvex\Ramulet'
WORK=$(mktemp -d /tmp/ramulet-msi.XXXXXX)
SEH_LOG=$WORK/seh.log
: >"$SEH_LOG"

PASSED=0
FAILED=0
pass() { PASSED=$((PASSED + 1)); echo "ok - $1"; }
fail() { FAILED=$((FAILED + 1)); echo "FAIL - $1"; }
check() { if eval "$2"; then pass "$1"; else fail "$1"; fi; }
# Shows a file's lines under a failed check.
show() { sed 's/^/    /' "$1" | head -n "${2:-40}"; }
# The same lines, or a failure showing the difference.
check_same() {
  if diff -u "$2" "$3" >"$WORK/diff" 2>&1; then pass "$1"; else fail "$1"; show "$WORK/diff"; fi
}

# --- the packages as files ---

msi_table() { msiinfo export "$1" "$2" | tr -d '\r' | tail -n +4; }

check_files() {
  check "$NAME.msi is built" '[ -f "$MSI" ]'
  check "$NAME.zip is built" '[ -f "$ZIP" ]'
  [ -f "$MSI" ] || return
  local version tables
  version=$(msi_table "$MSI" Property | sed -n 's/^ProductVersion\t//p')
  check "the package's version is the project version ($version)" '[ "$version" = "$VERSION" ]'
  local resource
  resource=$(python3 -c '
import struct, sys
data = open(sys.argv[1], "rb").read()
at = data.find(struct.pack("<I", 0xFEEF04BD))
ms, ls = struct.unpack("<II", data[at + 8:at + 16])
print("%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16))' "$DLL")
  check "the DLL's version resource says the same ($resource)" '[ "$resource" = "$VERSION" ]'
  tables=$(msiinfo tables "$MSI" | tr '\n' ' ')
  check "no self-registration: no SelfReg table, no custom actions" \
    '! grep -qw SelfReg <<<"$tables" && [ -z "$(msi_table "$MSI" CustomAction)" ]'
  check "the package installs per machine (ALLUSERS=1)" \
    'msi_table "$MSI" Property | grep -q -x -P "ALLUSERS\t1"'
  check "the same or a newer version is refused with a message" \
    'msi_table "$MSI" LaunchCondition | grep -q "same or a newer version of Ramulet"'
  [ -f "$ZIP" ] || return
  mkdir -p "$WORK/zip" && (cd "$WORK/zip" && unzip -q "$ZIP")
  check "the zip holds the DLL, readme.txt, register.cmd, unregister.cmd" \
    '[ "$(cd "$WORK/zip" && ls | tr "\n" " ")" = "Ramulet.dll readme.txt register.cmd unregister.cmd " ]'
  check "the zip's DLL is the built one" 'cmp -s "$WORK/zip/Ramulet.dll" "$DLL"'
  local file crlf=yes
  for file in readme.txt register.cmd unregister.cmd; do
    [ "$(grep -c $'\r$' "$WORK/zip/$file")" -eq "$(wc -l <"$WORK/zip/$file")" ] || crlf="no ($file)"
  done
  check "the text files end their lines with CRLF: $crlf" '[ "$crlf" = yes ]'
  check "the readme is in Russian and English" \
    'grep -q "Как удалить" "$WORK/zip/readme.txt" && grep -q "How to remove it" "$WORK/zip/readme.txt"'
}

# The comparison leaves out a key only when it was empty before: a key that
# held a value or a subkey, and every value, still count when gone.
check_comparison() {
  printf 'K\ta\nK\ta\\b\nK\ta\\b\\c\nK\ta\\d\nV\ta\\d\tx\t1\nK\te\nK\tf\nV\tf\ty\t2\n' >"$WORK/state1"
  printf 'K\ta\nK\ta\\d\nV\ta\\d\tx\t1\n' >"$WORK/state2"
  printf -- '- K\ta\\b\n- K\tf\n- V\tf\ty\t2\n' >"$WORK/expected"
  $STATE added "$WORK/state1" "$WORK/state2" --without-emptied >"$WORK/compared"
  check_same "the registry comparison leaves out only keys that were empty before" "$WORK/expected" "$WORK/compared"
}

# --- Wine ---

# A fresh prefix for each part, under /root/.wine-msi-* as the others are.
PREFIXES=()
new_prefix() {
  [ ${#PREFIXES[@]} -eq 0 ] || "$WINESERVER" -k >/dev/null 2>&1
  WINEPREFIX=$(mktemp -d "${HOME:-/root}/.wine-msi-$ARCH-$1.XXXXXX")
  export WINEPREFIX WINEDEBUG=+seh WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  PREFIXES+=("$WINEPREFIX")
  timeout 180 "$WINE" wineboot -i >/dev/null 2>>"$WORK/boot.log"
  settle
}
drop_prefix() {
  "$WINESERVER" -k >/dev/null 2>&1
  chattr -R -i "$WINEPREFIX" 2>/dev/null
  rm -rf "$WINEPREFIX"
}
# Waits for the prefix's programs and server to end, so the registry is on disk.
settle() { "$WINESERVER" -w; }
snapshot() { settle; $STATE snapshot "$WINEPREFIX" "$WORK/$1"; }
# What changed from the state `$1` to the state `$2` (options after them).
changes() { local from=$1 to=$2; shift 2; $STATE added "$WORK/$from" "$WORK/$to" "$@"; }
unix_path() { echo "$WINEPREFIX/drive_c/${1#C:\\}" | tr '\\' '/'; }

# Runs a Wine program, its exception trace added to the run's SEH log; sets
# STATUS. Windows Installer's codes (1603, 1605, ...) reach us modulo 256.
run_wine() {
  timeout 300 "$WINE" "$@" >"$WORK/out" 2>"$WORK/err"
  STATUS=$?
  grep -a 'seh' "$WORK/err" | sed "s|^|$1: |" >>"$SEH_LOG"
  settle
}
# Runs a .cmd file from its folder, as a double click does (cmd /c strips
# the quotes of a path holding parentheses, "Program Files (x86)").
run_cmd() {
  pushd "$(unix_path "$1")" >/dev/null || return
  run_wine cmd /c "$2"
  popd >/dev/null || return
}
status_is() { [ "$STATUS" -eq $(($1 % 256)) ]; }
msiexec() {
  local action=$1 package=$2
  run_wine msiexec "$action" "Z:$(echo "$package" | tr '/' '\\')" /qn /l*v 'C:\msiexec.log'
}
run_script() {
  timeout 120 "$WINE" "${CSCRIPT:-cscript}" //nologo 'C:\create.js' "$@" >"$WORK/out" 2>"$WORK/err"
  local status=$? lines
  grep -a 'seh' "$WORK/err" | sed "s|^|cscript create.js $*: |" >>"$SEH_LOG"
  lines=$(tr -d '\r' <"$WORK/out" | grep -E '^(ok|FAIL) - ')
  [ -n "$lines" ] && echo "$lines"
  PASSED=$((PASSED + $(grep -c '^ok - ' <<<"$lines")))
  FAILED=$((FAILED + $(grep -c '^FAIL - ' <<<"$lines")))
  tr -d '\r' <"$WORK/out" | grep -q -x "SCRIPT COMPLETE" && [ "$status" -eq 0 ] ||
    { fail "create.js $* did not run to its end (status $status)"; tr -d '\r' <"$WORK/out" "$WORK/err" | tail -5; }
  settle
}

# Compares the state `$1` with the state "before": no key or value of ours,
# none taken that was not ours, and no value in the installer's record of
# products (Wine's installer leaves its emptied container keys behind). A
# key that was empty before and is gone is Wine's bookkeeping, not ours: a
# 64-bit prefix whose 32-bit half never ran (a kernel that refuses 32-bit
# programs) has an empty software\classes\wow6432node\interface, which
# Wine deletes with the last interface key of the package under it.
check_nothing_left() {
  changes before "$1" --without-installer --without-emptied >"$WORK/left"
  check_same "no key or value of ours is left, none taken that was not ours" /dev/null "$WORK/left"
  changes before "$1" --without-emptied | grep -v '^+ K' >"$WORK/left"
  check_same "the installer keeps no record of the product" /dev/null "$WORK/left"
}

# The lines the package's Registry rows add to the state in `$1`, the DLL in `$2`.
package_rows() {
  msiinfo export "$MSI" Registry >"$WORK/Registry.idt"
  msiinfo export "$MSI" Component >"$WORK/Component.idt"
  $STATE rows "$WORK/Registry.idt" "$WORK/Component.idt" "$WORK/$1" "$PLATFORM" \
    "#RamuletDll=$2\\Ramulet.dll" "INSTALLFOLDER=$2\\"
}
product_entries() {
  grep -a -i -P "^V\t.*\\\\uninstall\\\\[^\t]*\tDisplayName\tRamulet$" "$WORK/$1" | wc -l
}
product_version() {
  local key
  key=$(grep -a -i -P "^V\t.*\\\\uninstall\\\\[^\t]*\tDisplayName\tRamulet$" "$WORK/$1" | cut -f2 | head -n 1)
  grep -a -F "V	$key	DisplayVersion	" "$WORK/$1" | cut -f4
}

# Another package of the same DLL with the version `$1`, as the build makes it.
other_package() {
  cmake -DVERSION="$1" -DARCH=$PACKAGE_ARCH -DDLL="$DLL" -DOUTPUT_DIR="$WORK/$2" -DWIXL="$(command -v wixl)" \
    -P "$ROOT/plugin/package/make_package.cmake" >"$WORK/make.log" 2>&1 || show "$WORK/make.log"
  echo "$WORK/$2/Ramulet-$1-$PACKAGE_ARCH.msi"
}
lower_version() {
  python3 -c 'import sys
m, n, p = map(int, sys.argv[1].split("."))
print("%d.%d.%d" % ((m, n, p - 1) if p else (m, n - 1, 0) if n else (m - 1, 9, 0)))' "$1"
}

# The zip's register.cmd (regsvr32, so DllRegisterServer) writes exactly the
# package's rows; unregister.cmd takes them all away.
part_registration() {
  new_prefix registration
  local folder='C:\Program Files\Korvex\Ramulet'
  mkdir -p "$(unix_path "$folder")"
  cp "$WORK/zip/"* "$(unix_path "$folder")/"
  snapshot before
  run_cmd "$folder" register.cmd
  check "register.cmd from the zip registers the DLL (status $STATUS)" \
    '[ "$STATUS" -eq 0 ] && tr -d "\r" <"$WORK/out" | grep -q "is registered"'
  snapshot registered
  changes before registered >"$WORK/by_server"
  package_rows before "$folder" >"$WORK/by_package"
  check_same "the package's Registry rows are what DllRegisterServer writes, key by key, value by value" \
    "$WORK/by_server" "$WORK/by_package"
  check "... which are $(grep -c . "$WORK/by_package") lines, among them InprocServer32, MiscStatus, ToolboxBitmap32, TypeLib" \
    'grep -q -i "inprocserver32	ThreadingModel	Apartment" "$WORK/by_package" && grep -q "	164241$" "$WORK/by_package" &&
     grep -q -i "toolboxbitmap32		.*,30000$" "$WORK/by_package" && grep -q -i "typelib\\\\{.*\\\\$PLATFORM	" "$WORK/by_package"'
  run_cmd "$folder" unregister.cmd
  check "unregister.cmd removes the registration (status $STATUS)" '[ "$STATUS" -eq 0 ]'
  snapshot unregistered
  changes before unregistered >"$WORK/left"
  check_same "... and leaves nothing of it behind" /dev/null "$WORK/left"
  drop_prefix
}

# Install, use, uninstall.
part_install() {
  new_prefix install
  local dll korvex
  dll=$(unix_path "$INSTALL_DIR\\Ramulet.dll")
  cp "$HERE/create.js" "$WINEPREFIX/drive_c/"
  # Before: nothing creates the control (and Wine registers its scripting
  # host's own libraries on the first run, before the state is taken).
  run_script absent
  snapshot before
  msiexec /i "$MSI"
  check "msiexec /i $NAME.msi /qn succeeds (status $STATUS)" 'status_is 0'
  check "Ramulet.dll is in $INSTALL_DIR" 'cmp -s "$dll" "$DLL"'
  check "readme.txt is beside it" '[ -f "$(unix_path "$INSTALL_DIR\\readme.txt")" ]'
  snapshot installed
  changes before installed --without-installer >"$WORK/by_install"
  package_rows before "$INSTALL_DIR" >"$WORK/by_package"
  check_same "the installed keys and values are exactly the package's rows" "$WORK/by_package" "$WORK/by_install"
  check "one product entry, version $VERSION" \
    '[ "$(product_entries installed)" -eq 1 ] && [ "$(product_version installed)" = "$VERSION" ]'
  run_script
  msiexec /x "$MSI"
  check "msiexec /x $NAME.msi /qn succeeds (status $STATUS)" 'status_is 0'
  korvex=$(unix_path 'C:\Program Files\Korvex')
  check "no file or folder of ours is left" '[ ! -e "$korvex" ]'
  snapshot removed
  check_nothing_left removed
  run_script absent
  drop_prefix
}

# Major upgrade from a lower version; the lower one, the same version built
# again and the same package again over it.
part_upgrade() {
  new_prefix upgrade
  local lower older same korvex
  lower=$(lower_version "$VERSION")
  older=$(other_package "$lower" older)
  same=$(other_package "$VERSION" same)
  check "packages of $lower and of $VERSION again are built for the test" '[ -f "$older" ] && [ -f "$same" ]'
  snapshot before
  msiexec /i "$older"
  check "version $lower installs (status $STATUS)" 'status_is 0'
  msiexec /i "$MSI"
  check "version $VERSION installs over $lower (status $STATUS)" 'status_is 0'
  snapshot upgraded
  check "one product entry after the upgrade, version $VERSION" \
    '[ "$(product_entries upgraded)" -eq 1 ] && [ "$(product_version upgraded)" = "$VERSION" ]'
  check "the upgraded DLL is in place" 'cmp -s "$(unix_path "$INSTALL_DIR\\Ramulet.dll")" "$DLL"'
  changes before upgraded --without-installer >"$WORK/by_install"
  package_rows before "$INSTALL_DIR" >"$WORK/by_package"
  check_same "the upgraded keys and values are exactly the package's rows" "$WORK/by_package" "$WORK/by_install"

  local case package code
  for case in "older:$older:1603" "same version, another build:$same:1603" "same package again:$MSI:0"; do
    IFS=: read -r case package code <<<"$case"
    msiexec /i "$package"
    snapshot after
    if [ "$code" -eq 0 ]; then
      check "$case: succeeds without a change (status $STATUS)" 'status_is 0'
    else
      check "$case: refused by the package's launch condition (status $STATUS: 1603 expected, which reaches us as 67)" 'status_is 1603'
    fi
    if [ "$code" -eq 0 ]; then
      # The installer notes where the package was last run from.
      changes upgraded after --without-installer >"$WORK/changed"
      check "$case: still one product entry" '[ "$(product_entries after)" -eq 1 ]'
    else
      changes upgraded after >"$WORK/changed"
    fi
    check_same "$case: nothing changed" /dev/null "$WORK/changed"
  done

  msiexec /x "$MSI"
  check "uninstall after the upgrade succeeds (status $STATUS)" 'status_is 0'
  snapshot removed
  check_nothing_left removed
  korvex=$(unix_path 'C:\Program Files\Korvex')
  check "no file of either version is left" '[ ! -e "$korvex" ]'
  drop_prefix
}

# Uninstalling what is not installed; installing into a folder that cannot be
# written.
part_bad_cases() {
  new_prefix bad
  snapshot before
  msiexec /x "$MSI"
  # Windows answers 1605 before running the package; Wine runs it, and the
  # package's own launch condition refuses (1603).
  check "uninstalling what is not installed is refused (status $STATUS: 1605 or 1603 expected, which reach us as 69 or 67)" \
    'status_is 1605 || status_is 1603'
  snapshot after
  changes before after >"$WORK/changed"
  check_same "... and changes nothing" /dev/null "$WORK/changed"

  local folder
  folder=$(unix_path "$INSTALL_DIR")
  mkdir -p "$folder"
  settle
  snapshot before
  if [ "$(id -u)" -eq 0 ] && ! chattr +i "$folder" 2>/dev/null; then
    echo "skip - a read-only install folder: chattr +i is refused here"
  else
    [ "$(id -u)" -eq 0 ] || chmod a-w "$folder"
    msiexec /i "$MSI"
    chattr -i "$folder" 2>/dev/null
    chmod u+w "$folder"
    check "a read-only install folder: the installation fails (status $STATUS: 1603 expected, which reaches us as 67)" 'status_is 1603'
    check "... and no file is placed" '[ -z "$(ls -A "$folder")" ]'
    snapshot after
    check_nothing_left after
  fi
  drop_prefix
}

# The x86 package on 64-bit Windows, where the host runs as a 32-bit program.
# The 32-bit DllRegisterServer writes the class into the 32-bit view and the
# interfaces into both; the package's 32-bit components reach only the first,
# and Wine's installer puts the ProgID into the 32-bit view where Windows
# shares it. So the registrations are compared with the views merged; the
# 32-bit script client shows the control is found.
one_view() { sed 's/\\wow6432node\\/\\/' | sort -u; }
part_wow64() {
  local WINE=$WINE64 CSCRIPT='C:\windows\syswow64\cscript.exe'
  local -x WINEARCH=win64
  local folder='C:\Program Files (x86)\Korvex\Ramulet' korvex
  new_prefix wow64
  cp "$HERE/create.js" "$WINEPREFIX/drive_c/"
  run_script absent
  snapshot before
  mkdir -p "$(unix_path "$folder")"
  cp "$WORK/zip/"* "$(unix_path "$folder")/"
  run_cmd "$folder" register.cmd
  check "64-bit Windows: register.cmd registers the 32-bit DLL (status $STATUS)" '[ "$STATUS" -eq 0 ]'
  snapshot registered
  changes before registered | one_view >"$WORK/by_server"
  run_cmd "$folder" unregister.cmd
  snapshot unregistered
  changes before unregistered >"$WORK/left"
  check_same "64-bit Windows: unregister.cmd leaves nothing behind" /dev/null "$WORK/left"
  rm -rf "$(unix_path 'C:\Program Files (x86)\Korvex')"

  msiexec /i "$MSI"
  check "64-bit Windows: msiexec /i $NAME.msi /qn succeeds (status $STATUS)" 'status_is 0'
  check "64-bit Windows: Ramulet.dll is in $folder" 'cmp -s "$(unix_path "$folder\\Ramulet.dll")" "$DLL"'
  snapshot installed
  changes before installed --without-installer | one_view >"$WORK/by_install"
  check_same "64-bit Windows: the package writes the keys and values the 32-bit DllRegisterServer writes" \
    "$WORK/by_server" "$WORK/by_install"
  run_script
  msiexec /x "$MSI"
  check "64-bit Windows: msiexec /x $NAME.msi /qn succeeds (status $STATUS)" 'status_is 0'
  korvex=$(unix_path 'C:\Program Files (x86)\Korvex')
  check "64-bit Windows: no file or folder of ours is left" '[ ! -e "$korvex" ]'
  snapshot removed
  check_nothing_left removed
  run_script absent
  drop_prefix
}

check_files
check_comparison
if [ ! -f "$MSI" ] || [ ! -f "$ZIP" ]; then
  :
elif ! reason=$("$WINE" --version 2>&1); then
  fail "the $ARCH Wine loader ($WINE) cannot run here: $(echo "$reason" | tail -1)"
elif [ -z "${DISPLAY:-}" ]; then
  fail "no DISPLAY: the control makes a window when it is created (run under xvfb-run)"
else
  part_registration
  part_install
  part_upgrade
  part_bad_cases
  if [ "$ARCH" = i686 ]; then
    if "$WINE64" --version >/dev/null 2>&1; then
      part_wow64
    else
      echo "skip - the x86 package on 64-bit Windows: no 64-bit Wine loader ($WINE64)"
    fi
  fi
  # Wine's loader swallows a fault in a DLL's detach, so the process still
  # ends well: the exception trace is what shows it.
  access=$(grep -a -c 'dispatch_exception code=c0000005' "$SEH_LOG")
  check "no access violation in any program run ($access seen)" '[ "$access" -eq 0 ]'
  [ "$access" -eq 0 ] || grep -a 'dispatch_exception code=c0000005' "$SEH_LOG" | sort | uniq -c | head -5
fi

for prefix in "${PREFIXES[@]}"; do
  [ -d "$prefix" ] && { chattr -R -i "$prefix" 2>/dev/null; rm -rf "$prefix"; }
done
rm -rf "$WORK"
echo "$PASSED passed, $FAILED failed"
[ "$FAILED" -eq 0 ]
