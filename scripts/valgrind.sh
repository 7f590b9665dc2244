#!/usr/bin/env bash
# Runs every test program under valgrind's memcheck: any memory error, or memory lost from the
# library's own allocations, fails the run. Reports that are not the project's fault are listed,
# each with its reason, in scripts/valgrind.supp. Slow (tens of minutes); not part of CI.
#
#   scripts/valgrind.sh [test-name ...]       e.g. scripts/valgrind.sh dirty_list_test
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
if ! command -v valgrind >/dev/null; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q valgrind
fi

build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" --parallel

tests=("$@")
if [ ${#tests[@]} -eq 0 ]; then
  for source in tests/*_test.cpp; do
    tests+=("$(basename "$source" .cpp)")
  done
fi

logs="$build/valgrind"
mkdir -p "$logs" "$build/tests/tmp"
failed=()
for t in "${tests[@]}"; do
  echo "== $t"
  # The demo test starts the demo program, which runs natively (children are not traced).
  # nouserintercepts: tests/dirty_list_test.cpp counts allocations with its own operator new and
  # delete over malloc and free; valgrind must let them run rather than put its own in their
  # place, or the count is wrong and libstdc++'s own blocks look like new paired with free.
  if ! (cd "$build/tests" && MOX_TEST_TMP="$PWD/tmp" valgrind --tool=memcheck --error-exitcode=99 \
      --soname-synonyms=somalloc=nouserintercepts --leak-check=full --show-leak-kinds=definite,possible --errors-for-leak-kinds=definite,possible \
      --suppressions="$OLDPWD/scripts/valgrind.supp" --log-file="$OLDPWD/$logs/$t.log" "./$t" >"$OLDPWD/$logs/$t.out" 2>&1); then
    failed+=("$t")
    grep -E "ERROR SUMMARY|definitely|possibly|FAILED" "$logs/$t.log" "$logs/$t.out" | head -n 20 || true
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "valgrind found problems in: ${failed[*]} (logs in $logs)"
  exit 1
fi
echo "valgrind: ${#tests[@]} test programs, no errors"
