#!/bin/sh
# Makes the Debian packages with cpack, checks their names, contents and dependencies, unpacks
# both into a scratch root (never into the system) and builds and runs the consumer program
# against the unpacked /usr (check_consumers.sh).
#
# usage: check_deb.sh <build-dir> <scratch-dir>
set -eu

if [ $# -ne 2 ]; then
    echo "usage: $0 <build-dir> <scratch-dir>" >&2
    exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
mkdir -p "$2"
scratch=$(cd "$2" && pwd)
rm -rf "$scratch/packages" "$scratch/root"
mkdir -p "$scratch/packages" "$scratch/root"

cmake --build "$build" --target MoxImage2 MoxPlatform MoxPlatformMain
(cd "$scratch/packages" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/packages" >/dev/null)
runtime=$(ls "$scratch"/packages/libmoximage2_*.deb)
dev=$(ls "$scratch"/packages/libmoximage2-dev_*.deb)

fail() {
    echo "check_deb: $*" >&2
    exit 1
}
[ "$(dpkg-deb -f "$runtime" Package)" = libmoximage2 ] || fail "runtime package misnamed"
[ "$(dpkg-deb -f "$dev" Package)" = libmoximage2-dev ] || fail "development package misnamed"
dpkg-deb -f "$runtime" Depends | grep -q libcairo2 || fail "libmoximage2 does not depend on the libraries it links"
dpkg-deb -f "$dev" Depends | grep -q 'libmoximage2 (=' || fail "libmoximage2-dev does not depend on libmoximage2"
dpkg-deb -c "$runtime" | grep -q 'libMoxImage2\.so\.2' || fail "libmoximage2 lacks the library"
if dpkg-deb -c "$runtime" | grep -q '\.h$'; then fail "libmoximage2 carries headers"; fi
dpkg-deb -c "$dev" | grep -q 'MoxImage2\.h$' || fail "libmoximage2-dev lacks the header"
dpkg-deb -c "$dev" | grep -q 'moximage2\.pc$' || fail "libmoximage2-dev lacks the pkg-config file"
dpkg-deb -c "$dev" | grep -q 'share/moximage2/lsan\.supp$' || fail "libmoximage2-dev lacks the leak suppressions"

dpkg -x "$runtime" "$scratch/root"
dpkg -x "$dev" "$scratch/root"
sh "$here/check_consumers.sh" "$scratch/root/usr" "$scratch"
echo "check_deb: ok"
