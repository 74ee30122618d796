#!/usr/bin/env bash
# Prepares this Debian machine to build storcoll for Windows x64 and to run the
# result under Wine:
#   - the MinGW-w64 cross compiler (POSIX threads variant), Wine, CMake, Ninja;
#   - protobuf, cross-built as a DLL from Debian's own source package of the
#     version the host protoc has, so generated code and library agree;
#   - GoogleTest/GoogleMock, cross-built from the sources libgtest-dev ships;
#   - an include folder holding only the header-only libraries (fmt, used in
#     header-only mode, nlohmann-json, CLI11) with CMake package files for them.
# Everything built lands in a cache outside the checkout and is reused while its
# stamp matches, so a second run only checks and returns.
#
# Runs as root, asks nothing, and can be run any number of times.
#   STORCOLL_WIN_DEPS  cache folder (default /var/cache/storcoll-win)
#   STORCOLL_WIN_JOBS  parallel compile jobs (default: number of cores)
set -euo pipefail

SCRIPT_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
REPO_ROOT="$(cd "$SCRIPT_DIR/../.." && pwd)"
TOOLCHAIN="$REPO_ROOT/cmake/toolchain-mingw-w64.cmake"
DEPS="${STORCOLL_WIN_DEPS:-/var/cache/storcoll-win}"
JOBS="${STORCOLL_WIN_JOBS:-$(nproc)}"
SRC_LIST=/etc/apt/sources.list.d/storcoll-src.sources
export STORCOLL_WIN_DEPS="$DEPS"
export DEBIAN_FRONTEND=noninteractive

log() { printf '[setup-deps] %s\n' "$*"; }
die() { printf '[setup-deps] error: %s\n' "$*" >&2; exit 1; }

[[ $(id -u) -eq 0 ]] || die "run as root (it installs packages and writes $DEPS)"

# ---------------------------------------------------------------- packages ---
PACKAGES=(
  g++-mingw-w64-x86-64-posix  # the cross compiler; posix threads give std::thread/std::mutex
  mingw-w64-tools             # widl, gendef: for when an SDK interface needs regenerating
  wine wine64                 # runs the .exe files; 64-bit only, no i386 architecture needed
  cmake ninja-build
  dpkg-dev                    # dpkg-source, which `apt-get source` unpacks with
  protobuf-compiler libprotobuf-dev
  libgtest-dev libgmock-dev   # libgtest-dev brings /usr/src/googletest
  libfmt-dev nlohmann-json3-dev libcli11-dev
)

APT_UPDATED=0
apt_update_once() {
  if [[ $APT_UPDATED -eq 0 ]]; then
    log "apt-get update"
    apt-get update -qq
    APT_UPDATED=1
  fi
}

installed() { [[ "$(dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null)" == installed ]]; }
has_candidate() { apt-cache policy "$1" 2>/dev/null | grep -q 'Candidate: [^(]'; }

