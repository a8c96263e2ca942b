#!/usr/bin/env bash
# The Chinese READMEs against the English one and the program: every option the program
# lists, every exit status of the English table and nothing else, every shell command line
# as the English README gives it, and the links between them. A translation that falls
# behind the program tells a writer something false in the language they read first.
#
#   readme_test.sh SOURCE_DIR CORVINA4
set -uo pipefail
source="$1" corvina4="$2"
failed=0
fail() { echo "FAILED: $*"; failed=1; }

statuses() { grep -E '^\| [0-9]+ \|' "$1" | cut -d'|' -f2 | tr -d ' ' | tr '\n' ' '; }
# The lines of the ```sh blocks.
shell_lines() { awk '/^```sh$/ { on = 1; next } /^```$/ { on = 0 } on' "$1"; }
options=$("$corvina4" --help | grep -oE '^  -[-a-z]+' | tr -d ' ')
[ -n "$options" ] || fail "corvina4 --help lists no option"

head -5 "$source/README.md" | grep -q '(README.zh-TW.md)' || fail "README.md does not link README.zh-TW.md at its top"
head -5 "$source/README.md" | grep -q '(README.zh-CN.md)' || fail "README.md does not link README.zh-CN.md at its top"
english_statuses=$(statuses "$source/README.md")
for readme in README.zh-TW.md README.zh-CN.md; do
  file="$source/$readme"
  [ -f "$file" ] || { fail "$readme is missing"; continue; }
  grep -q '(README.md)' "$file" || fail "$readme does not link README.md"
  [ "$(statuses "$file")" == "$english_statuses" ] ||
    fail "$readme gives the exit statuses [$(statuses "$file")], README.md [$english_statuses]"
  for option in $options; do
    grep -q "^| \`$option" "$file" || fail "$readme has no row for $option in its table of options"
  done
  while IFS= read -r line; do
    grep -qxF -- "$line" "$source/README.md" || fail "$readme runs a command README.md does not give: $line"
  done < <(shell_lines "$file")
done
[ "$failed" = 0 ] && echo "the Chinese READMEs agree with README.md and corvina4 --help"
exit "$failed"
