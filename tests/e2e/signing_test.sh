#!/bin/sh
# The signed menu: makes with openssl a test root with a code-signing
# certificate below it (PKCS#12, its password in a file) and a time-stamping
# authority, which answers on the loopback interface (tsa_responder.py);
# packs the sample medium with medium-pack --sign --timestamp; extracts the
# image with xorriso; checks the image's wizard.exe and Online.dll with
# osslsigncode verify against the test roots (and not against another
# root); and runs the signing case of the end-to-end suite on them under
# Wine (WinVerifyTrust).
# Usage: signing_test.sh MEDIUM_PACK E2E_TESTS
set -e
here=$(cd "$(dirname "$0")/../.." && pwd)
. "$here/tools/dev/wine-env"
pack=$1
suite=$2
fail() { echo "signing_test: $*" >&2; exit 1; }
[ -x "$pack" ] || fail "no medium-pack at $pack (make host builds it)"
for tool in openssl osslsigncode xorriso python3; do
    command -v $tool >/dev/null || fail "no $tool (tools/dev/setup.sh installs it)"
done

work=$(mktemp -d "${TMPDIR:-/tmp}/signing.XXXXXX")
responder=
cleanup() {
    [ -z "$responder" ] || kill "$responder" 2>/dev/null || true
    chmod -R u+w "$work" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
cd "$work"

authority() {  # NAME SUBJECT
    openssl req -x509 -newkey rsa:2048 -nodes -keyout $1.key -out $1.pem -days 30 -subj "/CN=$2" \
        -addext basicConstraints=critical,CA:true 2>/dev/null
}
below() {  # NAME SUBJECT AUTHORITY EXTENDED_KEY_USAGE
    openssl req -new -newkey rsa:2048 -nodes -keyout $1.key -out $1.csr -subj "/CN=$2" 2>/dev/null
    echo "extendedKeyUsage=$4" >$1.ext
    openssl x509 -req -in $1.csr -CA $3.pem -CAkey $3.key -CAcreateserial -days 30 \
        -extfile $1.ext -out $1.pem 2>/dev/null
}
authority root "Signing Test Root"
authority timeroot "Signing Test Time Root"
below signer "Signing Test Signer" root codeSigning
below tsa "Signing Test Time Stamps" timeroot critical,timeStamping
echo "correct horse" >password
openssl pkcs12 -export -in signer.pem -inkey signer.key -certfile root.pem -out signer.p12 \
    -passout file:password
cat >ts.cnf <<END
[tsa]
default_tsa = test
[test]
serial = $work/tsaserial
signer_cert = $work/tsa.pem
certs = $work/timeroot.pem
signer_key = $work/tsa.key
signer_digest = sha256
default_policy = 1.2.3.4.1
digests = sha256
ess_cert_id_alg = sha256
END
echo 01 >tsaserial

# Two requests, one a file.
python3 "$here/tests/e2e/tsa_responder.py" ts.cnf 2 120 >port &
responder=$!
tries=0
until [ -s port ]; do
    tries=$((tries + 1))
    [ $tries -lt 300 ] || fail "the time-stamping authority did not start"
    sleep 0.1
done
export no_proxy=127.0.0.1 NO_PROXY=127.0.0.1
"$pack" "$here/examples/medium" -o disc.iso --dist "$WIZARD_WIN_DIST" --force \
    --sign signer.p12 --password-file password --timestamp "http://127.0.0.1:$(cat port)/" \
    >packed 2>&1 || { cat packed; fail "medium-pack did not sign the sample medium"; }
grep -q '^Signed       Online.dll, wizard.exe by "CN=Signing Test Signer"' packed ||
    { cat packed; fail "medium-pack does not say what it signed"; }
xorriso -osirrox on -read_fs norock -indev disc.iso -extract / image 2>xorriso ||
    { cat xorriso; fail "xorriso could not extract the image"; }
for f in wizard.exe Online.dll; do
    osslsigncode verify -in image/$f -CAfile root.pem -TSA-CAfile timeroot.pem >verified 2>&1 ||
        { cat verified; fail "$f does not check against the test root"; }
    grep -q "Timestamp Server Signature verification: ok" verified ||
        { cat verified; fail "$f has no time stamp of the test authority"; }
    if osslsigncode verify -in image/$f -CAfile timeroot.pem >/dev/null 2>&1; then
        fail "$f checks against a root it was not signed under"
    fi
done
echo "signing_test: wizard.exe and Online.dll signed, time-stamped and checked against the test root"
"$here/tools/dev/wine-run" "$suite" "--dist=$WIZARD_WIN_DIST" "--disc=$work/image" \
    --gtest_filter='Signing.*'
