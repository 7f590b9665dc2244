#!/usr/bin/env bash
# Differential check of the GDI+ stand-in: conformance/gdiplus_probe.cpp is built against the
# stand-in and, with MinGW-w64, against the Windows SDK's GDI and GDI+, and run here and under
# Wine. The two outputs are compared scene by scene and printed as a table; any difference not
# listed in conformance/expected-differences.txt fails the run.
#
#   scripts/gdiplus-conformance.sh            (BUILD_DIR, WINDOWS_BUILD_DIR and WINEPREFIX may be set)
#
# Needs the Windows build's tools: g++-mingw-w64-x86-64-posix and wine.
set -euo pipefail
cd "$(dirname "$0")/.."
native=${BUILD_DIR:-build}
windows=${WINDOWS_BUILD_DIR:-build-windows}
export WINEPREFIX=${WINEPREFIX:-$PWD/$windows/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}

if [ ! -f "$native/CMakeCache.txt" ]; then
  cmake -S . -B "$native" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$native" --target gdiplus_probe
if [ ! -f "$windows/CMakeCache.txt" ]; then
  cmake -S . -B "$windows" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-w64-x86_64.cmake
fi
cmake --build "$windows" --target gdiplus_probe

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$native/conformance/gdiplus_probe" > "$out/stand-in.txt"
wine "$windows/conformance/gdiplus_probe.exe" 2> "$out/wine-errors.txt" | tr -d '\r' > "$out/wine.txt" || {
  cat "$out/wine-errors.txt" >&2
  exit 1
}

# Text scenes are ink edges in pixels and may differ by 2 (the systems' fonts differ); image rows
# are blue channels and may differ by 2 per pixel (filter rounding). Everything else must match.
awk -F '\t' '
  function hexval(s,   i, v) {
    v = 0
    for (i = 1; i <= length(s); i++) v = v * 16 + index("0123456789abcdef", substr(s, i, 1)) - 1
    return v
  }
  function close_enough(scene, a, b,   i, d) {
    if (a == b) return 1
    if (scene ~ /^text\// && a ~ /^-?[0-9]+$/ && b ~ /^-?[0-9]+$/) { d = a - b; return d <= 2 && d >= -2 }
    if (scene ~ /^image\// && length(a) == length(b)) {
      for (i = 1; i <= length(a); i += 2) {
        d = hexval(substr(a, i, 2)) - hexval(substr(b, i, 2))
        if (d > 2 || d < -2) return 0
      }
      return 1
    }
    return 0
  }
  function shorten(v) { return length(v) > 20 ? substr(v, 1, 17) "..." : v }
  FILENAME == ARGV[1] { if ($0 !~ /^#/ && NF >= 2) reason[$1] = $2; next }
  FILENAME == ARGV[2] { standin[$1] = $2; order[++n] = $1; next }
  { wine[$1] = $2; if (!($1 in standin)) order[++n] = $1 }
  END {
    printf "%-30s %-20s %-20s %s\n", "scene", "stand-in", "Wine", "result"
    for (i = 1; i <= n; i++) {
      s = order[i]
      if (!(s in standin) || !(s in wine)) { result = "MISSING"; failed++ }
      else if (close_enough(s, standin[s], wine[s])) {
        result = (s in reason) ? "equal (listed as different: remove it)" : "equal"; equal++
      } else if (s in reason) { result = "expected: " reason[s]; expected++ }
      else { result = "UNEXPECTED DIFFERENCE"; failed++ }
      printf "%-30s %-20s %-20s %s\n", s, shorten(standin[s]), shorten(wine[s]), result
    }
    printf "\n%d scenes: %d equal, %d expected differences, %d failures\n", n, equal, expected, failed + 0
    exit failed > 0
  }
' conformance/expected-differences.txt "$out/stand-in.txt" "$out/wine.txt"
