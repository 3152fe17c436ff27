# Sourced by the Windows scripts: a Wine prefix of their own for Windows programs.
# wine_start PREFIX makes the prefix when it is new and starts its server.

export WINEDEBUG=-all
export WINEARCH=win64
# No menu entries or file associations on the host from what is installed inside.
export WINEDLLOVERRIDES="winemenubuilder.exe=d"

wine_start() {
    export WINEPREFIX=$1
    mkdir -p "$WINEPREFIX"
    # The server and the first boot are started with their output closed: Wine's
    # service processes otherwise keep the caller's pipe open, and a command reading
    # it never ends.
    wineserver -p >/dev/null 2>&1 </dev/null
    wineboot -i >/dev/null 2>&1 </dev/null
}

# A Unix path as Wine's Windows programs see it.
wine_path() {
    winepath -w "$1" 2>/dev/null
}
