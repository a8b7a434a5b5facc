#!/usr/bin/env bash
# Installs the Debian packages the build needs when they are missing.
set -euo pipefail
# clang and its runtime libraries build the fuzz targets (scripts/fuzz.sh);
# Chromium and a Japanese font render the CDXVIEW page (scripts/render-check.sh).
packages=(cmake g++ make libgtest-dev libgmock-dev libbenchmark-dev libxml2-dev libxml2-utils nlohmann-json3-dev
          clang libclang-rt-14-dev
          chromium fonts-noto-cjk)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "missing packages: ${missing[*]} (run as root, or install them with apt-get)" >&2
    exit 1
  fi
  echo "installing: ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
fi
