#!/bin/sh
# Makes, in the current folder, the certificates of the https tests with
# openssl: a test authority (ca.pem, and ca.der for the Root store) and, as
# chains with their keys, good.pem for localhost, untrusted.pem signed by an
# authority nobody trusts, othername.pem for another name and expired.pem.
set -e
authority() {  # NAME SUBJECT
    openssl req -x509 -newkey rsa:2048 -nodes -keyout "$1.key" -out "$1.pem" -days 30 \
        -subj "/CN=$2" 2>/dev/null
}
# Names of their own each time: the prefix keeps the authorities of earlier
# runs, and a chain is built by the authority's name.
stamp="$(date +%s)-$$"
authority ca "Online test authority $stamp"
authority stranger "Online stranger authority $stamp"
cat >ca.cnf <<END
[ca]
default_ca = test
[test]
database = index.txt
new_certs_dir = .
serial = serial
default_md = sha256
policy = anything
copy_extensions = copy
unique_subject = no
[anything]
commonName = supplied
END
: >index.txt
echo 1000 >serial
from=$(date -u -d '1 day ago' +%Y%m%d%H%M%SZ)
until=$(date -u -d '30 days' +%Y%m%d%H%M%SZ)
leaf() {  # NAME HOST AUTHORITY START END: NAME.pem holds the chain
    openssl req -new -newkey rsa:2048 -nodes -keyout "$1.key" -out "$1.csr" -subj "/CN=$2" \
        -addext "subjectAltName=DNS:$2" 2>/dev/null
    openssl ca -batch -config ca.cnf -cert "$3.pem" -keyfile "$3.key" -in "$1.csr" \
        -out "$1.crt" -startdate "$4" -enddate "$5" -notext 2>/dev/null
    cat "$1.crt" "$3.pem" >"$1.pem"
}
leaf good localhost ca "$from" "$until"
leaf untrusted localhost stranger "$from" "$until"
leaf othername otherhost.invalid ca "$from" "$until"
leaf expired localhost ca 20200101000000Z 20200201000000Z
openssl x509 -in ca.pem -outform DER -out ca.der

