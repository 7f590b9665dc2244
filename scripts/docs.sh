#!/usr/bin/env bash
# Generates the API reference with Doxygen (installed with apt-get when missing) into
# build-docs/html, from the comments of include/MoxImage2.h and of the platform stand-in's
# public classes. A member without documentation, or any other Doxygen warning, fails the run.
# Usage: scripts/docs.sh [output-dir]
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v doxygen >/dev/null 2>&1; then
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
  fi
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends doxygen
fi

export MOX_DOCS_OUT=${1:-$PWD/build-docs}
mkdir -p "$MOX_DOCS_OUT"
if ! doxygen docs/Doxyfile; then
  cat "$MOX_DOCS_OUT/warnings.log" >&2
  echo "docs: Doxygen reported the problems above" >&2
  exit 1
fi
if [ -s "$MOX_DOCS_OUT/warnings.log" ]; then
  cat "$MOX_DOCS_OUT/warnings.log" >&2
  exit 1
fi
echo "docs: $MOX_DOCS_OUT/html/index.html"
