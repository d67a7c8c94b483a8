#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need, when any is missing.
set -euo pipefail
packages=(
    cmake make g++ pkg-config ccache
    qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools qt6-documentation-tools qt6-qpa-plugins
    qt6-svg-dev libqt6svg6
    libgl-dev libxcb1-dev
    libsqlite3-dev sqlite3 libical-dev libgtest-dev libbenchmark-dev desktop-file-utils
    fonts-dejavu-core xvfb openbox trayer xdotool x11-utils x11-apps
    qt6-translations-l10n poppler-utils python3
    dpkg-dev fakeroot lintian appstream file imagemagick
)
missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi
echo "Installation des paquets manquants: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
