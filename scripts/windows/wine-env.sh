# shellcheck shell=bash
# Sets up the environment for running the project's Windows programs under
# Wine, without a display, and prepares the Wine prefix on first use. Source it:
#   source scripts/windows/wine-env.sh && wine build-win/foo.exe
# wine-run.sh (the cross toolchain's emulator) sources it for every run.
#
#   STORCOLL_WIN_DEPS          cache of cross-built dependencies, as for
#                              setup-deps.sh (default /var/cache/storcoll-win)
#   STORCOLL_WINEPREFIX        prefix folder (default ${TMPDIR:-/tmp}/storcoll-wine-<uid>)
#   STORCOLL_WINESERVER_LINGER seconds the Wine server stays up after its last
#                              program ended (default 15)
#
# The prefix is throwaway state: a 64-bit Windows with nothing installed. It is
# made once (about 10 s, some 700 MB) and reused; delete the folder to start over.

export WINEPREFIX="${STORCOLL_WINEPREFIX:-${TMPDIR:-/tmp}/storcoll-wine-$(id -u)}"
export WINEARCH=win64
# Quiet: no debug channels (also keeps Debian's "install wine32" hint away).
export WINEDEBUG=-all
# Without these two, prefix creation offers to download Mono and Gecko.
export WINEDLLOVERRIDES="mscoree,mshtml="
# The cross-built protobuf is a DLL of its own; programs find it through
# Wine's PATH (Z: is the Linux root).
_storcoll_protobuf_bin="${STORCOLL_WIN_DEPS:-/var/cache/storcoll-win}/protobuf/bin"
if [[ -d $_storcoll_protobuf_bin && ";${WINEPATH:-};" != *";Z:${_storcoll_protobuf_bin//\//\\};"* ]]; then
  export WINEPATH="Z:${_storcoll_protobuf_bin//\//\\}${WINEPATH:+;$WINEPATH}"
fi
unset _storcoll_protobuf_bin
# Console programs only: with no display Wine uses its null display driver, so
# results do not depend on whether the caller happens to have an X server.
unset DISPLAY WAYLAND_DISPLAY

storcoll_wine_prefix_init() {
  [[ -f $WINEPREFIX/.storcoll-ready ]] && return 0
  mkdir -p "$(dirname "$WINEPREFIX")"
  # Several tests may start at once on a fresh prefix: one makes it, the
  # others wait for it.
  (
    flock 9
    if [[ ! -f $WINEPREFIX/.storcoll-ready ]]; then
      local log="$WINEPREFIX.init.log"
      # A 64-bit-only Wine reports that it cannot run the 32-bit rundll32;
      # nothing of ours is 32-bit, so that message is expected.
      if ! wineboot -i > "$log" 2>&1 9>&- || ! wineserver -w >> "$log" 2>&1 9>&- \
          || [[ ! -f $WINEPREFIX/system.reg ]]; then
        cat "$log" >&2
        echo "wine-env.sh: could not prepare the Wine prefix $WINEPREFIX" >&2
        exit 1
      fi
      touch "$WINEPREFIX/.storcoll-ready"
      rm -f "$log"
    fi
  ) 9> "$WINEPREFIX.lock"
}

# Starts the Wine server, and with it Wine's own services (services.exe,
# explorer, winedevice), detached from the caller's stdout and stderr. Left to
# the first program they would inherit its output pipe, and ctest, which reads
# that pipe to its end, would wait for them to exit after every test.
storcoll_wine_server_up() {
  (
    flock 9
    # 9>&-: the server outlives this function and must not hold the lock.
    if wineserver -p"${STORCOLL_WINESERVER_LINGER:-15}" < /dev/null > /dev/null 2>&1 9>&-; then
      wine cmd /c exit 0 < /dev/null > /dev/null 2>&1 9>&- || true
    fi
  ) 9> "$WINEPREFIX.server.lock"
}

storcoll_wine_prefix_init && storcoll_wine_server_up
