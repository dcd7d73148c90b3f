#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing KV Mailbox
# need, when any of them is missing.  Uses sudo when not run as root.
set -euo pipefail

packages=(
  qt6-base-dev qt6-svg-dev libhunspell-dev hunspell-en-us fonts-liberation2
  xvfb xauth poppler-utils imagemagick locales
  cmake ninja-build g++ clang libclang-rt-14-dev pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev libxcb1-dev libfontconfig-dev safecat
  qt6-tools-dev qt6-tools-dev-tools libqt6sql6-sqlite
  openbox trayer xdotool x11-utils dbus-daemon
  printer-driver-cups-pdf
  samba smbnetfs bindfs fuse3
  man-db bsdextrautils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "Please install as root: ${missing[*]}" >&2; exit 1; }
  sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
