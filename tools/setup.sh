#!/bin/sh
# Installs the Debian packages that building, playing and testing need,
# when any of them is missing. Uses sudo when not run as root.
#   tools/setup.sh          the desktop edition
#   tools/setup.sh --web    and the browser edition: Emscripten, the QR code
#                           library of the teacher's page, Chromium, Firefox
#                           ESR, WebKitGTK's WebDriver (with its MiniBrowser),
#                           a QR code reader and a PDF reader for its tests,
#                           Node.js and npm
#                           (a Node.js that is already on the PATH is used as it is)
set -eu

packages="cmake g++ make binutils qt6-base-dev qt6-multimedia-dev libqrcodegencpp-dev libpulse-dev libgl-dev libx11-dev xvfb xauth xdotool x11-utils imagemagick strace pulseaudio pulseaudio-utils dbus dbus-bin at-spi2-core python3 python3-pyatspi desktop-file-utils appstream dpkg-dev file"
if [ "${1:-}" = "--web" ]; then
    packages="$packages emscripten node-qrcode-generator chromium firefox-esr webkit2gtk-driver zbar-tools poppler-utils"
    command -v node >/dev/null 2>&1 || packages="$packages nodejs"
    command -v npm >/dev/null 2>&1 || packages="$packages npm"
fi

missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

echo "Installing:$missing"
if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
# shellcheck disable=SC2086
$sudo apt-get install -y -qq --no-install-recommends $missing
