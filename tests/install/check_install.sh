#!/usr/bin/env bash
# What a user installs: `cmake --install` into a temporary prefix holds the
# programs, a valid desktop entry, the icons, man pages that render without
# warnings, a bash completion that loads and completes, the read-me and the
# licence; the Debian package passes lintian without errors, and unpacked
# into a scratch root its sfxtool answers --version and builds an installer
# with the packaged stub.
# usage: check_install.sh BUILD-DIR
set -euo pipefail
build=$(cd "$1" && pwd)
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/sfxpack bin/sfxtool share/applications/sfxpack.desktop \
         share/icons/hicolor/scalable/apps/sfxpack.svg share/icons/hicolor/48x48/apps/sfxpack.png \
         share/man/man1/sfxpack.1.gz share/man/man1/sfxtool.1.gz \
         share/bash-completion/completions/sfxtool share/mime/packages/sfxpack.xml \
         share/doc/sfxpack/README.md share/doc/sfxpack/LICENSE share/doc/sfxpack/copyright; do
    [ -s "$prefix/$f" ] || fail "cmake --install left out $f"
done
[ -x "$prefix/bin/sfxpack" ] && [ -x "$prefix/bin/sfxtool" ] || fail "the programs are not executable"
cmp -s "$prefix/bin/sfxpack" "$build/tools/sfxpack" || fail "the installed stub differs from the built one"
[ "$("$prefix/bin/sfxtool" --version)" = "sfxtool $version" ] || fail "sfxtool --version: $("$prefix/bin/sfxtool" --version)"
[ "$(env -u DISPLAY "$prefix/bin/sfxpack" --version)" = "sfxpack $version" ] || fail "sfxpack --version without a display"

desktop-file-validate "$prefix/share/applications/sfxpack.desktop" || fail "desktop entry"
# The entry's MIME type is the one the installed definition gives .ini files.
update-mime-database "$prefix/share/mime" >/dev/null 2>&1 || fail "update-mime-database"
grep -q '^MimeType=text/x-sfxpack-script;' "$prefix/share/applications/sfxpack.desktop" || fail "desktop entry's MimeType"
grep -q '^30:text/x-sfxpack-script:\*\.ini$' "$prefix/share/mime/globs2" || fail ".ini files are not text/x-sfxpack-script"
for page in sfxpack sfxtool; do
    warnings=$(MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man $page: $warnings"
done
MANWIDTH=80 man -l "$prefix/share/man/man1/sfxtool.1.gz" 2>/dev/null | grep -q 'SetRegDword: ROOT' \
    || fail "sfxtool(1) lacks the script reference"

# The completion, loaded as bash-completion loads it, completes commands,
# reg commands and root keys.
completions=$(bash -c '
    source /usr/share/bash-completion/bash_completion
    source "$1"
    complete_words() { COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
                       COMPREPLY=(); _sfxtool sfxtool "${COMP_WORDS[-1]}" "${COMP_WORDS[-2]}"; echo "${COMPREPLY[*]}"; }
    complete_words sfxtool ex
    complete_words sfxtool reg set-
    complete_words sfxtool reg query HKEY_CURRENT_U
' bash "$prefix/share/bash-completion/completions/sfxtool") || fail "the completion does not load"
[ "$completions" = $'extract extract-all explain expand\nset-string set-dword\nHKEY_CURRENT_USER' ] \
    || fail "completions: $completions"

# The package.
(cd "$build" && cpack -G DEB -B "$work/deb" >/dev/null) || fail "cpack -G DEB"
deb=$work/deb/sfxpack_${version}_amd64.deb
[ -f "$deb" ] || fail "no $deb: $(ls "$work/deb")"
depends=$(dpkg-deb -f "$deb" Depends)
for dep in xdg-utils libx11-6 libxft2 libxinerama1; do
    [[ $depends == *"$dep"* ]] || fail "Depends lacks $dep: $depends"
done
lintian --fail-on error "$deb" || fail "lintian reports errors"

root=$work/root
dpkg -x "$deb" "$root"
[ "$("$root/usr/bin/sfxtool" --version)" = "sfxtool $version" ] || fail "the packaged sfxtool --version"
mkdir "$work/app"
printf 'hello\n' > "$work/app/hello.txt"
printf '[Setup]\nOutputFile=hello-setup\n\n[Files]\nhello.txt\n\n[Tasks]\nExtractAll: DSKDIR\\Hello\n' > "$work/app/setup.ini"
(cd "$work/app" && "$root/usr/bin/sfxtool" build setup.ini 2>/dev/null) || fail "the packaged sfxtool cannot build"
"$root/usr/bin/sfxtool" verify "$work/app/hello-setup" || fail "the packaged build is not a valid installer"
[ "$("$root/usr/bin/sfxtool" list "$work/app/hello-setup")" = $'hello.txt\t6' ] || fail "the packaged build holds the wrong files"
cmp -s <(head -c "$(stat -c %s "$root/usr/bin/sfxpack")" "$work/app/hello-setup") "$root/usr/bin/sfxpack" \
    || fail "the installer does not start with the packaged stub"
echo "install tree and package: ok ($(basename "$deb"))"
