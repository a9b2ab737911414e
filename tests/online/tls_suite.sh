#!/bin/sh
# The https cases of the download tests: certificates made now with openssl
# (a test authority, and for localhost one good, one of another name, one
# expired and one signed by an authority nobody trusts), the authority added
# to the private Wine prefix's machine "Root" store, the host's test server
# speaking TLS with each, and the Windows suite's https cases against them.
# The whole file is fetched through Online.dll's Download by bench_download,
# in a process of its own, and compared byte for byte.
# Usage: tls_suite.sh ONLINE_SERVER ADD_ROOT_EXE ONLINE_TESTS_EXE BENCH_EXE
set -e
here=$(cd "$(dirname "$0")/../.." && pwd)
. "$here/tools/dev/wine-env"
server=$1 addroot=$2 tests=$3 bench=$4
[ -x "$server" ] || { echo "tls_suite: $server is not built (make host)" >&2; exit 1; }
command -v openssl >/dev/null || { echo "tls_suite: openssl is missing (tools/dev/setup.sh)" >&2; exit 1; }

work=$(mktemp -d)
cleanup() { exec 3>&- 2>/dev/null || true; wait; rm -rf "$work"; }
trap cleanup EXIT
cd "$work"

"$here/tests/online/make_certs.sh"
"$here/tools/dev/wine-run" "$addroot" "Z:$(echo "$work/ca.der" | tr / '\\')"

mkfifo in
: >ports
"$server" --tls good.pem good.key --tls untrusted.pem untrusted.key \
    --tls othername.pem othername.key --tls expired.pem expired.key <in >ports &
exec 3>in
tries=0
while [ "$(wc -l <ports)" -lt 5 ]; do
    tries=$((tries + 1))
    [ $tries -lt 100 ] || { echo "tls_suite: the server did not start" >&2; exit 1; }
    sleep 0.1
done
# plain, good, untrusted, other name, expired
WIZARD_TLS_PORTS=$(paste -sd, ports)
export WIZARD_TLS_PORTS
plain=$(sed -n 1p ports) good=$(sed -n 2p ports)
"$here/tools/dev/wine-run" "$bench" download "https://localhost:$good/bytes/300000/setup.exe" \
    "Z:$(echo "$work/whole.bin" | tr / '\\')" >/dev/null
curl -s -o expected.bin "http://127.0.0.1:$plain/bytes/300000"
cmp whole.bin expected.bin
echo "tls_suite: 300000 bytes over https, byte for byte"
cd "$here/online"
"$here/tools/dev/wine-run" "$tests" --gtest_filter='*Https*'
