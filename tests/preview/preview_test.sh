#!/bin/sh
# medium-preview on the sample medium, in English and Japanese: one picture
# for each page and each option the checker lists, each page's title in its
# picture's title line as the checker prints it, a title made too long for
# its line reported as title-clipped, and the Japanese pages reported as
# glyphs-missing, a warning about this machine, where the system has no face
# for Japanese: the menu runs in a prefix of the test's own that sees Wine's
# fonts and the Liberation faces (Arial's stand-in), and none of the host's
# faces for Asian scripts.
# Runs on a display of its own, so that its mouse disturbs no other test.
here=$(cd "$(dirname "$0")/../.." && pwd)
check=$here/build/host/tools/medium_check/medium-check
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*"; failed=1; }
failed=

cp -r "$here/examples/medium" "$tmp/medium"
sed -i 's/^name=Archive Manager %V/name=Archive Manager with a name far, far too long for the line it is shown on %V/' \
    "$tmp/medium/tools/archiver/QXMSETUP.INI"
cat > "$tmp/fonts.conf" <<XML
<?xml version="1.0"?>
<fontconfig><dir>/usr/share/fonts/truetype/liberation</dir><cachedir>$tmp/fontcache</cachedir></fontconfig>
XML

. "$here/tools/dev/wine-env"
env -u DISPLAY FONTCONFIG_FILE="$tmp/fonts.conf" "$here/tools/medium-preview" "$tmp/medium" \
    --prefix "$here/build/wp-preview-test-$WIZARD_WIN" --dist "$WIZARD_WIN_DIST" \
    -o "$tmp/out" --lang english,japanese --json \
    > "$tmp/report.json" 2> "$tmp/errors.txt"
status=$?
[ $status -le 1 ] || { cat "$tmp/errors.txt"; fail "medium-preview ended with $status"; }

for lang in english japanese; do
    "$check" "$tmp/medium" --language $lang --json > "$tmp/check-$lang.json"
    # Pages and options as the checker lists them, and each page's title.
    want=$(python3 -c 'import json, sys
pages = json.load(sys.stdin)["pages"]
print(sum(1 + len(p["options"]) for p in pages))' < "$tmp/check-$lang.json")
    have=$(ls "$tmp/out/$lang" | grep -c '\.png$')
    [ "$want" -gt 10 ] || fail "$lang: the checker lists only $want pages and options"
    [ "$have" = "$want" ] || fail "$lang: $have pictures, the checker lists $want pages and options"
    python3 -c 'import json, sys
for p in json.load(sys.stdin)["pages"]: print("%d\t%s" % (p["page"], p["title"]))' \
        < "$tmp/check-$lang.json" > "$tmp/titles-$lang.txt"
    # The title control in page-N's picture.
    awk -F'\t' '$1 == "shot" { page = ($4 == 0) ? $3 : 0 }
                $1 == "ctl" && $2 == 1001 && page { print page "\t" $10 }' \
        "$tmp/out/$lang/walk.txt" > "$tmp/shown-$lang.txt"
    [ -s "$tmp/titles-$lang.txt" ] || fail "$lang: no page titles from the checker"
    cmp -s "$tmp/titles-$lang.txt" "$tmp/shown-$lang.txt" ||
        fail "$lang: titles differ: $(diff "$tmp/titles-$lang.txt" "$tmp/shown-$lang.txt" | head -5)"
    [ -f "$tmp/out/$lang/page-1.png" ] && [ -f "$tmp/out/$lang/page-1-option-1.png" ] ||
        fail "$lang: no page-1.png and page-1-option-1.png"
done

# The report's findings, one line each: "LANGUAGE: SEVERITY CODE FILE: MESSAGE".
python3 -c 'import json, sys
for run in json.load(sys.stdin)["runs"]:
    for f in run["findings"]: print("%s: %s %s %s: %s" % (run["language"], f["severity"], f["code"], f["file"], f["message"]))' \
    < "$tmp/report.json" > "$tmp/findings.txt" || fail "no JSON report"
grep -q '^english: warning title-clipped tools\\archiver\\QXMSETUP.INI: page [0-9]*, option [0-9]: "Archive Manager with' \
    "$tmp/findings.txt" || fail "no title-clipped for the long title"
[ "$(grep -c '^english: warning title-clipped' "$tmp/findings.txt")" = 1 ] ||
    fail "title-clipped in English other than the long title"
for page in 1 2 3; do
    grep -q "^japanese: warning glyphs-missing translat.ini: page $page: .* which has no glyph for .*this machine has no face \"MS UI Gothic\"" \
        "$tmp/findings.txt" || fail "no glyphs-missing about this machine for Japanese page $page"
done
grep -q '^english: [a-z]* glyphs-missing' "$tmp/findings.txt" && fail "glyphs-missing in English"
grep -q '"index": ".*index.html"' "$tmp/report.json" && [ -s "$tmp/out/index.html" ] || fail "no index.html"

if [ -n "$failed" ]; then
    echo "--- report"; cat "$tmp/report.json"; cat "$tmp/errors.txt"
    exit 1
fi
echo "medium-preview: pictures, titles and findings as expected"
