#!/usr/bin/env bash
# Installs what building and testing velnor needs, from Debian's packages.
# Does nothing when everything is already there.
set -euo pipefail

packages=(build-essential cmake libgtest-dev libgmock-dev libbenchmark-dev qtbase5-dev qtbase5-dev-tools
          nlohmann-json3-dev python3-jsonschema)
# The tests of installing and packaging: the validators of the desktop entry and the
# AppStream metadata, dpkg-shlibdeps for the package's dependencies, man and groff
# for the manual pages, file for the icons' sizes.
packages+=(desktop-file-utils appstream dpkg-dev man-db groff-base file)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
