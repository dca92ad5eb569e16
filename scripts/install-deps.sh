#!/usr/bin/env bash
# Installs what building, running and testing the ZR250Pro programming software needs (Debian).
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libgl-dev
  libcli11-dev libgtest-dev libgmock-dev
  xvfb xauth imagemagick x11-utils
  dpkg-dev file help2man
  xdg-utils
  # test pages: sound files and the transforms of the decoder
  libsndfile1-dev libfftw3-dev qt6-multimedia-dev
  # a sound server with a null sink, for the test that plays a page
  pulseaudio pulseaudio-utils
  # the printed pager card and fleet sheet are tested by their text and looked at as images
  poppler-utils
  # the Windows programs: cross compiler, GoogleTest's sources to build with it, Wine to run the tests
  g++-mingw-w64-x86-64-posix googletest wine wine64
  # the Windows window under Wine: the Windows fonts Wine stands in for (no serif fallback)
  fonts-wine
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if ((${#missing[@]})); then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