install_missing() {
  local missing=() p
  for p in "${PACKAGES[@]}"; do
    installed "$p" || missing+=("$p")
  done
  [[ ${#missing[@]} -eq 0 ]] && { log "packages: all present"; return; }
  for p in "${missing[@]}"; do
    has_candidate "$p" || { apt_update_once; break; }
  done
  log "installing: ${missing[*]}"
  apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# ------------------------------------------------- Debian source package -----
# `apt-get source` needs deb-src entries for the archive the machine installs
# from. We derive them from the machine's own deb entries (deb822 .sources files
# and one-line .list files), keeping only Debian's archives, and write them to a
# file of our own so that nothing of the machine's configuration is touched.
derive_deb_src() {
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [[ -f $f && $f != "$SRC_LIST" ]] || continue
    awk 'BEGIN { RS = ""; FS = "\n" }
      {
        types = ""; uris = ""; enabled = "yes"; out = ""
        for (i = 1; i <= NF; i++) {
          line = $i
          if (line ~ /^#/) continue
          if (line ~ /^Types:/) { types = line; continue }
          if (line ~ /^URIs:/) uris = line
          if (line ~ /^Enabled:/) { enabled = tolower(line); sub(/^enabled:[ \t]*/, "", enabled) }
          out = out line "\n"
        }
        if (enabled == "no" || types !~ /[ \t]deb([ \t]|$)/ || uris !~ /debian/) next
        printf "Types: deb-src\n%s\n", out
      }' "$f"
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [[ -f $f ]] || continue
    awk '$1 == "deb" && /debian/ {
        signed = ""; i = 2
        if ($2 ~ /^\[/) {
          while (i <= NF) {
            opt = $i; gsub(/[\[\]]/, "", opt)
            if (opt ~ /^signed-by=/) { signed = opt; sub(/^signed-by=/, "", signed) }
            if ($i ~ /\]$/) { i++; break }
            i++
          }
        }
        comps = ""
        for (j = i + 2; j <= NF; j++) comps = comps (comps == "" ? "" : " ") $j
        printf "Types: deb-src\nURIs: %s\nSuites: %s\nComponents: %s\n", $i, $(i + 1), comps
        if (signed != "") printf "Signed-By: %s\n", signed
        printf "\n"
      }' "$f"
  done
}

source_available() {
  apt-cache showsrc protobuf 2>/dev/null | grep -qx "Version: $1"
}

ensure_protobuf_source_entry() {
  local version=$1
  source_available "$version" && return
  if [[ ! -f $SRC_LIST ]]; then
    local entries
    entries="$(derive_deb_src)"
    [[ -n $entries ]] || die "no Debian deb entry found in /etc/apt to derive a deb-src entry from"
    log "adding deb-src entries in $SRC_LIST"
    printf '# Source packages of the archives this machine installs from; added by\n# storcoll scripts/windows/setup-deps.sh to cross-build protobuf.\n%s\n' \
      "$entries" > "$SRC_LIST"
  fi
  APT_UPDATED=0
  apt_update_once
  source_available "$version" || die "protobuf source $version not offered by the configured archives"
}

# ------------------------------------------------------------ the cache ------
stamp_ok() { [[ -f $1/.stamp && "$(cat "$1/.stamp")" == "$2" ]]; }

# Configures, builds and installs a CMake project into DEST through a fresh
# sibling folder, which replaces DEST only once the install succeeded.
cross_build() {
  local name=$1 src=$2 dest=$3 stamp=$4; shift 4
  local build="$DEPS/build/$name" staging="$dest.new"
  rm -rf "$build" "$staging"
  log "$name: configuring"
  cmake -S "$src" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$staging" \
    -DBUILD_SHARED_LIBS=OFF \
    "$@" > "$DEPS/build/$name.configure.log" 2>&1 \
    || { tail -n 40 "$DEPS/build/$name.configure.log" >&2; die "$name: configure failed"; }
  log "$name: building with $JOBS jobs"
  cmake --build "$build" -j "$JOBS" > "$DEPS/build/$name.build.log" 2>&1 \
    || { tail -n 40 "$DEPS/build/$name.build.log" >&2; die "$name: build failed"; }
  cmake --install "$build" > /dev/null
  printf '%s\n' "$stamp" > "$staging/.stamp"
  rm -rf "$dest"
  mv "$staging" "$dest"
  rm -rf "$build" "$DEPS/build/$name".*.log
  log "$name: installed in $dest"
}

upstream_version() { sed -e 's/^[0-9]*://' -e 's/[-+~].*//' <<< "$1"; }

build_protobuf() {
  local version dest="$DEPS/protobuf"
  version="$(dpkg-query -W -f='${Version}' protobuf-compiler)"
  local stamp="protobuf $version shared / $MINGW_VERSION"
  if stamp_ok "$dest" "$stamp"; then log "protobuf: cached ($version)"; return; fi
  ensure_protobuf_source_entry "$version"
  local work="$DEPS/build/protobuf-source"
  rm -rf "$work"; mkdir -p "$work"
  log "protobuf: fetching Debian source $version"
  (cd "$work" && apt-get source -qq "protobuf=$version" > "$work/apt-source.log" 2>&1) \
    || { tail -n 20 "$work/apt-source.log" >&2; die "apt-get source protobuf=$version failed"; }
  local src
  src="$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'protobuf-*' | head -n 1)"
  [[ -n $src ]] || die "protobuf source folder not found in $work"
  # 3.21 keeps its CMake project in cmake/; later releases at the top.
  [[ -f $src/CMakeLists.txt ]] || src="$src/cmake"
  # A DLL, not a static library: linked statically, every DLL of ours and every
  # program would hold its own protobuf with its own descriptor pool, and a
  # message made in one module would not compare, print or parse in another
  # (scripts/windows/smoke checks this).
  cross_build protobuf "$src" "$dest" "$stamp" \
    -Dprotobuf_BUILD_TESTS=OFF \
    -Dprotobuf_BUILD_CONFORMANCE=OFF \
    -Dprotobuf_BUILD_EXAMPLES=OFF \
    -Dprotobuf_BUILD_PROTOC_BINARIES=OFF \
    -Dprotobuf_BUILD_SHARED_LIBS=ON \
    -Dprotobuf_WITH_ZLIB=OFF \
    -Dprotobuf_INSTALL=ON
  rm -rf "$work"
}

build_googletest() {
  local version dest="$DEPS/googletest"
  version="$(dpkg-query -W -f='${Version}' googletest)"
  local stamp="googletest $version / $MINGW_VERSION"
  if stamp_ok "$dest" "$stamp"; then log "googletest: cached ($version)"; return; fi
  cross_build googletest /usr/src/googletest "$dest" "$stamp" \
    -DBUILD_GMOCK=ON \
    -DINSTALL_GTEST=ON
}

# Package files for a header-only library: an imported INTERFACE target over
# the include folder beside them, and a same-major version check.
write_header_package() {
  local dir=$1 pkg=$2 version=$3 body=$4
  mkdir -p "$dir/lib/cmake/$pkg"
  cat > "$dir/lib/cmake/$pkg/${pkg}Config.cmake" <<EOF
# Header-only $pkg for the Windows cross build; written by setup-deps.sh.
get_filename_component(_${pkg}_root "\${CMAKE_CURRENT_LIST_DIR}/../../.." ABSOLUTE)
$body
unset(_${pkg}_root)
EOF
  cat > "$dir/lib/cmake/$pkg/${pkg}ConfigVersion.cmake" <<EOF
set(PACKAGE_VERSION "$version")
if(PACKAGE_FIND_VERSION AND (PACKAGE_VERSION VERSION_LESS PACKAGE_FIND_VERSION
    OR NOT PACKAGE_FIND_VERSION_MAJOR STREQUAL "${version%%.*}"))
  set(PACKAGE_VERSION_COMPATIBLE FALSE)
else()
  set(PACKAGE_VERSION_COMPATIBLE TRUE)
  if(PACKAGE_FIND_VERSION STREQUAL PACKAGE_VERSION)
    set(PACKAGE_VERSION_EXACT TRUE)
  endif()
endif()
EOF
}

interface_target() {
  # name, extra properties
  cat <<EOF
if(NOT TARGET $1)
  add_library($1 INTERFACE IMPORTED)
  set_target_properties($1 PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES "\${_$3_root}/include"$2)
endif()
EOF
}

setup_headers() {
  local fmt_v json_v cli_v dest="$DEPS/headers"
  fmt_v="$(upstream_version "$(dpkg-query -W -f='${Version}' libfmt-dev)")"
  json_v="$(upstream_version "$(dpkg-query -W -f='${Version}' nlohmann-json3-dev)")"
  cli_v="$(upstream_version "$(dpkg-query -W -f='${Version}' libcli11-dev)")"
  local stamp="headers fmt $fmt_v nlohmann_json $json_v CLI11 $cli_v"
  if stamp_ok "$dest" "$stamp"; then log "headers: cached"; return; fi
  rm -rf "$dest"
  mkdir -p "$dest/include"
  # Only these three folders: the rest of /usr/include is the Linux host's and
  # must never be seen by the cross compiler.
  local d
  for d in fmt nlohmann CLI; do
    [[ -d /usr/include/$d ]] || die "/usr/include/$d missing"
    ln -s "/usr/include/$d" "$dest/include/$d"
  done
  write_header_package "$dest" fmt "$fmt_v" "$(
    interface_target fmt::fmt-header-only $'\n    INTERFACE_COMPILE_DEFINITIONS "FMT_HEADER_ONLY=1"' fmt
    interface_target fmt::fmt $'\n    INTERFACE_LINK_LIBRARIES fmt::fmt-header-only' fmt)"
  write_header_package "$dest" nlohmann_json "$json_v" "$(
    interface_target nlohmann_json::nlohmann_json '' nlohmann_json)"
  write_header_package "$dest" CLI11 "$cli_v" "$(
    interface_target CLI11::CLI11 '' CLI11)"
  printf '%s\n' "$stamp" > "$dest/.stamp"
  log "headers: ready in $dest"
}

# ------------------------------------------------------------------ main -----
START=$SECONDS
install_missing
command -v x86_64-w64-mingw32-g++-posix > /dev/null || die "x86_64-w64-mingw32-g++-posix not found"
MINGW_VERSION="mingw-g++ $(dpkg-query -W -f='${Version}' g++-mingw-w64-x86-64-posix)"
mkdir -p "$DEPS/build"
setup_headers
build_protobuf
build_googletest
rmdir "$DEPS/build" 2> /dev/null || true
log "done in $((SECONDS - START)) s; cache: $DEPS"
