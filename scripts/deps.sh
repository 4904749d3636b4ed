#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running need. Quick when present.
set -euo pipefail
packages=(
  g++ cmake ninja-build pkg-config ccache lld
  libfreetype-dev libfontconfig-dev libpixman-1-dev libpng-dev libjpeg62-turbo-dev libicu-dev
  libsdl2-dev libgtest-dev libgmock-dev libbenchmark-dev
  fonts-dejavu-core fonts-liberation fonts-ipafont-gothic
  xvfb xauth
  python3-html5lib python3-xlrd python3-olefile
  xsltproc libxml2-utils
)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "deps: installing ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
