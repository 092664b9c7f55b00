#!/usr/bin/env bash
# Installs the build into a scratch root as `make install DESTDIR=... PREFIX=/usr`
# does, then checks the file list, the desktop entry, the AppStream metadata,
# the icon sizes and that the installed batch tool runs.
# Usage: installed_tree_test.sh BUILD_DIR EXPECTED_FILE_LIST VERSION
set -euo pipefail
build=$1 expected=$2 version=$3
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null

(cd "$root/usr" && find . -type f | sed 's|^\./||' | LC_ALL=C sort) > "$root/installed.txt"
diff -u "$expected" "$root/installed.txt" || fail "the installed files differ from $expected"

desktop=$root/usr/share/applications/io.github.velnor.Velnor.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate refuses $desktop"
appstreamcli validate --no-net --strict "$root/usr/share/metainfo/io.github.velnor.Velnor.metainfo.xml" ||
  fail "appstreamcli refuses the metainfo file"
# The metadata, the desktop entry and the icon together, as a software centre reads them.
appstreamcli validate-tree --no-net "$root" || fail "appstreamcli refuses the installed tree"
grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/io.github.velnor.Velnor.metainfo.xml" ||
  fail "the metainfo file does not name release $version"

for png in "$root"/usr/share/icons/hicolor/*x*/apps/io.github.velnor.Velnor.png; do
  folder=$(basename "$(dirname "$(dirname "$png")")")  # e.g. 48x48
  size=${folder%%x*}
  file "$png" | grep -q "PNG image data, $size x $size," || fail "$png is not a $size x $size PNG: $(file -b "$png")"
done

for program in velnor velnor-cli; do
  [ -x "$root/usr/bin/$program" ] || fail "$program is not installed as an executable"
done
actual=$("$root/usr/bin/velnor-cli" --version)
[ "$actual" = "velnor-cli $version" ] || fail "installed velnor-cli --version printed '$actual'"
echo "installed tree of $(wc -l < "$root/installed.txt") files is complete and valid"
