#!/usr/bin/env bash
# Installs what the build needs on a Debian 12 machine.
#   install-deps.sh core  - compiler, CMake, GoogleTest (enough for `ramulet`)
#   install-deps.sh all   - everything the full test run uses (MinGW, Wine, Xvfb, clang,
#                           wixl and msitools for the installer package, ...)
set -euo pipefail

profile=${1:-all}
core=(cmake g++ make googletest libgtest-dev libgmock-dev libbenchmark-dev python3 nlohmann-json3-dev
      pkg-config zlib1g-dev libgsf-1-dev)
all=("${core[@]}" clang libclang-rt-14-dev g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools
     wine wine32:i386 wine64 libwine-dev xvfb xauth imagemagick graphviz locales
     wixl msitools unzip e2fsprogs neovim chromium)

case "$profile" in
  core) wanted=("${core[@]}") ;;
  all) wanted=("${all[@]}") ;;
  *) echo "usage: $0 core|all" >&2; exit 2 ;;
esac

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

missing=()
for package in "${wanted[@]}"; do
  dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: everything for '$profile' is installed"
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
if printf '%s\n' "${missing[@]}" | grep -q ':i386$'; then
  as_root dpkg --add-architecture i386
fi
as_root apt-get update -q
as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
