#!/usr/bin/env bash
# Installs the Debian packages the build needs, when they are missing.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config ccache
  protobuf-compiler libprotobuf-dev
  libfmt-dev nlohmann-json3-dev libcli11-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang-format
  clang libclang-rt-14-dev
  libcpp-httplib-dev prometheus prometheus-node-exporter python3
  libblkid-dev
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=()
  if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Windows cross build: MinGW-w64, Wine, and protobuf and GoogleTest cross-built
# into /var/cache/storcoll-win (scripts/windows/setup-deps.sh; a few minutes
# the first time, cached after). Skip with STORCOLL_WINDOWS=0.
if [[ ${STORCOLL_WINDOWS:-1} != 0 ]]; then
  windows_sudo=()
  if [[ $(id -u) -ne 0 ]]; then windows_sudo=(sudo); fi
  "${windows_sudo[@]}" env STORCOLL_WIN_DEPS="${STORCOLL_WIN_DEPS:-/var/cache/storcoll-win}" \
    "$(dirname "$0")/windows/setup-deps.sh"
fi
