#!/usr/bin/env bash
# Cross-builds MoxImage2 for 64-bit Windows (MinGW-w64), runs the test suite and the demo under
# Wine, and prints a pass/fail summary. Installs the cross compiler, Wine and Xvfb when missing.
#
#   scripts/test-windows.sh            build in build-windows (BUILD_DIR overrides)
#
# MOXIMAGE2_WERROR=ON makes warnings errors. The DLLs, import libraries and programs are in
# BUILD_DIR; the demo's pictures in BUILD_DIR/demo-out.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build g++-mingw-w64-x86-64-posix wine wine64 xvfb xauth libgtest-dev
  fonts-dejavu-core fonts-liberation2 pkg-config)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -q
  # Wine's recommendations (32-bit Wine, GStreamer, ...) are not needed by 64-bit programs.
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

build=${BUILD_DIR:-build-windows}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-mingw-w64-x86_64.cmake" \
  -DMOXIMAGE2_WERROR="${MOXIMAGE2_WERROR:-OFF}" -DMOXIMAGE2_BUILD_BENCH=OFF
cmake --build "$build" --parallel

# The installed tree on its own: a host compiles and links against it through pkg-config.
installed="$build/install-check"
rm -rf "$installed"
cmake --install "$build" --prefix "$installed" > /dev/null
cat > "$installed/host.cpp" <<'HOST'
#include <MoxImage2.h>
// A host calls GDI+, GDI and USER itself as well, so the flags must name their libraries too.
int main()
{
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    CMoxGraphics canvas;
    const bool ok = canvas.Init(8, 8);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok ? 0 : 1;
}
HOST
install_status=0
# shellcheck disable=SC2046 # the flags are separate words
x86_64-w64-mingw32-g++-posix -std=c++17 "$installed/host.cpp" -o "$installed/host.exe" -static-libgcc -static-libstdc++ \
  $(PKG_CONFIG_PATH="$installed/lib/pkgconfig" pkg-config --define-prefix --cflags --libs moximage2) ||
  install_status=1

. scripts/wine-env.sh "$build"

# Everything under one display and one Wine server: starting them is most of a program's cost.
status=0
mox_with_display bash -c '
  set -u
  . scripts/wine-env.sh "$1"
  mox_wine_start
  ctest --test-dir "$1/tests" --output-on-failure --parallel "$(nproc)" --timeout 300 > "$1/ctest-windows.log" 2>&1
  echo $? > "$1/ctest-windows.status"
  # Wine occasionally fails to start a program right after a busy test run, with no output at
  # all; the demo gets a second start before that counts as its failure.
  for attempt in 1 2; do
    rm -rf "$1/demo-out"
    (cd "$1/examples" && cp ../MoxImage2.dll ../MoxPlatform.dll . &&
      timeout 300 wine demo.exe --headless --frames 120 --every 60 --out ../demo-out) > "$1/demo-windows.log" 2>&1
    result=$?
    [ "$result" = 0 ] && break
    [ -s "$1/demo-windows.log" ] && break
  done
  echo $result > "$1/demo-windows.status"
  wineserver -k
' bash "$build" || status=1

echo
echo "== Windows build under Wine =="
cat "$build/ctest-windows.log" | grep -E "^ *[0-9]+/[0-9]+ Test|tests passed|tests failed" || true
left_out=$(grep -E '^[a-z_]+ ' tests/wine-known-failures.txt || true)
echo "left out under Wine (tests/wine-known-failures.txt): $(echo "$left_out" | grep -c . || true) cases:" \
  "$(echo "$left_out" | grep -c '| *wine:' || true) Wine differences," \
  "$(echo "$left_out" | grep -c '| *stand-in:' || true) stand-in-only behaviours," \
  "$(echo "$left_out" | grep -c '| *windows:' || true) Windows build limits," \
  "$(echo "$left_out" | grep -c '| *untriaged:' || true) untriaged"
if [ "$(cat "$build/ctest-windows.status" 2>/dev/null || echo 1)" != 0 ]; then
  status=1
  echo "test suite: FAILED (details in $build/ctest-windows.log)"
else
  echo "test suite: passed"
fi
if [ "$install_status" != 0 ]; then
  status=1
  echo "installed tree: FAILED (a host does not build with moximage2.pc's flags)"
else
  echo "installed tree: a host builds with moximage2.pc's flags"
fi
if [ "$(cat "$build/demo-windows.status" 2>/dev/null || echo 1)" != 0 ] || [ ! -s "$build/demo-out/demo.png" ]; then
  status=1
  echo "demo.exe: FAILED (details in $build/demo-windows.log)"
else
  grep -E "picture:|mean|worst" "$build/demo-windows.log" || true
  echo "demo.exe: passed ($build/demo-out/demo.png)"
fi
exit $status
