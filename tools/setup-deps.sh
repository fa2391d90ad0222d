#!/usr/bin/env bash
# Installs what building and testing Quandrel needs on Debian 12, and only
# what is missing. Sourced by test.sh and run.sh.

quandrel_packages=(
    cmake ninja-build g++ pkg-config
    libgtest-dev libbenchmark-dev
    qt6-base-dev libjpeg-dev libcfitsio-dev liberfa-dev zlib1g-dev
    fonts-dejavu-core
    locales
)

quandrel_as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null 2>&1; then
        sudo "$@"
    else
        echo "Need root rights to run: $*" >&2
        return 1
    fi
}

quandrel_setup_deps() {
    local missing=()
    local package
    for package in "${quandrel_packages[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        quandrel_as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
        quandrel_as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
    # The tests read files under a locale whose decimal separator is a comma.
    if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
        echo "Generating the locale de_DE.UTF-8"
        quandrel_as_root localedef -i de_DE -f UTF-8 de_DE.UTF-8
    fi
}
