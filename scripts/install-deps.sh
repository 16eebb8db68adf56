#!/usr/bin/env bash
# Installs what the game needs to build, run and test on Debian 12 (or a close relative). Where
# pkg-config already finds every library and the tools are there, nothing is installed; where
# there is no apt-get, the missing packages are named instead.
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    libsdl2-dev libsdl2-mixer-dev libfreetype-dev libfontconfig-dev zlib1g-dev
    fonts-ipafont-mincho fluid-soundfont-gm
    libgtest-dev libgmock-dev libbenchmark-dev clang-format
    # CI's checks of the desktop files and the package
    desktop-file-utils appstream dpkg-dev
    # The end-to-end run: a virtual X server, scripted input and screenshots
    xvfb xdotool imagemagick
    # The benchmarks' OpenGL peer: Mesa's llvmpipe through OSMesa
    libosmesa6-dev
)

# What the build and CI need, each with the package that brings it.
libraries=(sdl2 SDL2_mixer freetype2 fontconfig zlib gtest gmock benchmark osmesa)
tools=(cmake c++ pkg-config clang-format desktop-file-validate appstreamcli dpkg-shlibdeps Xvfb xdotool import convert)
have_everything() {
    command -v pkg-config >/dev/null || return 1
    pkg-config --exists "${libraries[@]}" || return 1
    for tool in "${tools[@]}"; do command -v "$tool" >/dev/null || return 1; done
    # The Japanese serif face the prompts (and their reference pictures) are drawn in.
    fc-match -f '%{file}' 'serif:lang=ja' 2>/dev/null | grep -qi mincho || return 1
}
have_everything && exit 0

if ! command -v apt-get >/dev/null; then
    echo "install-deps: no apt-get here; please install the equivalents of these Debian packages:" >&2
    echo "  ${packages[*]}" >&2
    exit 1
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
