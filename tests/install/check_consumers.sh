#!/bin/sh
# Builds the consumer program against an installed MoxImage2 twice, through find_package and
# through pkg-config, and runs both with nothing in LD_LIBRARY_PATH: the installed files must
# find each other on their own. Also checks that the installed library finds the platform
# library through its own run path.
#
# usage: check_consumers.sh <install-prefix> <scratch-dir>
set -eu

if [ $# -ne 2 ]; then
    echo "usage: $0 <install-prefix> <scratch-dir>" >&2
    exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
prefix=$(cd "$1" && pwd)
mkdir -p "$2"
scratch=$(cd "$2" && pwd)
rm -rf "$scratch/consumer-build" "$scratch/consumer-pkgconfig"
unset LD_LIBRARY_PATH

library=$(find "$prefix" -name 'libMoxImage2.so' | head -n 1)
if [ -z "$library" ]; then
    echo "check_consumers: no libMoxImage2.so under $prefix" >&2
    exit 1
fi
libdir=$(dirname "$library")
if ldd "$library" | grep -q 'not found'; then
    echo "check_consumers: $library does not find its dependencies:" >&2
    ldd "$library" >&2
    exit 1
fi

# 1. CMake package.
generator=""
if command -v ninja >/dev/null 2>&1; then
    generator="-GNinja"
fi
cmake -S "$here/consumer" -B "$scratch/consumer-build" $generator -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$scratch/consumer-build" >/dev/null
"$scratch/consumer-build/consumer"

# 2. pkg-config, with the .pc file exactly as installed.
flags=$(PKG_CONFIG_PATH="$libdir/pkgconfig" pkg-config --cflags --libs moximage2)
echo "pkg-config moximage2: $flags"
${CXX:-c++} -std=c++17 -o "$scratch/consumer-pkgconfig" "$here/consumer/main.cpp" $flags
"$scratch/consumer-pkgconfig"

# 3. A Windows program with _tWinMain and no main, narrow and Unicode, through the same flags
# and through the CMake package: it exits with its WinMain's result (42).
program="$here/../programs/winmain_program.cpp"
for defines in "" "-DUNICODE -D_UNICODE"; do
    ${CXX:-c++} -std=c++17 $defines -o "$scratch/winmain-pkgconfig" "$program" $flags
    status=0
    "$scratch/winmain-pkgconfig" alpha "b c" || status=$?
    if [ "$status" -ne 42 ]; then
        echo "check_consumers: WinMain program ($defines) exited with $status, not 42" >&2
        exit 1
    fi
done
rm -rf "$scratch/winmain-build"
cmake -S "$here/consumer" -B "$scratch/winmain-build" $generator -DCMAKE_PREFIX_PATH="$prefix" \
      -DMOX_CONSUMER_WINMAIN="$program" >/dev/null
cmake --build "$scratch/winmain-build" >/dev/null
status=0
"$scratch/winmain-build/winmain_consumer" alpha "b c" || status=$?
if [ "$status" -ne 42 ]; then
    echo "check_consumers: WinMain program through the CMake package exited with $status, not 42" >&2
    exit 1
fi
