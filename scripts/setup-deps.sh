#!/usr/bin/env bash
# Installs what building and testing velnor needs, from Debian's packages.
# Does nothing when everything is already there.
set -euo pipefail

# nlohmann-json3-dev: the datapath file's JSON. python3-jsonschema: the tests check
# written datapath files against the published schema.
# libqt5svg5-dev: the charts' SVG export; graphviz: a test renders the DOT export;
# xvfb, xauth, imagemagick: scripts/screenshots.sh.
# clang and libclang-rt-14-dev: the fuzzers (libFuzzer and the sanitizer runtimes).
# iverilog, verilator and yosys prove the exported Verilog in the tests (simulation,
# lint, synthesis); velnor-cli --verilog-stats runs yosys too.
packages=(build-essential cmake libgtest-dev libgmock-dev libbenchmark-dev qtbase5-dev qtbase5-dev-tools
          nlohmann-json3-dev python3-jsonschema clang libclang-rt-14-dev iverilog verilator yosys
          libqt5svg5-dev parallel graphviz xvfb xauth imagemagick)
# libqt5svg5-dev: the plots of explore and the charts' SVG. parallel: the test that runs explore's
# shards through GNU parallel. graphviz: a test renders the DOT export. xvfb, xauth, imagemagick:
# the screenshots of scripts/screenshots.sh.
# libgraphviz-dev: Graphviz's cgraph library, found through pkgconf (libcgraph), which reads the DOT
# data-flow graphs of velnor-cli import --dot and the window's "Import DSP core…".
packages+=(libgraphviz-dev pkgconf)
# llvm-14-dev: LLVM 14's library (found through its CMake package), which reads the bitcode
# clang makes of the C files of velnor-cli import --c and the window's "Import DSP core…";
# clang itself is installed above.
packages+=(llvm-14-dev)
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
