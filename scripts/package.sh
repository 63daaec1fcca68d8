#!/usr/bin/env bash
# Builds the Debian package into build-deb/ and checks it as the archive's tools would: lintian
# (every warning fixed or overridden), and the validators of its AppStream metadata and
# desktop entries run on the files the package ships.
set -euo pipefail
cd "$(dirname "$0")/.."
out=build-deb
name=tollmere_$(dpkg-parsechangelog -S Version)_$(dpkg-architecture -qDEB_HOST_ARCH)
export DEB_BUILD_OPTIONS=${DEB_BUILD_OPTIONS:-nocheck parallel=$(nproc)}
dpkg-buildpackage -us -uc -b
# dpkg-buildpackage leaves what it makes beside the tree; gather it here instead.
rm -rf "$out" && mkdir "$out"
mv ../"$name".deb ../"$name".buildinfo ../"$name".changes ../tollmere-dbgsym_*"${name#tollmere_}".deb "$out"/
lintian --fail-on error,warning --info "$out/$name.changes"
dpkg-deb -x "$out/$name.deb" "$out/root"
appstreamcli validate-tree --no-net --strict --explain "$out/root"
for entry in "$out"/root/usr/share/applications/tollmere.desktop "$out"/root/usr/share/tollmere/tollmere-autostart.desktop; do
  found=$(desktop-file-validate "$entry" 2>&1) || true
  if [ -n "$found" ]; then
    echo "$found" >&2
    exit 1
  fi
done
echo "$out/$name.deb"
