#!/usr/bin/env bash
# Builds the Debian package from a build folder and checks it as a
# distribution would: lintian finds no error, every file stands where the
# freedesktop and Debian conventions want it, the desktop entry is valid, the
# manual page renders and tells what --help tells (sweeps and parameter
# ranges included), the completion offers every option after its command,
# and the installed binary runs a cycle.
set -u
build=$(realpath "$1")
source "$(dirname "$0")/end_to_end_helpers.sh"
start_in_scratch "$build/kesmir"  # then the packaged binary, once unpacked

run 0 "cpack" cpack -G DEB -B "$scratch/packages" --config "$build/CPackConfig.cmake"
deb=$(ls "$scratch"/packages/kesmir_*.deb 2>/dev/null)
[ -f "$deb" ] || { fail "cpack made no package: $(cat out.txt)"; finish package; }
echo "$(basename "$deb"): $(stat -c %s "$deb") bytes"

run 0 "lintian" lintian --fail-on error "$deb"
sed 's/^/lintian: /' out.txt

# The files, under /usr alone.
dpkg-deb -x "$deb" root
kesmir=$scratch/root/usr/bin/kesmir
[ "$(ls root)" = "usr" ] || fail "the package installs outside /usr: $(ls root)"
share=root/usr/share
for file in usr/bin/kesmir usr/share/man/man1/kesmir.1.gz usr/share/applications/kesmir.desktop \
    usr/share/bash-completion/completions/kesmir usr/share/doc/kesmir/copyright \
    usr/share/doc/kesmir/changelog.gz; do
    [ -f "root/$file" ] || fail "no /$file"
done
for size in 16 22 24 32 48 64 128 256; do
    icon=$share/icons/hicolor/${size}x$size/apps/kesmir.png
    file "$icon" | grep -q "PNG image data, $size x $size," || fail "icon ${size}x$size: $(file "$icon")"
done

# The control fields: the packaged program's version; the libraries it
# links, never a test's.
version=$("$kesmir" --version)
[ "$(dpkg-deb -f "$deb" Version)" = "${version#Version }" ] ||
    fail "package version $(dpkg-deb -f "$deb" Version), program says $version"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
case "$depends" in *libzstd1*) ;; *) fail "no libzstd1 in Depends: $depends" ;; esac
case "$depends" in *gtest* | *libqt6test* | *lintian*) fail "a test's package in Depends: $depends" ;; esac
[ "$(dpkg-deb -f "$deb" Recommends)" = "parallel" ] ||
    fail "Recommends: $(dpkg-deb -f "$deb" Recommends), not parallel for sweeps"

# Hints pass: the entry is in two main categories on purpose.
run 0 "desktop-file-validate" desktop-file-validate "$share/applications/kesmir.desktop"
grep -v ": hint: " out.txt | grep -q . && fail "desktop-file-validate: $(cat out.txt)"
grep -qx "Icon=kesmir" "$share/applications/kesmir.desktop" || fail "the desktop entry names another icon"

# The manual page renders without a warning and tells every option, sweep
# subcommand and parameter range --help tells; the completion offers each
# option after its command.
help=$("$kesmir" --help)
sweep_help=$("$kesmir" sweep --help)
options=$(sed -n '/^Options:/,/^$/p' <<<"$help" | grep -oE -- '^  (-[a-z],)?--[a-z][a-z-]*' | sed 's/.*,//; s/ //g')
sweep_options=$(grep -oE -- '^  --[a-z][a-z-]*' <<<"$sweep_help" | sort -u)
[ -n "$options" ] && [ -n "$sweep_options" ] || fail "the packaged kesmir --help names no option"
MANWIDTH=200 run 0 "man" man --warnings -l "$share/man/man1/kesmir.1.gz"
[ ! -s err.txt ] || fail "man: $(cat err.txt)"
for section in SYNOPSIS OPTIONS "MODEL PARAMETERS" KEYS FILES "EXIT STATUS" ENVIRONMENT; do
    grep -qx "$section" out.txt || fail "the manual page has no $section section"
done
completion() {  # words...: what the completion offers for the last word
    bash -c 'source /usr/share/bash-completion/bash_completion && source "$0" &&
        COMP_WORDS=("$@") COMP_CWORD=$(($# - 1)) COMP_LINE="$*" COMP_POINT=${#COMP_LINE} &&
        { _kesmir 2>/dev/null; printf "%s\n" "${COMPREPLY[@]}"; }' \
        "$share/bash-completion/completions/kesmir" "$@"
}
offered=$(completion kesmir --)
for option in $options $sweep_options; do
    grep -qE -- "^\\s*(-[a-z], )?$option\\b" out.txt || fail "the manual page does not describe $option"
done
for option in $options; do
    grep -qx -- "$option" <<<"$offered" || fail "the completion does not offer $option"
done
offered=$(completion kesmir sweep --)
for option in $sweep_options; do
    grep -qx -- "$option" <<<"$offered" || fail "the completion does not offer sweep $option"
done
# The synopsis lines and the parameters' ranges, as --help prints them.
while read -r line; do
    grep -qF -- "$line" out.txt || fail "the manual page's synopsis lacks: $line"
done < <(sed -n '/^$/q; s/^Usage: //; s/^ *//p' <<<"$sweep_help")
while read -r line; do
    grep -qF -- "$line" out.txt || fail "the manual page lacks the range: $line"
done < <(grep -E '^ +(decimal|whole) numbers' <<<"$help")
for name in $("$kesmir" --print-params | sed -n 's/ = .*//p'); do
    sed -n '/^MODEL PARAMETERS/,/^KEYS/p' out.txt | grep -qw "$name" ||
        fail "the manual page gives no range for $name"
done
[ "$(completion kesmir --set HRe)" = "HRenergy=" ] || fail "--set HRe completes as: $(completion kesmir --set HRe)"
[ "$(completion kesmir sweep st)" = "status" ] || fail "sweep st completes as: $(completion kesmir sweep st)"
[ "$(completion kesmir sweep status r)" = "root" ] ||
    fail "sweep status r completes as: $(completion kesmir sweep status r) (only the folder root)"

# The installed binary runs a cycle headless in an empty folder.
enter run
run 0 "the installed kesmir" "$kesmir" --headless --cycles 1 --delay 0
[ "$(wc -l <dt.dat)" -eq 1 ] || fail "the installed kesmir wrote $(wc -l <dt.dat) dt.dat lines"
cd ..

finish package
