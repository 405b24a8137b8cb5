#!/usr/bin/env bash
# Makes two driver folders for the tablet tests from the Wintab32.dll stand-in: in each, the
# stand-in, "Pen_Tablet.dll" and "Pen_Touch_Tablet.dll", the last signed with a certificate made
# here, once by a supported maker ("accepted") and once by another ("other").
#   make-tablet-drivers.sh STAND_IN_DLL OUT_DIR
set -euo pipefail
standin=$1
out=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for kind in accepted other; do
    case $kind in
    accepted) subject="/CN=Wacom Test Driver Signer/O=Quillon Tests" ;;
    other) subject="/CN=Other Pen Maker/O=Quillon Tests" ;;
    esac
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "$subject" \
        -keyout "$work/$kind.key" -out "$work/$kind.pem" 2>/dev/null
    rm -rf "${out:?}/$kind"
    mkdir -p "$out/$kind"
    cp "$standin" "$out/$kind/Wintab32.dll"
    cp "$standin" "$out/$kind/Pen_Tablet.dll"
    osslsigncode sign -certs "$work/$kind.pem" -key "$work/$kind.key" -h sha256 -n "Pen driver" \
        -in "$standin" -out "$out/$kind/Pen_Touch_Tablet.dll" >/dev/null
done
