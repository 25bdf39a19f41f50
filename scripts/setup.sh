#!/usr/bin/env bash
# Installs what building Korvane needs on Debian 12, and with --tests what the test suite needs as well.
# Installs only packages that are missing; as root directly, otherwise through sudo.
set -euo pipefail

packages=(build-essential cmake pkg-config git libsdl1.2-dev libsdl-mixer1.2-dev libpng-dev zlib1g-dev
          liblzo2-dev psmisc ncurses-bin)
if [[ "${1:-}" == "--tests" ]]; then
  packages+=(libgtest-dev libgmock-dev libbenchmark-dev imagemagick sox libsox-fmt-all python3 clang-14
             libclang-rt-14-dev)
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -eq 0 ]]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
else
  echo "These packages are missing and neither root nor sudo is available: ${missing[*]}" >&2
  exit 1
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
if ! "${as_root[@]}" apt-get install -y -q "${missing[@]}"; then
  "${as_root[@]}" apt-get update -q
  "${as_root[@]}" apt-get install -y -q "${missing[@]}"
fi
