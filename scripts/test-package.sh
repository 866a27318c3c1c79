#!/usr/bin/env bash
# test-package.sh [BUILD_FOLDER]
# Makes the Debian package from a built folder (default build/release), checks it with lintian,
# installs it with apt-get as a user would, and checks the installed program from another
# folder: a bundled example converted to the expected bytes, the PATH,CODE form with its settings
# in the user's configuration folder, the manual page, the completion and the desktop entry.
# The package is removed again at the end. Runs as root.
set -euo pipefail
root=$(realpath "$(dirname "$0")/..")
build=$(realpath "${1:-$root/build/release}")
examples=$root/examples

(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/vantrel_*.deb)
echo "package: $deb"
dpkg-deb -f "$deb" Package Version Architecture Depends

work=$(mktemp -d)
echo "-- lintian"
status=0
lintian --fail-on error,warning "$deb" >"$work/lintian" 2>&1 || status=$?
grep -v "running with root privileges" "$work/lintian" || true
[ "$status" -eq 0 ] || { echo "lintian found errors or warnings" >&2; exit 1; }

apt() { DEBIAN_FRONTEND=noninteractive apt-get -y -qq -o DPkg::Lock::Timeout=600 "$@" >/dev/null; }
trap 'apt purge vantrel || true; rm -rf "$work"' EXIT
apt purge vantrel 2>/dev/null || true
echo "-- apt-get install ./$(basename "$deb")"
(cd "$build" && apt install "./$(basename "$deb")")

installed=$(command -v vantrel)
[ "$installed" = /usr/bin/vantrel ] || { echo "vantrel is not installed as /usr/bin/vantrel but '$installed'" >&2; exit 1; }
man -w vantrel
man -w vantrel-desktop
desktop-file-validate /usr/share/applications/vantrel.desktop

# From a folder of the user's, with the user's own configuration folder.
export XDG_CONFIG_HOME=$work/config
cd "$work"
cp "$examples/kuab/small.FWD" .
touch -d "2004-04-07 12:00" small.FWD  # the fixed time of the golden tests
vantrel convert -t kuab small.FWD
cmp small.DDX "$examples/kuab/small.expected.DDX"
vantrel small.FWD,8
cmp smallcvt.DDX "$examples/kuab/small.expected.DDX"
grep -q "FileType = 8" "$XDG_CONFIG_HOME/vantrel/Config.bag"
[ "$(vantrel --paths | head -n 1)" = "settings file: $XDG_CONFIG_HOME/vantrel/Config.bag" ]
bash "$root/tests/CompletionCheck.sh" /usr/bin/vantrel /usr/share/bash-completion/completions/vantrel
echo "installed package: converts from any folder, keeps its settings in the user's folder, has its manual page and completion"
