#!/usr/bin/env bash
# Installs the build into an empty prefix, moves the prefix elsewhere so that nothing can lean
# on the place it was installed to, then checks the layout and uses the installed programs
# from the new place, with no display.
# Usage: install_test.sh BUILD_DIR SOURCE_DIR VERSION app|no-app PYTHON_MODULE_FILE|no-python
set -euo pipefail

build=$1
source=$2
version=$3
with_app=$4
python_module=${5:-no-python}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

cmake --install "$build" --prefix "$work/first" >"$work/install.log" ||
  { cat "$work/install.log" >&2; fail "cmake --install into an empty prefix"; }
mv "$work/first" "$work/moved"
prefix=$work/moved
cd "$work"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

# --- The layout: exactly these files, nothing more.
pages=(lamivex-cli lamivex-cli-scan lamivex-cli-iterate lamivex-cli-convert lamivex-cli-view lamivex-cli-crystal lamivex-cli-surface lamivex-cli-db lamivex-cli-build lamivex-cli-screen lamivex-cli-merge lamivex-cli-fit)
expected=(bin/lamivex-cli lib/lamivex/lamivex-plot.so lib/lamivex/lamivex-mdb.so
  share/lamivex/structures.sqlite share/doc/lamivex/README.md)
if [ "$with_app" = app ]; then
  pages+=(lamivex)
  expected+=(bin/lamivex share/applications/lamivex.desktop
    share/icons/hicolor/scalable/apps/lamivex.svg)
fi
for page in "${pages[@]}"; do
  expected+=("share/man/man1/$page.1")
done
if [ "$python_module" != no-python ]; then
  # The package: the extension and every file of python/lamivex.
  expected+=("lib/python3/dist-packages/lamivex/$python_module")
  while IFS= read -r file; do
    expected+=("lib/python3/dist-packages/lamivex/$file")
  done < <(cd "$source/python/lamivex" && find . -maxdepth 1 -type f -printf '%P\n')
fi
docs=()
while IFS= read -r file; do
  docs+=("$file")
done < <(cd "$source/docs" && find . -maxdepth 1 -name '*.md' -printf '%P\n' &&
  { [ ! -d images ] || find images -type f \( -name '*.png' -o -name '*.svg' -o -name '*.jpg' \); })
for file in "${docs[@]}"; do
  expected+=("share/doc/lamivex/$file")
done
# The starter crystals of screen --substrate-crystals, beside the starter database.
for file in "$source"/data/crystals/*.cif; do
  expected+=("share/lamivex/crystals/${file##*/}")
done

printf '%s\n' "${expected[@]}" | sort >"$work/expected.txt"
(cd "$prefix" && find . -type f -printf '%P\n' | sort) >"$work/installed.txt"
diff -u "$work/expected.txt" "$work/installed.txt" >&2 ||
  fail "installed files differ from the layout (- expected, + installed)"
for file in "${expected[@]}"; do
  [ -s "$prefix/$file" ] || fail "$file is empty"
