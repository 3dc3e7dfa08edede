#!/usr/bin/env bash
# Installs every Debian package the project builds, tests and runs with.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

packages=(
  # build, tests, benchmarks
  cmake g++ make pkg-config ccache libgtest-dev libgmock-dev libbenchmark-dev
  # libFuzzer targets
  clang libclang-rt-14-dev
  # mail and FTP transport, MIME
  libcurl4-openssl-dev libgmime-3.0-dev
  # test servers started by the test harness on 127.0.0.1
  dovecot-imapd dovecot-pop3d dovecot-lmtpd python3-aiosmtpd python3-pyftpdlib openssl
  # independent DBF reader the interop tests compare against
  python3-dbf
  # the desktop back end (Qt 6 Widgets; its tests run on Qt's offscreen platform)
  qt6-base-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
echo "install-deps: all packages present"
