#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, when any is missing.
set -euo pipefail
packages=(
  g++ make cmake pkg-config
  qt6-base-dev qt6-multimedia-dev libgl-dev
  libsqlite3-dev libcdio-dev libboost-context-dev libdiscid-dev libcddb2-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth poppler-utils fonts-dejavu-core fonts-liberation
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
