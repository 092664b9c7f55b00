#!/usr/bin/env bash
# Builds the Debian package with CPack into a scratch folder, checks its control
# fields and contents, unpacks it into a scratch root with dpkg-deb -x and runs
# the unpacked velnor-cli there.
# Usage: debian_package_test.sh BUILD_DIR VERSION VELNOR_CLI
set -euo pipefail
build=$1 version=$2 cli=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log" >&2; fail "cpack could not build the package"; }
debs=("$scratch"/out/velnor_"$version"_*.deb)
[ -f "${debs[0]}" ] || fail "no velnor_${version}_*.deb was built: $(ls "$scratch/out")"
deb=${debs[0]}

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = velnor ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)'"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture is '$(field Architecture)'"
# dpkg-shlibdeps found the libraries the binaries link, with versions.
depends=$(field Depends)
for library in libc6 libstdc++6 libqt5core5a libqt5gui5 libqt5widgets5; do
  grep -qE "(^|, )${library//+/\\+} \(>= [^)]+\)" <<<"$depends" || fail "Depends lacks a versioned $library: $depends"
done
# Graphviz's library, which reads the DOT graphs of import, ships no symbols
# file, so dpkg-shlibdeps names it without a version.
grep -qE "(^|, )libcgraph6(,| |$)" <<<"$depends" || fail "Depends lacks libcgraph6: $depends"
# LLVM 14's library, which reads the bitcode of import --c.
grep -qE "(^|, )libllvm14( |,|$)" <<<"$depends" || fail "Depends lacks libllvm14: $depends"
# yosys, run for verify --verilog and --verilog-stats, and clang, run for import --c, are recommended.
grep -qw yosys <<<"$(field Recommends)" || fail "Recommends lacks yosys: $(field Recommends)"
grep -qw clang <<<"$(field Recommends)" || fail "Recommends lacks clang: $(field Recommends)"
description=$(field Description)
grep -q "^Hash-chain hardware steganography" <<<"$description" || fail "Description starts '$description'"
grep -q "SPDX-License-Identifier: Apache-2.0" <<<"$description" || fail "Description has no SPDX line"

root=$scratch/root
dpkg-deb -x "$deb" "$root"
grep -q "^License: Apache-2.0" "$root/usr/share/doc/velnor/copyright" || fail "copyright names no Apache-2.0 license"
file "$root/usr/bin/velnor-cli" "$root/usr/bin/velnor" | grep -v ", stripped" && fail "a packaged binary is not stripped"

actual=$("$root/usr/bin/velnor-cli" --version)
[ "$actual" = "velnor-cli $version" ] || fail "unpacked velnor-cli --version printed '$actual'"
# The packaged demo prints exactly what the built one prints.
"$root/usr/bin/velnor-cli" demo --out "$scratch/demo" --stamp packaged >"$scratch/packaged.txt" ||
  fail "unpacked velnor-cli demo exited with $?"
"$cli" demo >"$scratch/built.txt"
diff -u "$scratch/built.txt" "$scratch/packaged.txt" || fail "the packaged demo prints other figures"
grep -q "^signature : [01]\+$" "$scratch/packaged.txt" || fail "the packaged demo printed no signature"
[ "$(find "$scratch/demo" -type f | wc -l)" = 2 ] || fail "the packaged demo did not save its report and key file"
echo "$(basename "$deb"): Depends: $depends"
