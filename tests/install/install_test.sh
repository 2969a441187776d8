#!/usr/bin/env bash
# Installs Rawlet from the build tree into a fresh prefix and from its Debian packages into a
# throwaway root, builds the C++ example of the documentation against each (CMake package and
# pkg-config), and prints with the results through the private scheduler. The packages must
# also pass lintian without an error or a warning.
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

# The example built against an installed tree, with its CMake package and with pkg-config.
build_with_cmake() {
  local prefix=$1 output=$2
  cmake -S "$source_dir/tests/install/consumer" -B "$output" -DCMAKE_PREFIX_PATH="$prefix" \
    -DEXAMPLE_SOURCE="$example" >/dev/null
  cmake --build "$output" >/dev/null
}
build_with_pkg_config() {
  local libdir=$1 output=$2
  PKG_CONFIG_PATH="$libdir/pkgconfig" g++ -std=c++17 "$example" -o "$output" \
    $(PKG_CONFIG_PATH="$libdir/pkgconfig" pkg-config --cflags --libs rawlet) -Wl,-rpath,"$libdir"
}

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
  echo "#include <$header>" | g++ -std=c++17 -fsyntax-only -x c++ -I"$work/prefix/include" - \
    || fail "$header does not compile on its own"
done
build_with_cmake "$work/prefix" "$work/consumer"
"$work/consumer/consumer" "$queue"
check_receipt "CMake consumer"
build_with_pkg_config "$work/prefix/lib" "$work/pkg-consumer"
"$work/pkg-consumer" "$queue"
check_receipt "pkg-config consumer"
version=$("$work/prefix/bin/rawlet" --version)
[[ $version == "rawlet 2.0.0.1" ]] || fail "installed rawlet --version said: $version"

# 2. The Debian packages, built as scripts/package builds them. Debian's tools run in a locale
# every system has: they only warn about the one the receipts need.
LC_ALL=C.UTF-8 "$source_dir/scripts/lib/debian-packages" "$work/debs"
for package in librawlet3 librawlet-dev rawlet python3-rawlet librawlet3-dbgsym rawlet-dbgsym python3-rawlet-dbgsym; do
  compgen -G "$work/debs/${package}_*deb" >/dev/null || fail "dpkg-buildpackage made no $package"
done
LC_ALL=C.UTF-8 lintian --allow-root --fail-on error,warning "$work"/debs/*.changes \
  || fail "lintian found faults"
deb_version=$(dpkg-deb -f "$work"/debs/rawlet_*.deb Version)
[[ "rawlet ${deb_version%-*}" == "$version" ]] \
  || fail "the packages are version $deb_version but the build is ${version#rawlet }: debian/changelog lags"
# Both load libcups: the library by linking it, the command when it first needs it.
for package in librawlet3 rawlet; do
  depends=$(dpkg-deb -f "$work"/debs/${package}_*.deb Depends)
  [[ $depends == *libcups2* ]] || fail "$package does not depend on libcups2: $depends"
done
# What they need of the system exists, in the versions they ask for: it is installed here.
system_depends=$(for deb in "$work"/debs/{librawlet3,rawlet}_*.deb; do dpkg-deb -f "$deb" Depends; done |
  tr ',' '\n' | grep -v rawlet | paste -sd,)
LC_ALL=C.UTF-8 dpkg-checkbuilddeps -d "$system_depends" "$source_dir/debian/control" \
  || fail "the packages depend on what this system lacks: $system_depends"

# Their contents where they land, in a root of their own, consumed through the -dev package.
root=$work/root
for deb in "$work"/debs/{librawlet3,librawlet-dev,rawlet,python3-rawlet}_*.deb; do dpkg-deb -x "$deb" "$root"; done
printf 'from the deb\r\n' | "$root/usr/bin/rawlet" print -d "$queue"
jobs=$((jobs + 1))
"$sandbox" wait "$RAWLET_SANDBOX" "$queue" "$jobs" 60
[[ "$(cat "$RAWLET_SANDBOX/devices/$queue/job-$jobs.bin")" == $'from the deb\r' ]] || fail "rawlet from the .deb"
# The command holds the bridge, and its user units start it from where the package puts it.
serve_said=$("$root/usr/bin/rawlet" serve --listen 192.0.2.1:9 2>&1 || true)
[[ $serve_said == *"loopback only"* ]] || fail "the packaged rawlet serve said: $serve_said"
[[ $(grep '^ExecStart=' "$root/usr/lib/systemd/user/rawlet.service") == "ExecStart=/usr/bin/rawlet serve" ]] \
  || fail "the packaged rawlet.service does not start /usr/bin/rawlet serve"
grep -qx 'ListenStream=127.0.0.1:9187' "$root/usr/lib/systemd/user/rawlet.socket" \
  || fail "the packaged rawlet.socket does not listen on the bridge's port"
libdir=$root/usr/lib/$(LC_ALL=C.UTF-8 dpkg-architecture -qDEB_HOST_MULTIARCH)
build_with_cmake "$root/usr" "$work/deb-consumer"
"$work/deb-consumer/consumer" "$queue"
check_receipt "CMake consumer of librawlet-dev"
build_with_pkg_config "$libdir" "$work/deb-pkg-consumer"
"$work/deb-pkg-consumer" "$queue"
check_receipt "pkg-config consumer of librawlet-dev"
# The Python package, from where Debian puts it: the module holds the library, so it needs no
# librawlet of the root's.
PYTHONPATH=$root/usr/lib/python3/dist-packages /usr/bin/python3 - "$queue" "$version" <<'PYTHON' \
  || fail "the Python package from the .deb"
import sys, rawlet
assert "rawlet " + rawlet.__version__ == sys.argv[2], rawlet.__version__
with rawlet.Printer(sys.argv[1]) as printer:
    printer.write(b"from python\r")
PYTHON
jobs=$((jobs + 1))
"$sandbox" wait "$RAWLET_SANDBOX" "$queue" "$jobs" 60
[[ "$(cat "$RAWLET_SANDBOX/devices/$queue/job-$jobs.bin")" == $'from python\r' ]] || fail "python3-rawlet printed otherwise"
echo "installed tree and Debian packages work: $(cd "$work/debs" && echo *.deb)"
