#!/usr/bin/env bash
# The Debian package as a user meets it: install it, check what it put where, sort the
# example thesis with the installed program, remove it and find nothing left behind.
# Needs root and dpkg; skips (status 77) where they, or TeX, are missing, or where a
# corvina package is already installed (it is the user's, not ours to remove).
#
#   package_test.sh BUILD_DIR SOURCE_DIR
set -uo pipefail
build="$1" source="$2"
skip() { echo "skipped: $*"; exit 77; }
fail() { echo "FAILED: $*"; exit 1; }

[ "$(id -u)" -eq 0 ] || skip "not root"
command -v dpkg > /dev/null || skip "dpkg not found"
for tool in pdflatex biber; do command -v "$tool" > /dev/null || skip "$tool not found"; done
dpkg -s corvina > /dev/null 2>&1 && skip "a corvina package is installed already"

work="$(mktemp -d)"
trap 'dpkg -r corvina > /dev/null 2>&1; rm -rf "$work"' EXIT
(cd "$build" && cpack -G DEB -B "$work/deb" > "$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/deb/corvina_*_*.deb) || fail "no corvina_VERSION_ARCH.deb"
fields=$(dpkg-deb -f "$deb" Depends Recommends)
grep -q "biber | texlive-binaries" <<< "$fields" || fail "Depends lacks the back ends: $fields"

dpkg -i "$deb" > "$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg -i"; }
dpkg -L corvina > "$work/files"
for path in /usr/bin/corvina /usr/bin/corvina4 /usr/share/man/man1/corvina4.1 \
    /usr/share/bash-completion/completions/corvina4 /usr/share/doc/corvina/README.md; do
  grep -qx "$path" "$work/files" || fail "$path is not installed"
done
grep -q pellam "$work/files" && fail "a preprocessor stand-in is installed"
/usr/bin/corvina4 --version | grep -qx "corvina4 [0-9]*\.[0-9]*\.[0-9]*" || fail "corvina4 --version"
if command -v man > /dev/null; then
  MANPAGER=cat man corvina4 2> /dev/null | grep -q "output-directory" || fail "man corvina4"
fi

# The example thesis, sorted by the installed program alone (no build folder on PATH).
cp "$source/examples/utf8/refs.bib" "$work/"
cp "$source/examples/utf8/thesis.vdk" "$work/thesis.tex"
cd "$work"
pdflatex -interaction=nonstopmode thesis.tex > pdflatex.log 2>&1
[ -f thesis.bcf ] || fail "pdflatex wrote no thesis.bcf"
PATH=/usr/bin:/bin corvina4 thesis.tex > corvina4.log 2>&1 || { cat corvina4.log; fail "corvina4 thesis.tex"; }
cmp -s refs.bib "$source/examples/utf8/refs.bib" || fail "refs.bib changed"
grep -q "王" thesis.bbl || fail "thesis.bbl holds no Chinese"
grep -Eq "(xxx|Zzz|0Zz)[0-9A-Za-z]x" thesis.bbl && fail "thesis.bbl keeps sort keys"

dpkg -r corvina > "$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg -r"; }
while read -r path; do
  [ -d "$path" ] || [ ! -e "$path" ] || fail "$path is left after dpkg -r"
done < "$work/files"
echo "package test passed: $(basename "$deb")"