done
for program in "$prefix"/bin/*; do
  [ -x "$program" ] || fail "$program is not executable"
  # Whole texts, not pipes into grep -q: with pipefail an early grep exit reads as failure.
  paths=$(readelf -d "$program" | grep -E 'RPATH|RUNPATH' || true)
  if grep -qF "$build" <<<"$paths"; then
    fail "$program looks for libraries in the build tree"
  fi
done

# The documents are the sources' own text, in the build tree (where build/bin/lamivex
# looks) as well as installed.
grep -qx 'manual.md' <(printf '%s\n' "${docs[@]}") || fail "docs/manual.md is missing"
cmp -s "$source/README.md" "$prefix/share/doc/lamivex/README.md" || fail "README.md differs"
for file in "${docs[@]}"; do
  cmp -s "$source/docs/$file" "$prefix/share/doc/lamivex/$file" || fail "installed $file differs"
  cmp -s "$source/docs/$file" "$build/share/doc/lamivex/$file" ||
    fail "build/share/doc/lamivex/$file is missing or stale"
done

# --- lamivex-cli from the moved prefix: it starts without Qt, which only its picture
# module loads.
cli=$prefix/bin/lamivex-cli
libraries=$(ldd "$cli")
if grep -q 'libQt' <<<"$libraries"; then
  fail "lamivex-cli loads Qt at its start"
fi
[ "$("$cli" --version)" = "lamivex-cli $version" ] || fail "lamivex-cli --version"
"$cli" --help >"$work/cli-help.txt" || fail "lamivex-cli --help exit status"
grep -qF "Run 'lamivex-cli SUBCOMMAND --help' for its options" "$work/cli-help.txt" ||
  fail "lamivex-cli --help has no pointer to the subcommands' help"
grep -qF "share/doc/lamivex/manual.md" "$work/cli-help.txt" ||
  fail "lamivex-cli --help does not name the manual"

# The Python module from the moved prefix, as the README tells: PYTHONPATH at dist-packages.
if [ "$python_module" != no-python ]; then
  vvo=$(PYTHONPATH="$prefix/lib/python3/dist-packages" /usr/bin/python3 -c \
    'import lamivex; print(lamivex.scan(hexagonal=True, a1=2.884, a2=2.884, alpha=60, b1=4.9952, b2=4.9952, beta=60)["best"]["vvo"])') ||
    fail "the installed Python module does not run"
  [[ "$vvo" == -0.49* ]] || fail "the installed Python module gives V/Vo $vvo"
fi

# The installed starter database holds Au(111) (hexagonal, a = 2.8836 A), and a scan that
# takes it from there computes what the same numbers typed as options compute.
db=$prefix/share/lamivex/structures.sqlite
au=$("$cli" db "$db" show 'Au(111)' --json) || fail "Au(111) is not in the installed database"
grep -qF '"a1":2.8836,"a2":2.8836,"alpha":60' <<<"$au" || fail "Au(111) record: $au"
picked=$("$cli" scan --substrate-from "$db:Au(111)" --non-hexagonal --json) ||
  fail "scan --substrate-from"
typed=$("$cli" scan --a1 2.8836 --a2 2.8836 --alpha 60 --json 2>/dev/null)
default=$("$cli" scan --json 2>/dev/null)
grep -qE '^\{"steps":241,"best":\{"vvo":' <<<"$picked" || fail "scan JSON: $picked"
# The results agree; only the inputs (the substrate's name) differ.
[ "${picked%%,\"lamivex_version\"*}" = "${typed%%,\"lamivex_version\"*}" ] ||
  fail "scan with Au(111) from the database: $picked, typed: $typed"
[ "$picked" != "$default" ] || fail "scan with Au(111) gives the default substrate's result"

# --- Every example the help texts show runs as shown, in order (the db examples build on
# each other), with the installed programs first on PATH and the starter database at hand.
mkdir "$work/examples"
cp "$db" "$work/examples/structures.sqlite"
for sub in "" scan iterate crystal db; do
  # shellcheck disable=SC2086 # an empty $sub is the top-level help
  examples=$("$cli" $sub --help | sed -n 's/^  \$ //p')
  [ -n "$examples" ] || fail "lamivex-cli $sub --help shows no examples"
  while IFS= read -r example; do
    (cd "$work/examples" && PATH="$prefix/bin:$PATH" bash -c "$example") \
      >/dev/null 2>"$work/example.err" || fail "example failed: $example: $(cat "$work/example.err")"
    [ ! -s "$work/example.err" ] || fail "example wrote to stderr: $example: $(cat "$work/example.err")"
  done <<<"$examples"
done

# --- The man pages: named, cross-referenced, and in step with the programs' options.
plain() { sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' -e 's/\\[,/]//g' "$1"; }
for page in "${pages[@]}"; do
  file=$prefix/share/man/man1/$page.1
  upper=$(tr '[:lower:]' '[:upper:]' <<<"$page")
  grep -q "^\.TH $upper \"1\" " "$file" || fail "$page.1 has no .TH $upper 1"
  grep -qE "^$page \\\\- [a-z]" "$file" || fail "$page.1 has no NAME line"
  grep -qF '.SH "SEE ALSO"' "$file" || fail "$page.1 has no SEE ALSO"
  for other in "${pages[@]}"; do
    [ "$other" = "$page" ] && continue
    grep -qF ".BR $other (1)" "$file" || fail "$page.1 does not refer to $other(1)"
  done
  case $page in
  lamivex) help=$("$prefix/bin/lamivex" --help) ;;
  lamivex-cli) help=$("$cli" --help) ;;
  *) help=$("$cli" "${page#lamivex-cli-}" --help) ;;
  esac
  options=$(grep -oE '^ +(-h, ?)?--[a-z0-9-]+' <<<"$help" | sed -E 's/^ +(-h, ?)?//')
  [ -n "$options" ] || fail "no options found in the help behind $page.1"
  page_text=$(plain "$file")
  for option in $options; do
    grep -qF -- "$option" <<<"$page_text" || fail "$page.1 lacks $option"
  done
done
grep -qF 'put-substrate' <<<"$(plain "$prefix/share/man/man1/lamivex-cli-db.1")" ||
  fail "lamivex-cli-db.1 does not show the db actions"

# --- The desktop program: answers --help and --version with no display at all.
if [ "$with_app" = app ]; then
  app=$prefix/bin/lamivex
  [ "$(timeout 20 "$app" --version)" = "lamivex $version" ] || fail "lamivex --version"
  timeout 20 "$app" --help >"$work/app-help.txt" 2>"$work/app-help.err" ||
    fail "lamivex --help exit status"
  [ ! -s "$work/app-help.err" ] || fail "lamivex --help wrote to stderr: $(cat "$work/app-help.err")"
  grep -q '^Usage: lamivex ' "$work/app-help.txt" || fail "lamivex --help has no usage line"
  grep -qF "share/doc/lamivex/manual.md" "$work/app-help.txt" ||
    fail "lamivex --help does not name the manual"
  grep -qF "lamivex-cli" "$work/app-help.txt" || fail "lamivex --help does not name lamivex-cli"

  desktop=$prefix/share/applications/lamivex.desktop
  command -v desktop-file-validate >/dev/null ||
    fail "desktop-file-validate is missing (Debian package desktop-file-utils)"
  report=$(desktop-file-validate "$desktop" 2>&1) || fail "lamivex.desktop: $report"
  [ -z "$report" ] || fail "lamivex.desktop: $report"
  grep -qx 'Exec=lamivex' "$desktop" || fail "lamivex.desktop does not start bin/lamivex"
  icon=$(sed -n 's/^Icon=//p' "$desktop")
  [ -s "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ] ||
    fail "lamivex.desktop names the icon '$icon', which is not installed"
else
  [ ! -e "$prefix/bin/lamivex" ] || fail "bin/lamivex installed without the desktop program"
fi

echo "install layout, installed programs and man pages OK"
