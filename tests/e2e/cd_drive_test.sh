#!/bin/sh
# The menu from a CD drive: packs the sample medium with medium-pack (with
# the end-to-end recorder in place of every program it names), checks that
# medium-pack refuses it without --force (its manuals are a text file),
# extracts the image's Joliet tree with xorriso, maps it as drive D: of type
# CD-ROM in the private Wine prefix, and runs the disc case of the
# end-to-end suite against D:\. The drive is unmapped afterwards.
# Runs under tools/dev/wine-ctest (display, prefix), alone: Wine is restarted to
# see the drive.
# Usage: cd_drive_test.sh MEDIUM_PACK E2E_TESTS
set -e
here=$(cd "$(dirname "$0")/../.." && pwd)
. "$here/tools/dev/wine-env"
. "$here/tools/dev/wine-display"
pack=$1
suite=$2
fail() { echo "cd_drive_test: $*" >&2; exit 1; }
[ -x "$pack" ] || fail "no medium-pack at $pack (make host builds it)"
[ -f "$suite" ] || fail "no end-to-end suite at $suite"
command -v xorriso >/dev/null || fail "no xorriso (tools/dev/setup.sh installs it)"

work=$(mktemp -d "${TMPDIR:-/tmp}/cd-drive.XXXXXX")
drive="$WINEPREFIX/dosdevices/d:"
before=$(readlink "$drive" 2>/dev/null || true)
drives='HKLM\Software\Wine\Drives'
restore() {
    rm -f "$drive"
    [ -z "$before" ] || ln -s "$before" "$drive"
    "$here/tools/dev/wine-run" reg delete "$drives" /v d: /f >/dev/null 2>&1 || true
    wineserver -k 2>/dev/null || true
    chmod -R u+w "$work" 2>/dev/null || true
    rm -rf "$work"
}
trap restore EXIT

cp -r "$here/examples/medium" "$work/medium"
stand_in "$(dirname "$suite")/e2e_recorder.exe" "$work/medium"

if "$pack" "$work/medium" -o "$work/disc.iso" --dist "$WIZARD_WIN_DIST" >"$work/refused" 2>&1; then
    cat "$work/refused"
    fail "medium-pack packed a medium with errors"
fi
[ ! -e "$work/disc.iso" ] || fail "medium-pack refused the medium but left an image"
grep -q "manuals.txt\" is not a program" "$work/refused" || { cat "$work/refused"; fail "the text-file manual is not named"; }
"$pack" "$work/medium" -o "$work/disc.iso" --dist "$WIZARD_WIN_DIST" --force
xorriso -osirrox on -read_fs norock -indev "$work/disc.iso" -extract / "$work/cd" 2>"$work/xorriso" ||
    { cat "$work/xorriso"; fail "xorriso could not extract the image"; }
chmod -R a-w "$work/cd"

# Wine's mount manager reads the drives when it starts.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
rm -f "$drive"
ln -s "$work/cd" "$drive"
"$here/tools/dev/wine-run" reg add "$drives" /v d: /d cdrom /f >/dev/null
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true

"$here/tools/dev/wine-run" "$suite" "--dist=$WIZARD_WIN_DIST" '--disc=D:\' --gtest_filter='Disc.*'
