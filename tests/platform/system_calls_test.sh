#!/usr/bin/env bash
# Which of the calls that only some systems have a whole run of corvina4 makes. A build
# that should use none of them (CORVINA_PORTABLE) and still calls one has not been
# tested on its fallbacks at all; a build that should use them and does not has lost its
# fast path without anyone seeing it.
#
#   system_calls_test.sh CORVINA4 absent|present CALL...
set -uo pipefail
corvina4="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
expect="$2"
shift 2
command -v strace > /dev/null || { echo "strace not found: skipped"; exit 77; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
strace -o probe true > /dev/null 2>&1 || { echo "strace cannot trace here: skipped"; exit 77; }

# A stand-in biber, and no preprocessor on PATH: the run swaps the encoded database into
# place, and then copies the decoded text to thesis.bbl itself.
mkdir bin
cat > bin/biber <<'STAND_IN'
#!/bin/sh
for last; do :; done
cat refs.bib > "$last.bbl"
STAND_IN
chmod +x bin/biber
printf '\\addbibresource{refs.bib}\n' > thesis.vdk
: > thesis.bcf
printf '@book{a, author = {王小明}, title = {書}}\n' > refs.bib
cp refs.bib refs.bib.before

# Only corvina4 itself is traced: the programs it starts use what they like.
PATH="$work/bin:/usr/bin:/bin" strace -o trace -e trace="$(IFS=,; echo "$*")" "$corvina4" thesis > console 2>&1
status=$?
[ "$status" = 5 ] || { cat console; echo "FAILED: the run ended with $status, not 5 (no preprocessor)"; exit 1; }
cmp -s refs.bib refs.bib.before || { echo "FAILED: refs.bib changed"; exit 1; }
[ -s thesis.bbl ] || { echo "FAILED: no thesis.bbl"; exit 1; }

failed=0
for call in "$@"; do
  if grep -q "^$call(" trace; then seen=present; else seen=absent; fi
  if [ "$seen" != "$expect" ]; then
    echo "FAILED: $call is $seen in the run, expected $expect"
    failed=1
  fi
done
[ "$failed" = 0 ] || { cat trace; exit 1; }
echo "$* $expect, as expected"
