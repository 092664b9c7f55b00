#!/usr/bin/env bash
# Renders both manual pages as man does, with every groff warning on, and checks
# that velnor-cli(1) documents each command and option that velnor-cli --help lists.
# Usage: man_pages_test.sh MAN_DIR VELNOR_CLI
set -euo pipefail
man_dir=$1 cli=$2
fail() { echo "FAIL: $*" >&2; exit 1; }

for page in velnor velnor-cli; do
  file=$man_dir/$page.1.gz
  [ -s "$file" ] || fail "$file is missing"
  messages=$(MANWIDTH=80 man -l -Tutf8 --warnings=w "$file" 2>&1 >/dev/null) || fail "man cannot render $file"
  [ -z "$messages" ] || fail "man -l $file: $messages"
  text=$(MANWIDTH=80 man -l "$file" 2>/dev/null)
  for section in NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" FILES "SEE ALSO"; do
    grep -q "^$section\$" <<<"$text" || fail "$page(1) has no section $section"
  done
done

source=$(zcat "$man_dir/velnor-cli.1.gz")
help=$("$cli" --help)
commands=$(grep -oE '^  velnor-cli [a-z]+' <<<"$help" | awk '{print $2}' | sort -u)
options=$(grep -oE -- '--[a-z][a-z-]*' <<<"$help" | sort -u)
if [ -z "$commands" ] || [ -z "$options" ]; then fail "velnor-cli --help lists no commands or options"; fi
for command in $commands; do
  grep -qE "^\.B(R)? $command\$" <<<"$source" || fail "velnor-cli(1) does not document the command $command"
done
for option in $options; do
  grep -qF -- "${option//-/\\-}" <<<"$source" || fail "velnor-cli(1) does not document $option"
done
echo "both pages render cleanly; velnor-cli(1) covers $(wc -w <<<"$commands") commands and $(wc -w <<<"$options") options"
