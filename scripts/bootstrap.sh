#!/usr/bin/env bash
# Installs every Debian 12 package the project builds, tests and runs with.
# Idempotent: packages already present are left alone; apt-get update runs once,
# and only when something is missing.
set -euo pipefail

packages=(
  # toolchain
  cmake ninja-build g++ pkg-config clang-16 libclang-rt-16-dev lld-16
  # panel: Qt 6 widgets, coroutines, keychain
  qt6-base-dev qt6-svg-dev libgl-dev libxkbcommon-dev qcoro-qt6-dev libsecret-1-dev
  # translations: lupdate and lrelease, and Qt's own catalogues (its dialogs' words)
  qt6-l10n-tools qt6-translations-l10n
  # reference server
  libsodium-dev libcpp-httplib-dev libssl-dev zlib1g-dev libboost1.81-dev libarchive-dev
  # fonts and icons of the visual kit
  fonts-inter fonts-jetbrains-mono fonts-materialdesignicons-webfont
  # headless test session: X server, private D-Bus, Secret Service, the accessibility bus and registry
  xvfb xauth dbus gnome-keyring at-spi2-core
  # benchmarks (trayer: a tray host under Xvfb for the panel's)
  curl wrk trayer
  # test helpers: archive and CSV checks
  python3 unzip
  # the Debian package: dependencies from the libraries used, desktop and AppStream checks, lintian
  dpkg-dev file appstream desktop-file-utils lintian
)

# The suite drives the official OpenAI client for Node.js: Debian's Node.js and npm, unless a Node.js
# with its own npm is installed already (Debian's npm would conflict with it).
command -v node >/dev/null && command -v npm >/dev/null || packages+=(nodejs npm)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
log=$(mktemp)
if ! { $sudo apt-get update -qq && DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"; } >"$log" 2>&1; then
  cat "$log" >&2
  echo "bootstrap: installing ${missing[*]} failed" >&2
  exit 1
fi
rm -f "$log"
