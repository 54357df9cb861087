#!/usr/bin/env bash
# The Debian packages as a user gets them.
#   package_check.sh <build folder> <source folder>
# Makes libpictor0 and libpictor-dev with cpack (which must not run ldconfig while staging), installs them
# with apt-get, builds the README's first program against them as the README says, runs it and the
# installed tool, and removes the packages again, on every path. Exits 77 (skipped) when not root, when the
# packages are installed already (they are then not this test's to remove), or when apt-get would have to
# install other packages too.
set -euo pipefail
build=$1
source=$2
packages=(libpictor-dev libpictor0)
apt=(apt-get -y -q --no-install-recommends -o DPkg::Lock::Timeout=60)
export DEBIAN_FRONTEND=noninteractive

fail() { echo "FAILED: $*" >&2; exit 1; }
skip() { echo "skipped: $*"; exit 77; }
present() { dpkg-query -W -f='${Status}\n' "$1" 2>/dev/null | grep -v "not-installed" >/dev/null; }

[ "$(id -u)" -eq 0 ] || skip "installing packages needs root"
for package in "${packages[@]}"; do
  ! present "$package" || skip "$package is on this machine already"
done

scratch=$(mktemp -d)
chmod 755 "$scratch"   # apt reads local packages as its own user
cleanup() {
  local left=()
  for package in "${packages[@]}"; do present "$package" && left+=("$package"); done
  if ((${#left[@]})); then
    "${apt[@]}" purge "${left[@]}" >/dev/null 2>&1 || echo "could not remove ${left[*]}: apt-get purge them" >&2
  fi
  rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

# Packaging stages the install with DESTDIR: a logging ldconfig first on PATH shows whether it ran.
mkdir "$scratch/watch"
printf '#!/bin/sh\necho "$0 $*" >>"%s"\n' "$scratch/ldconfig-ran" >"$scratch/watch/ldconfig"
chmod +x "$scratch/watch/ldconfig"
PATH="$scratch/watch:$PATH" cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/packages" \
  >"$scratch/cpack.log" 2>&1 || { cat "$scratch/cpack.log"; fail "cpack"; }
[ ! -e "$scratch/ldconfig-ran" ] || fail "packaging ran ldconfig"
runtime=$(echo "$scratch"/packages/libpictor0_*.deb)
dev=$(echo "$scratch"/packages/libpictor-dev_*.deb)
[ -f "$runtime" ] && [ -f "$dev" ] || fail "cpack made: $(ls "$scratch/packages")"

# Each file in its package; the dependencies as intended.
holds() { dpkg-deb -c "$1" | awk '{print $6}' | grep -E "$2" >/dev/null; }
for file in 'libpictor\.so\.0$' '/libexec/pictor-clipboard$' '/bin/pictor$'; do
  holds "$runtime" "$file" || fail "libpictor0 lacks $file"
  ! holds "$dev" "$file" || fail "libpictor-dev holds $file"
done
for file in '/include/pictor/FxPictor\.h$' '/pkgconfig/pictor\.pc$' '/cmake/pictor/pictorConfig\.cmake$' \
  'libpictor\.so$' '/doc/pictor/README\.md$'; do
  holds "$dev" "$file" || fail "libpictor-dev lacks $file"
  ! holds "$runtime" "$file" || fail "libpictor0 holds $file"
done
version=$(dpkg-deb -f "$runtime" Version)
[ "$(dpkg-deb -f "$dev" Depends)" = "libpictor0 (= $version)" ] || fail "libpictor-dev depends on: $(dpkg-deb -f "$dev" Depends)"
dpkg-deb -f "$runtime" Depends | grep "libgdiplus" >/dev/null || fail "libpictor0 depends on: $(dpkg-deb -f "$runtime" Depends)"

plan=$("${apt[@]}" -s install "$runtime" "$dev" 2>&1) || fail "apt-get cannot install the packages: $plan"
others=$(awk '$1 == "Inst" && $2 != "libpictor0" && $2 != "libpictor-dev" {print $2}' <<<"$plan")
[ -z "$others" ] || skip "installing the packages would also install: $others"
"${apt[@]}" install "$runtime" "$dev" >"$scratch/apt.log" 2>&1 || { cat "$scratch/apt.log"; fail "apt-get install"; }
ldconfig -p | grep 'libpictor\.so\.0 ' >/dev/null || fail "installing did not refresh the loader's cache"

# The README's first program, built and run as the README says, with nothing of the build tree.
mkdir "$scratch/user"
cd "$scratch/user"
awk '/^## A first program/ {section = 1; next} section && /^```cpp/ {code = 1; next} code && /^```/ {exit} code' \
  "$source/README.md" >hello.cpp
grep -q 'SaveJPG(CString("hello.jpg")' hello.cpp || fail "no hello.cpp under 'A first program' in the README"
unset PKG_CONFIG_PATH LD_LIBRARY_PATH
g++ -std=c++20 hello.cpp $(pkg-config --cflags --libs pictor)
timeout 60 ./a.out
[ "$(od -An -tx1 -N3 hello.jpg | tr -d ' \n')" = ffd8ff ] || fail "hello.jpg is no JPEG file"
timeout 60 pictor convert hello.jpg hello.png
[ "$(od -An -tx1 -N8 hello.png | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "the installed tool wrote no PNG"
echo "installed $(basename "$runtime") and $(basename "$dev"); the README's program wrote hello.jpg"

cd /
"${apt[@]}" purge "${packages[@]}" >"$scratch/apt.log" 2>&1 || { cat "$scratch/apt.log"; fail "apt-get purge"; }
for package in "${packages[@]}"; do ! present "$package" || fail "$package is still installed"; done
! ldconfig -p | grep 'libpictor\.so\.0 ' >/dev/null || fail "removing did not refresh the loader's cache"
echo "removed both packages"
