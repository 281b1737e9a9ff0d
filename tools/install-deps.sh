#!/usr/bin/env bash
# Installs the Debian packages the project needs, when any is missing.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libgl-dev
  libsqlite3-dev libjpeg-dev libfontconfig-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  # The yardstick of the postal-code import benchmark.
  sqlite3
  xvfb xauth fonts-noto-cjk poppler-utils
  # Qt's own Japanese translation, so that standard dialogs speak Japanese.
  qt6-translations-l10n
  clang-14 libclang-rt-14-dev
  # The end-to-end roads: a window manager, real key and mouse events, the accessibility bus,
  # screenshots.
  openbox xdotool wmctrl x11-utils dbus dbus-x11 at-spi2-core python3-pyatspi imagemagick
  # The kana reading through a real Japanese input method.
  fcitx5 fcitx5-mozc fcitx5-frontend-qt6
  # A real printer queue that writes PDF files.
  cups printer-driver-cups-pdf
  # The PNG icons rendered from the SVG; the package, checked by installing it into a fresh root.
  qt6-svg-dev debootstrap desktop-file-utils appstream groff-base
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
