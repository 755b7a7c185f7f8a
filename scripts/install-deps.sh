#!/usr/bin/env bash
# Installs what building, running and testing need on Debian 12.
# Runs apt-get as root, or through sudo for an ordinary user.
set -euo pipefail

packages=(
    cmake g++ ninja-build
    qt6-base-dev qt6-svg-dev libqt6svg6 qt6-qpa-plugins qt6-translations-l10n
    fonts-ipafont-gothic fonts-noto-cjk
    xvfb xauth x11-utils
    libx11-dev imagemagick xdotool
    dbus at-spi2-core python3-pyatspi
    desktop-file-utils appstream libxml2-utils shared-mime-info dpkg-dev
    clang libclang-rt-14-dev valgrind clang-format clang-tidy
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq -o DPkg::Lock::Timeout=900 "${missing[@]}"
