#!/usr/bin/env bash
# The Debian package's tests, run by scripts/test.sh after the normal build: builds the package
# (reusing build/), checks its contents and lintian, installs it for real with apt-get, checks
# the installed desktop entries and metadata, runs the installed programs (the command-line
# programs' --help and --version, orvusim on loopback found by orvuq46-cli discover, the demo
# window offscreen), then purges it and checks that nothing of it is left.
# Purges an orvuq46 package already installed on this machine: it is replaced by the one built.
set -euo pipefail
cd "$(dirname "$0")/.."

fail() { echo "package test: $*" >&2; exit 1; }
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
apt() { $sudo env DEBIAN_FRONTEND=noninteractive apt-get -y -qq -o DPkg::Lock::Timeout=600 "$@" >/dev/null; }
installed() { dpkg-query -W -f='${Status}' orvuq46 2>/dev/null | grep -q "install ok installed"; }

deb=$(bash scripts/package.sh)
version=$(dpkg-deb -f "$deb" Version)
echo "package: $deb"
echo "Depends: $(dpkg-deb -f "$deb" Depends)"

# Every file the package is meant to hold.
expected=(/usr/bin/orvuq46 /usr/bin/orvuq46-demo /usr/bin/orvuq46-cli /usr/bin/orvusim
  /usr/share/applications/orvuq46.desktop /usr/share/applications/orvuq46-demo.desktop
  /usr/share/metainfo/pl.orvunet.orvuq46.metainfo.xml
  /usr/share/icons/hicolor/scalable/apps/orvuq46.svg
  /usr/share/doc/orvuq46/copyright /usr/share/doc/orvuq46/changelog.gz)
for size in 16 24 32 48 64 128 256; do
  expected+=("/usr/share/icons/hicolor/${size}x${size}/apps/orvuq46.png")
done
for program in orvuq46 orvuq46-demo orvuq46-cli orvusim; do
  expected+=("/usr/share/man/man1/$program.1.gz")
done
for file in sim/scenarios/*.json; do expected+=("/usr/share/orvuq46/scenarios/${file##*/}"); done
for file in ui/help/*; do expected+=("/usr/share/doc/orvuq46/help/${file##*/}"); done
files=$(dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ { sub(/^\./, "", $NF); print $NF }')
for path in "${expected[@]}"; do
  grep -qxF "$path" <<<"$files" || fail "$deb lacks $path"
done

lint_status=0
lint=$(lintian --tag-display-limit 0 "$deb" 2>&1) || lint_status=$?
lint=$(grep -v "running with root privileges" <<<"$lint" || true)
if [ "$lint_status" -ne 0 ] || grep -q '^E:' <<<"$lint"; then
  echo "$lint"
  fail "lintian found errors (status $lint_status)"
fi
echo "lintian: no errors, $(grep -c '^W:' <<<"$lint" || true) warnings"
grep '^W:' <<<"$lint" || true

# One package test at a time on this machine: the package is installed system-wide.
exec 9>/tmp/orvuq46-package-test.lock
flock 9
sim=""
cleanup() {
  if [ -n "$sim" ]; then kill "$sim" 2>/dev/null || true; fi
  if installed; then apt purge orvuq46 || true; fi
}
trap cleanup EXIT

if installed; then apt purge orvuq46; fi
apt install "$(pwd)/$deb"
installed || fail "apt-get did not install $deb"

desktop-file-validate /usr/share/applications/orvuq46.desktop /usr/share/applications/orvuq46-demo.desktop \
  || fail "desktop-file-validate refused the desktop entries"
appstreamcli validate --no-net /usr/share/metainfo/pl.orvunet.orvuq46.metainfo.xml >/dev/null \
  || fail "appstreamcli refused the metainfo file"

for program in orvuq46 orvuq46-demo orvuq46-cli orvusim; do
  if ldd "/usr/bin/$program" | grep -q "not found"; then fail "$program misses a library"; fi
done
for program in orvuq46-cli orvusim; do
  help=$("/usr/bin/$program" --help) || fail "$program --help failed"
  grep -q "^Usage: $program" <<<"$help" || fail "$program --help printed no usage line"
  [ "$("/usr/bin/$program" --version)" = "$program $version" ] || fail "$program --version is not $version"
done

# The manual page of orvuq46-cli describes every command its --help lists.
page=$(zcat /usr/share/man/man1/orvuq46-cli.1.gz | sed 's/\\-/-/g')
for command in $(/usr/bin/orvuq46-cli --help | awk '/^Commands:/ { on = 1; next } on && /^$/ { exit } on { print $1 }' | sort -u); do
  grep -q "^Usage: orvuq46-cli $command" <<<"$page" || fail "orvuq46-cli's manual page lacks '$command'"
done

# orvusim with an installed scenario on loopback, found by orvuq46-cli.
log=$(mktemp)
/usr/bin/orvusim --bind-port 0 --no-broadcast --base 127.0.0.2 /usr/share/orvuq46/scenarios/small.json >"$log" 2>&1 &
sim=$!
for _ in $(seq 100); do
  grep -q "SIGTERM stops" "$log" && break
  kill -0 "$sim" 2>/dev/null || { cat "$log"; fail "orvusim ended at start"; }
  sleep 0.1
done
port=$(sed -n 's/.* on 127\.0\.0\.2:\([0-9]*\)$/\1/p' "$log" | head -1)
[ -n "$port" ] || { cat "$log"; fail "orvusim did not say where it listens"; }
found=$(/usr/bin/orvuq46-cli --local 127.0.0.1:0 --device-port "$port" --broadcast-to 127.0.0.2 discover) \
  || fail "orvuq46-cli discover failed"
[ "$found" = " K46_01201,  127.0.0.2,  Serwis" ] || fail "orvuq46-cli discover printed '$found'"
kill -TERM "$sim"
wait "$sim" || fail "orvusim did not stop cleanly on SIGTERM"
sim=""
rm -f "$log"

# The demo window starts from the installed files and keeps running until stopped.
status=0
QT_QPA_PLATFORM=offscreen timeout 3 /usr/bin/orvuq46-demo >/dev/null 2>&1 || status=$?
[ "$status" = 124 ] || fail "orvuq46-demo ended by itself (status $status)"

apt purge orvuq46
left=$(dpkg-query -W -f='${Status}' orvuq46 2>/dev/null || true)
[ -z "$left" ] || [[ "$left" == *not-installed ]] || fail "dpkg still holds orvuq46 after purge: $left"
while read -r path; do
  [ ! -e "$path" ] || fail "$path is left after purge"
done <<<"$files"
for dir in /usr/share/orvuq46 /usr/share/doc/orvuq46; do
  [ ! -e "$dir" ] || fail "$dir is left after purge"
done
echo "package: built, checked, installed, run and purged"
