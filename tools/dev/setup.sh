#!/bin/sh
# Installs what the build and the tests need, from Debian's packages only.
# librsvg2-bin, python3 and the DejaVu fonts render the artwork for the
# larger display scales during the build (tools/generators/make-art --scaled); xdotool
# lets tools/dev/demo click through to the download dialog.
# wine64 and the 64-bit compiler serve machines that run no 32-bit code
# (tools/dev/wine-env). clang and its runtimes (libFuzzer among them) serve the
# fuzz build (tools/dev/fuzz); openssl and libssl-dev the hashing on the host and
# the https tests; fonts-liberation the previews (tools/medium-preview).
# (tools/dev/wine-env). xorriso writes medium-pack's disc images and
# osslsigncode signs the menu's files in them (python3 answers the signing
# case's time-stamp requests); the fonts
# carry the scripts of the menu's languages under Wine, and xdotool moves the
# pointer off the menu, for tools/language-shots: fonts-ipafont-gothic stands
# in for the Japanese faces of Windows, fonts-wqy-zenhei for the Chinese and
# Korean ones (language_faces in tools/dev/wine-display), for it and for the
# previews.
# Idempotent: quiet and quick when everything is already there.
set -e
need=""
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
for p in g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine32:i386 wine64 xvfb xauth cmake g++ make googletest zip imagemagick curl locales clang-14 libclang-rt-14-dev fonts-liberation librsvg2-bin python3 fonts-dejavu-core xdotool openssl libssl-dev xorriso osslsigncode fonts-droid-fallback fonts-tlwg-loma-ttf fonts-ipafont-gothic fonts-wqy-zenhei; do
    have "$p" || need="$need $p"
done
[ -z "$need" ] && exit 0
if [ "$(id -u)" != 0 ]; then
    echo "setup: missing packages:$need (run as root to install them)" >&2
    exit 1
fi
echo "setup: installing$need"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq $need >/dev/null
