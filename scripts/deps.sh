#!/usr/bin/env bash
# Makes sure the Debian packages that building, testing and the demo need are installed.
# As root it installs what is missing with apt-get; as anyone else it prints the apt-get line
# and fails, so that nothing half-works.
# Usage: scripts/deps.sh [package]   ("package": also what building and checking the .deb needs)
set -euo pipefail

packages=(
    # build
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev libxml2-dev libcurl4-openssl-dev libbenchmark-dev
    # the panel's window activation on Wayland: Qt's platform interface (a private header),
    # libwayland and the xdg-activation protocol
    qt6-base-private-dev libwayland-dev wayland-protocols
    # translations: lupdate and lrelease, and Qt's CMake support for them (qt_add_lupdate)
    qt6-l10n-tools qt6-tools-dev
    # run time: SVG icons, the Qt platform plugins, Qt's own translations
    libqt6svg6 qt6-qpa-plugins qt6-translations-l10n
    # tests: private session bus (dbus-run-session), validators, certificates, a real X display,
    # tray and notifications
    dbus dbus-daemon dbus-x11 desktop-file-utils appstream openssl
    xvfb xauth x11-utils xdotool trayer dunst libnotify-bin imagemagick
    # the accessibility bus and a screen reader's view of it; the German and French locales the
    # translation tests run in
    at-spi2-core python3-pyatspi locales
    # the README's pictures (scripts/screenshots.sh): the font they are drawn in
    fonts-dejavu-core
    # tests under Wayland: weston's headless back end and Qt's Wayland platform
    weston qt6-wayland
    # fuzzing (scripts/fuzz.sh) and the tests' corpus replays: clang with libFuzzer and the
    # sanitizer run times; llvm for the symbolizer that turns a finding's stack into file and line
    clang-15 libfuzzer-15-dev llvm
)
if [ "${1:-}" = package ]; then
    packages+=(
        # scripts/package.sh and package-test.sh: Debian's build flags and library scan, the
        # package checker, manual pages, and gdbus for a D-Bus call with a dictionary argument
        dpkg-dev lintian man-db libglib2.0-bin
    )
fi

locales=(de_DE.UTF-8 fr_FR.UTF-8)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
# locale -a spells them de_DE.utf8.
missing_locales=()
for name in "${locales[@]}"; do
    if ! locale -a 2>/dev/null | grep -qx "${name%.UTF-8}.utf8"; then
        missing_locales+=("$name")
    fi
done
[ ${#missing[@]} -eq 0 ] && [ ${#missing_locales[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    if [ ${#missing[@]} -gt 0 ]; then
        echo "These packages are missing. Install them, then run this command again:" >&2
        echo "  sudo apt-get install -y ${missing[*]}" >&2
    fi
    for name in "${missing_locales[@]}"; do
        echo "The locale $name is missing: add \"$name UTF-8\" to /etc/locale.gen and run" \
            "sudo locale-gen." >&2
    done
    exit 1
fi
if [ ${#missing[@]} -gt 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
if [ ${#missing_locales[@]} -gt 0 ]; then
    for name in "${missing_locales[@]}"; do
        grep -qx "$name UTF-8" /etc/locale.gen || echo "$name UTF-8" >>/etc/locale.gen
    done
    locale-gen >/dev/null
fi
