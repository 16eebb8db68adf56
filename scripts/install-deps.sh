#!/usr/bin/env bash
# Installs what the game needs to build, run and test on Debian 12 (or a close relative).
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    libsdl2-dev libsdl2-mixer-dev libassimp-dev libfreetype-dev libfontconfig-dev zlib1g-dev
    fonts-ipafont-mincho fluid-soundfont-gm
    libgtest-dev libgmock-dev libbenchmark-dev clang-format
)
# The end-to-end run: a virtual X server, scripted input and screenshots.
packages+=(xvfb xdotool imagemagick)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
