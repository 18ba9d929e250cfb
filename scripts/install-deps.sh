#!/usr/bin/env bash
# Installs what building, running and testing Zarvel needs on Debian 12, skipping what is there.
# With --fuzz also clang and its libFuzzer runtime, for tests/fuzz/run-campaign.sh.
set -euo pipefail
packages=(
    cmake ninja-build g++ ccache pkg-config
    qt6-base-dev qt6-multimedia-dev qt6-svg-dev libgl-dev
    zlib1g-dev libjpeg62-turbo-dev
    fonts-liberation2 fonts-dejavu
    libbenchmark-dev
    xvfb xauth qt6-qpa-plugins
    desktop-file-utils
    poppler-utils
)
if [ "${1:-}" = "--fuzz" ]; then
    packages+=(clang libclang-rt-14-dev)
fi
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
