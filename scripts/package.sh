#!/usr/bin/env bash
# Builds the Debian package build/package/tovo_<version>_<arch>.deb: a release build for /usr
# with Debian's hardening flags, packed by CPack with the dependencies dpkg-shlibdeps finds.
# Prints the package's path as its last line.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh package

# What the build writes and installs gets Debian's modes (0755 folders, 0644 files).
umask 022
# Every hardening Debian knows, immediate binding (-z now) included.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
# The little C there is: the panel's generated Wayland protocol code.
CFLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
export CXXFLAGS CFLAGS LDFLAGS
# --fresh: the compiler flags above are read on a first configure only.
cmake --preset package --fresh
cmake --build --preset package
rm -f build/package/*.deb
cpack --preset package
ls build/package/*.deb
