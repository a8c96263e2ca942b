#!/usr/bin/env bash
# Ctrl-C while the back end runs: the database comes back byte for byte with its time, no
# working file stays, and the status says the run was interrupted (STATUS_CONTROL_C_EXIT,
# which wine gives its caller as its low byte, 58). Wine delivers no event that
# GenerateConsoleCtrlEvent sends; it turns a SIGINT to a Windows process into the console's
# Ctrl-C event instead, and that is what this test sends.
# Usage: interrupt_test.sh BIN_DIR WINE64 WINEPREFIX
set -euo pipefail
bin=$1 wine=$2
export WINEPREFIX=$3 WINEDEBUG=-all
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/documents" "$work/stand-ins"
cp "$bin/stand_in.exe" "$work/stand-ins/biber.exe"
cp "$bin/pellam4.exe" "$work/stand-ins/"
touch "$work/stand-ins/biber-waits.txt"
# Wine maps the root of the file system to Z:.
export WINEPATH="Z:${work//\//\\}\\stand-ins"

cd "$work/documents"
database='文獻 資料.bib'
printf '@book{wang, author = {王小明}, title = {中文}}\r\n' > "$database"
# Windows keeps file times in units of 100 ns.
touch -d '2020-01-02 03:04:05.1234567' "$database"
cp -p "$database" "$work/original.bib"
printf '\\documentclass{article}\n\\usepackage{biblatex}\n\\begin{document}\\printbibliography\\end{document}\n' > thesis.vdk
printf '<bcf:datasource type="file" datatype="bibtex">%s</bcf:datasource>\n' "$database" > thesis.bcf

"$wine" "$bin/corvina4.exe" thesis > "$work/console.txt" 2>&1 &
run=$!
for _ in $(seq 600); do
  [ -e "$work/stand-ins/biber-running.txt" ] && break
  sleep 0.1
done
fail() { echo "FAILED: $*"; cat "$work/console.txt"; exit 1; }
[ -e "$work/stand-ins/biber-running.txt" ] || fail "the back end never started"
grep -q Zzz "$database" || fail "the database did not hold sort keys while the back end ran"
kill -INT "$run"
status=0
wait "$run" || status=$?
[ "$status" = 58 ] || fail "status $status, not 58 (STATUS_CONTROL_C_EXIT)"
cmp "$database" "$work/original.bib" || fail "the database is not what it was"
[ "$(stat -c %y "$database")" = "$(stat -c %y "$work/original.bib")" ] || fail "the database has a new time"
listing=$(ls | tr '\n' ' ')
[ "$listing" = "thesis.bcf thesis.vdk $database " ] || fail "left in the folder: $listing"
echo "interrupted run restored $database"
