#!/usr/bin/env bash
# `cmake --install` into a fresh prefix: every file in its place, the manual pages whole,
# no stand-in installed, and the installed bash completion offering options and documents.
#
#   install_test.sh BUILD_DIR
set -uo pipefail
build="$1"
fail() { echo "FAILED: $*"; exit 1; }
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" > "$prefix.log" 2>&1 || { cat "$prefix.log"; fail "cmake --install"; }
rm -f "$prefix.log"
for path in bin/corvina bin/corvina4 share/man/man1/corvina.1 share/man/man1/corvina4.1 \
    share/doc/corvina/README.md share/doc/corvina/examples/latexmkrc \
    share/bash-completion/completions/corvina share/bash-completion/completions/corvina4; do
  [ -f "$prefix/$path" ] || fail "$path is not installed"
done
[ -z "$(find "$prefix" -name 'pellam*')" ] || fail "a preprocessor stand-in is installed"

for page in corvina corvina4; do
  file="$prefix/share/man/man1/$page.1"
  grep -n "@[A-Z_][A-Z_]*@" "$file" && fail "$page.1 keeps a placeholder"
  if command -v man > /dev/null; then
    text=$(MANWIDTH=100 man -l "$file" 2> "$prefix/man.err") || fail "man -l $page.1"
    [ -s "$prefix/man.err" ] && { cat "$prefix/man.err"; fail "man warns on $page.1"; }
    for heading in SYNOPSIS OPTIONS FILES "EXIT STATUS" EXAMPLES "\-\-chinese-first" "\-\-output-directory" latexmk arara; do
      grep -q -- "$heading" <<< "$text" || fail "$page.1 has no $heading"
    done
  fi
done
MANWIDTH=100 man -l "$prefix/share/man/man1/corvina4.1" | grep -q -- " -y" || fail "corvina4.1 lacks -y"
MANWIDTH=100 man -l "$prefix/share/man/man1/corvina.1" | grep -q -- "^ *-y" && fail "corvina.1 offers -y"

# Completion, as bash calls it: the word list, the word's index, then the function.
folder="$prefix/doc folder"
mkdir -p "$folder/sub"
touch "$folder/thesis.vdk" "$folder/thesis.tex" "$folder/slides.tex" "$folder/notes.txt" "$folder/refs.bib"
complete_line() {  # PROGRAM WORDS... -> the offered words, one a line, sorted
  (cd "$folder" && bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1));
    _corvina "$1" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}";
    printf "%s\n" "${COMPREPLY[@]}"' _ "$prefix/share/bash-completion/completions/corvina4" "$@" | LC_ALL=C sort)
}
expect() {  # EXPECTED_LINES PROGRAM WORDS...
  local want="$1" got
  shift
  got=$(complete_line "$@")
  [ "$got" == "$want" ] || fail "completing '$*': got [$got], want [$want]"
}
expect $'-y' corvina4 -y
expect $'--all-entries\n--chinese-first\n--explain\n--help\n--output-directory\n--version' corvina --
expect $'--chinese-first' corvina4 --ch
expect "" corvina -y
expect $'slides.tex\nsub\nthesis\nthesis.tex' corvina4 ""
expect $'thesis\nthesis.tex' corvina4 -y th
expect "sub" corvina4 --output-directory ""
expect $'refs.bib\nsub' corvina4 -y --explain ""
echo "install test passed"
