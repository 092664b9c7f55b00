#!/bin/bash
# Runs one characterization case through the real velnor-cli and compares every
# output with the expected copy; with --capture it writes that copy instead.
#   check_case.sh CLI DATA_DIR NAME [--capture]
# The case's options are the line of DATA_DIR/characterization/cases.txt that
# starts with NAME; relative paths in them are taken from DATA_DIR. Each case
# runs twice: once with --out, --stamp NAME and --verbose (labelled standard
# output, diagnostic standard error, the report and the key file), once with
# --json. The exit status of each run is part of what is compared.
set -u
cli=$1 data=$2 name=$3 mode=${4:-check}
line=$(grep -m1 "^$name " "$data/characterization/cases.txt") || { echo "no case named $name"; exit 1; }
eval "options=(${line#"$name "})"

actual=$(mktemp -d) || exit 1
trap 'rm -rf "$actual"' EXIT
mkdir "$actual/files"
cd "$data" || exit 1
"$cli" run "${options[@]}" --out "$actual/files" --stamp "$name" --verbose >"$actual/stdout.txt" 2>"$actual/verbose.txt"
echo "exit $?" >"$actual/status.txt"
"$cli" run "${options[@]}" --json >"$actual/json.txt" 2>>"$actual/status.txt"
echo "json exit $?" >>"$actual/status.txt"
mv "$actual"/files/* "$actual" 2>/dev/null
rmdir "$actual/files"

expected=$data/characterization/expected/$name
if [ "$mode" = --capture ]; then
    rm -rf "$expected" && mkdir -p "$expected" && cp "$actual"/* "$expected"/
    exit
fi
diff -ru "$expected" "$actual"
