#!/usr/bin/env bash
# Installs the Debian 12 packages Tollmere builds, runs and tests with. Run it as root, or as a
# user who may use sudo: it then runs itself again through sudo.
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null; then
    echo "scripts/packages.sh: installing packages needs root; run it as root or install sudo" >&2
    exit 1
  fi
  exec sudo bash "$0" "$@"
fi
packages=(
  # build
  g++ cmake make pkg-config
  # forms and controls, timers, D-Bus (logind power-off); Qt's own texts in Chinese
  qt6-base-dev libgl-dev qt6-translations-l10n
  # the players: playbin with WAV, MP3 (mpg123) and MIDI (fluidsynth) and a General MIDI soundfont
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad
  gstreamer1.0-pulseaudio timgm6mb-soundfont
  # the sound card mixer: ALSA, and its bridge to PulseAudio
  libasound2-dev libasound2-plugins
  # Chinese glyphs for the interface
  fonts-wqy-microhei
  # the as-run log's copy in the system journal
  libsystemd-dev
  # the settings lock: the password's salted Argon2id hash
  libsodium-dev
)
build_deps=false
for option in "$@"; do
  case $option in
  --tests)
    packages+=(
      libbenchmark-dev          # benchmarks
      pulseaudio pulseaudio-utils  # a null sink for the mixer and player tests
      sox                       # generates test sounds
      clang libclang-rt-14-dev  # the fuzzers of the file readers (libFuzzer, sanitizers)
      dbus-daemon               # a private bus for the power-off test, never the system's
      desktop-file-utils        # checks the installed menu and autostart entries
      systemd                   # a journald of the test's own, in a private mount namespace
      syncthing iproute2        # two PCs kept in step on loopback (scripts/campus.sh), and ss to watch them
    )
    ;;
  --package)
    # the Debian package: its Build-Depends (from debian/control), and the checks it must pass
    build_deps=true
    packages+=(dpkg-dev lintian appstream desktop-file-utils)
    ;;
  *)
    echo "usage: scripts/packages.sh [--tests] [--package]" >&2
    exit 2
    ;;
  esac
done
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${packages[@]}"
if $build_deps; then
  apt-get build-dep -y -qq --no-install-recommends "$(cd "$(dirname "$0")/.." && pwd)"
fi
