#!/usr/bin/env bash
# Installs Rawlet from the build tree into a fresh prefix and from its .deb, builds the C++
# example of the documentation against each (CMake package and pkg-config), and prints
# with the results through the private scheduler.
set -euo pipefail

build_dir=$1
source_dir=$RAWLET_SOURCE_DIR
sandbox="$source_dir/scripts/cups-sandbox"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export LANG=en_US.UTF-8 LC_ALL= LC_CTYPE=
queue=install-test
"$sandbox" add "$RAWLET_SANDBOX" "$queue" >/dev/null
jobs=0

fail() { echo "FAIL: $*" >&2; exit 1; }

# The bytes the documented receipt example must put on the printer.
expected=$(printf '\033ECaf\x82 M\x81ller\033F\r\nTotal 23,30\r\n\f' | od -An -v -tx1 | tr -d ' \n')
check_receipt() {
  jobs=$((jobs + 1))
  "$sandbox" wait "$RAWLET_SANDBOX" "$queue" "$jobs" 60
  local got
  got=$(od -An -v -tx1 "$RAWLET_SANDBOX/devices/$queue/job-$jobs.bin" | tr -d ' \n')
  [[ "$got" == "$expected" ]] || fail "$1: the printer received $got"
}

"$source_dir/scripts/lib/doc-examples.py" "$source_dir/docs/cpp.md" cpp "$work/example" >/dev/null
example="$work/example/1.cpp"

# 1. cmake --install, then a CMake consumer and a pkg-config consumer.
cmake --install "$build_dir" --prefix "$work/prefix" >/dev/null
for file in bin/rawlet lib/librawlet.so include/rawlet/rawlet.h lib/cmake/Rawlet/RawletConfig.cmake \
            lib/pkgconfig/rawlet.pc share/man/man1/rawlet.1; do
  [[ -e "$work/prefix/$file" ]] || fail "cmake --install did not install $file"
done
# Only the public headers are installed, and each compiles on its own from one include root.
installed=$(cd "$work/prefix/include" && find . -type f | sed 's#^\./##' | sort)
public=$( (cd "$source_dir/include" && find rawlet -name '*.h'; echo rawlet/version.h) | sort)
[[ "$installed" == "$public" ]] || fail "installed headers differ from include/rawlet: $installed"
for header in $installed; do
  echo "#include <$header>" | g++ -std=c++20 -fsyntax-only -x c++ -I"$work/prefix/include" - \
    || fail "$header does not compile on its own"
done
cmake -S "$source_dir/tests/install/consumer" -B "$work/consumer" -DCMAKE_PREFIX_PATH="$work/prefix" \
  -DEXAMPLE_SOURCE="$example" >/dev/null
cmake --build "$work/consumer" >/dev/null
"$work/consumer/consumer" "$queue"
check_receipt "CMake consumer"

build_with_pkg_config() {
  local prefix=$1 output=$2
  PKG_CONFIG_PATH="$prefix/lib/pkgconfig" g++ -std=c++20 "$example" -o "$output" \
    $(PKG_CONFIG_PATH="$prefix/lib/pkgconfig" pkg-config --cflags --libs rawlet) -Wl,-rpath,"$prefix/lib"
}
build_with_pkg_config "$work/prefix" "$work/pkg-consumer"
"$work/pkg-consumer" "$queue"
check_receipt "pkg-config consumer"
"$work/prefix/bin/rawlet" --version | grep -qx "rawlet 2.0.0.1" || fail "installed rawlet --version"

# 2. The .deb: its dependencies are installed here, and its contents work where they land.
(cd "$build_dir" && cpack -G DEB -B "$work/deb-out" >/dev/null)
deb=$(ls "$work"/deb-out/rawlet_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
[[ "$depends" == *libcups2* ]] || fail "the .deb does not depend on libcups2: $depends"
for package in $(echo "$depends" | tr ',' '\n' | sed 's/(.*//; s/|.*//' | tr -d ' '); do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' \
    || fail "the .deb depends on $package, which is not installed"
done
dpkg-deb -x "$deb" "$work/root"
[[ -e "$work/root/usr/share/man/man1/rawlet.1" || -e "$work/root/usr/share/man/man1/rawlet.1.gz" ]] \
  || fail "the .deb has no man page"
printf 'from the deb\r\n' | "$work/root/usr/bin/rawlet" print -d "$queue"
jobs=$((jobs + 1))
"$sandbox" wait "$RAWLET_SANDBOX" "$queue" "$jobs" 60
[[ "$(cat "$RAWLET_SANDBOX/devices/$queue/job-$jobs.bin")" == $'from the deb\r' ]] || fail "rawlet from the .deb"
build_with_pkg_config "$work/root/usr" "$work/deb-consumer"
"$work/deb-consumer" "$queue"
check_receipt "pkg-config consumer of the .deb"
echo "installed tree and .deb work: $(basename "$deb")"
