#!/usr/bin/env bash
# The Debian package from build to removal, on this machine, as root: builds it
# (scripts/package.sh), lints it, installs it with apt-get, runs the installed programs' command
# lines (--help, --version, an unknown option), checks the installed manual pages, desktop entries
# and AppStream data, has a session bus start the installed tray application from the installed
# service file, then purges the package and checks that none of its files is left. Whatever
# happens, the package and anything installed along with it are removed again. Without root it
# skips, saying so.
set -euo pipefail
cd "$(dirname "$0")/.."
export LC_ALL=C

say() { echo "package-test: $*"; }
fail() {
    echo "package-test: FAILED: $*" >&2
    exit 1
}
# dpkg's state of a package: installed, or known at all (installed, or its configuration left).
installed() { dpkg-query -W -f='${db:Status-Abbrev}' "$1" 2>/dev/null | grep -q '^.i'; }
known() { dpkg-query -W -f='${db:Status-Abbrev}' "$1" 2>/dev/null | grep -q '^.[^n]'; }
installed_packages() {
    dpkg-query -W -f='${db:Status-Abbrev} ${binary:Package}\n' | awk '$1 ~ /^.i/ {print $2}' |
        sort
}

if [ "$(id -u)" -ne 0 ]; then
    say "skipped: installing a package needs root (CI runs this as root)"
    exit 0
fi
# An installed tovo is somebody's: this test would replace it and then remove it.
! known tovo || fail "a tovo package is on this machine already; remove it first (apt-get purge)"

scripts/package.sh
deb=$(echo build/package/tovo_*.deb)
version=$(dpkg-deb -f "$deb" Version)

# Errors and warnings fail (none is silenced).
lintian --fail-on error,warning --tag-display-limit 0 "$deb"
say "lintian: no errors or warnings in $deb"

scratch=$(mktemp -d "${TMPDIR:-/tmp}/tovo-package.XXXXXX")
installed_packages >"$scratch/packages-before"
# The package's paths that are there before it is installed (/usr/bin ...) stay after it.
dpkg-deb --fsys-tarfile "$deb" | tar -t | sed -e 's|^\./|/|' -e 's|/$||' |
    while read -r path; do
        if [ -e "$path" ] || [ -L "$path" ]; then echo "$path"; fi
    done | sort >"$scratch/paths-before"

cleanup() {
    local status=$?
    if [ -s "$scratch/tray.pid" ]; then kill "$(cat "$scratch/tray.pid")" 2>/dev/null || true; fi
    if known tovo; then apt-get purge -y -qq tovo >/dev/null || status=1; fi
    local added
    added=$(installed_packages | comm -13 "$scratch/packages-before" -)
    if [ -n "$added" ]; then
        # shellcheck disable=SC2086 # one package name a word
        apt-get purge -y -qq $added >/dev/null || status=1
    fi
    rm -rf "$scratch"
    exit "$status"
}
trap cleanup EXIT

export DEBIAN_FRONTEND=noninteractive
apt-get install -y -qq --no-install-recommends "$(realpath "$deb")" >/dev/null
installed tovo || fail "apt-get did not install $deb"
dpkg -L tovo | grep -vx '/\.' | sort >"$scratch/files"
say "installed $(wc -l <"$scratch/files") paths"

# The programs answer from /usr without a display or a session bus: --help, --version, and an
# unknown option with status 2.
for program in /usr/bin/tovo /usr/bin/tovo-today /usr/libexec/tovo-launcher; do
    name=$(basename "$program")
    run() { env -u DISPLAY -u WAYLAND_DISPLAY -u DBUS_SESSION_BUS_ADDRESS "$program" "$@"; }
    answer=$(run --version)
    [ "$answer" = "$name $version" ] || fail "$program --version said '$answer'"
    answer=$(run --help)
    [[ $answer == "Usage: $name [options]"* ]] || fail "$program --help said '$answer'"
    status=0
    answer=$(run --frobnicate 2>&1 >/dev/null) || status=$?
    [ "$status" = 2 ] && [[ $answer == "$name: Unknown option 'frobnicate'."* ]] ||
        fail "$program --frobnicate: status $status, '$answer'"
done
pages=$(grep -c '^/usr/share/man/man1/tovo.*\.gz$' "$scratch/files" || true)
[ "$pages" = 3 ] || fail "$pages manual pages installed, not 3"
grep '^/usr/share/man/' "$scratch/files" | grep '\.gz$' | while read -r page; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$page: $warnings"
done
say "programs and manual pages in place"

grep '^/usr/share/applications/.*\.desktop$' "$scratch/files" | while read -r entry; do
    desktop-file-validate "$entry" || fail "$entry does not validate"
done
grep '^/usr/share/metainfo/.*\.xml$' "$scratch/files" | while read -r metainfo; do
    appstreamcli validate --no-net "$metainfo" >/dev/null || fail "$metainfo does not validate"
done
say "desktop entries and AppStream data validate"

# On a session bus that knows only the installed services: Open("tovo://START") starts the tray
# application, a start at login that shows no alert and writes nothing; then it is quit.
bus_start() {
    gdbus call --session --timeout 30 --dest tovo.TOVO --object-path /tovo/TOVO \
        --method org.freedesktop.Application.Open '["tovo://START"]' '{}' >/dev/null || return 1
    gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
        --method org.freedesktop.DBus.GetConnectionUnixProcessID tovo.TOVO |
        sed -n 's/^(uint32 \([0-9]*\),)$/\1/p' >"$scratch/tray.pid"
    local pid started
    pid=$(cat "$scratch/tray.pid")
    started=$(readlink "/proc/$pid/exe") || return 1
    echo "package-test: tovo.TOVO is process $pid, $started"
    [ "$started" = /usr/bin/tovo ] || return 1
    kill "$pid"
    for _ in $(seq 100); do
        [ -e "/proc/$pid" ] || return 0
        sleep 0.1
    done
    return 1
}
export -f bus_start
export scratch
mkdir -m 700 "$scratch/home" "$scratch/runtime"
HOME=$scratch/home XDG_CONFIG_HOME=$scratch/home/.config XDG_DATA_HOME=$scratch/home/.local \
    XDG_CACHE_HOME=$scratch/home/.cache XDG_RUNTIME_DIR=$scratch/runtime XDG_DATA_DIRS=/usr/share \
    QT_QPA_PLATFORM=offscreen dbus-run-session -- bash -c bus_start ||
    fail "the bus did not start /usr/bin/tovo from the installed service file, or it did not quit"
rm "$scratch/tray.pid"
say "the session bus starts /usr/bin/tovo from the installed service file"

apt-get purge -y -qq tovo >/dev/null
! known tovo || fail "dpkg still knows tovo after its purge"
left=$(comm -23 "$scratch/files" "$scratch/paths-before" | while read -r path; do
    if [ -e "$path" ] || [ -L "$path" ]; then echo "$path"; fi
done)
[ -z "$left" ] || fail "left behind after the purge: $left"
say "purged; none of its files is left"
