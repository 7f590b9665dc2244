#!/usr/bin/env bash
# Installs what building, testing and running MoxImage2 needs on Debian 12 (bookworm).
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libpixman-1-dev libcairo2-dev libpango1.0-dev libgdk-pixbuf-2.0-dev libsdl2-dev libtiff-dev
  fonts-dejavu-core fonts-liberation2
  libgtest-dev libbenchmark-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${missing[@]}"
