#!/bin/sh
# Installs VEK 4412 QUILLON from this installation medium.
#
# Copies the program folder payload/QUILLON of the medium into /opt/QUILLON,
# adds the medium's branding files (sub.log, Mark.ico), and puts a desktop entry
# and icon under /usr/local/share so the program appears in the application menu.
# Asks for administrator rights (pkexec on the desktop, sudo in a terminal) only
# when the folders are not writable. QUILLON_DEST and QUILLON_XDG_DATA_DIR choose
# other folders; QUILLON_SETUP_QUIET=1 keeps the result out of desktop dialogs.
# Running it again replaces the installed files.
set -eu

self=$(cd "$(dirname "$0")" && pwd)/$(basename "$0")
medium=$(cd "$(dirname "$0")/.." && pwd)
payload=$medium/payload

tell() {
    printf '%s\n' "$1"
    if [ ! -t 1 ] && [ -z "${QUILLON_SETUP_QUIET:-}" ]; then
        if command -v zenity >/dev/null 2>&1; then
            zenity --info --title="QUILLON setup" --text="$1" >/dev/null 2>&1 || true
        elif command -v notify-send >/dev/null 2>&1; then
            notify-send "QUILLON setup" "$1" >/dev/null 2>&1 || true
        fi
    fi
}

# True when the folder, or the nearest existing folder above it, is writable.
writable() {
    d=$1
    while [ ! -e "$d" ]; do d=$(dirname "$d"); done
    [ -w "$d" ]
}

install_files() {
    dest=$1
    xdg=$2
    case $dest in
        /?*) ;;
        *) echo "setup: the installation folder must be an absolute path: $dest" >&2; return 1 ;;
    esac
    # The desktop entry's command line quotes the folder; these would need escapes there.
    case $dest in
        *'"'* | *'`'* | *'$'* | *'\'*)
            echo "setup: the installation folder must not contain \", \`, \$ or \\: $dest" >&2
            return 1 ;;
    esac
    [ -f "$payload/QUILLON/quillon" ] || {
        echo "setup: this medium holds no program ($payload/QUILLON/quillon)" >&2
        return 1
    }
    mkdir -p "$dest" || return 1
    # Files are staged inside the folder and renamed over the old ones, so a
    # running copy of the program keeps working and nothing is half-written.
    stage=$dest/.setup-$$
    rm -rf "$stage"
    mkdir "$stage" || return 1
    cp -R "$payload/QUILLON/." "$stage/" || { rm -rf "$stage"; return 1; }
    for f in sub.log Mark.ico; do
        if [ -f "$medium/$f" ]; then cp "$medium/$f" "$stage/$f" || { rm -rf "$stage"; return 1; }; fi
    done
    chmod -R a+rX "$stage" || { rm -rf "$stage"; return 1; }
    for f in "$stage"/* ; do
        mv -f "$f" "$dest/" || { rm -rf "$stage"; return 1; }
    done
    rmdir "$stage"

    mkdir -p "$xdg/applications" "$xdg/icons/hicolor/256x256/apps" || return 1
    # Exec= is a command line, so its path is quoted (a folder may contain blanks).
    escaped=$(printf '%s' "$dest" | sed 's/[\\&|]/\\&/g')
    sed -e "s|^Exec=/opt/QUILLON/quillon %f\$|Exec=\"$escaped/quillon\" %f|" -e "s|/opt/QUILLON|$escaped|g" \
        "$payload/quillon.desktop" > "$xdg/applications/quillon.desktop" || return 1
    chmod 0644 "$xdg/applications/quillon.desktop" || return 1
    cp "$payload/quillon.png" "$xdg/icons/hicolor/256x256/apps/quillon.png" || return 1
    chmod 0644 "$xdg/icons/hicolor/256x256/apps/quillon.png" || return 1
    if command -v update-desktop-database >/dev/null 2>&1; then
        update-desktop-database "$xdg/applications" >/dev/null 2>&1 || true
    fi
    if command -v gtk-update-icon-cache >/dev/null 2>&1; then
        gtk-update-icon-cache -q -t "$xdg/icons/hicolor" >/dev/null 2>&1 || true
    fi
    return 0
}

if [ "${1:-}" = "--as-root" ]; then
    if install_files "$2" "$3"; then exit 0; else exit 1; fi
fi

# sudo needs a terminal to ask for the password; started from the launcher on the
# desktop, standard input may still be a terminal that is not ours to use.
has_terminal() {
    [ -t 0 ] && (: </dev/tty) 2>/dev/null
}

dest=${QUILLON_DEST:-/opt/QUILLON}
xdg=${QUILLON_XDG_DATA_DIR:-/usr/local/share}

status=0
if writable "$dest" && writable "$xdg"; then
    install_files "$dest" "$xdg" || status=$?
elif has_terminal && command -v sudo >/dev/null 2>&1; then
    sudo sh "$self" --as-root "$dest" "$xdg" || status=$?
elif command -v pkexec >/dev/null 2>&1; then
    pkexec /bin/sh "$self" --as-root "$dest" "$xdg" || status=$?
else
    tell "QUILLON was not installed: administrator rights are needed to write $dest. Run this script again as root."
    exit 1
fi

if [ "$status" -eq 0 ]; then
    # The program, and the alarm's player and the printing it loads on first use.
    missing=$(ldd "$dest/quillon" "$dest/quillon-alarm-sound.so" "$dest/quillon-printing.so" 2>/dev/null | sed -n 's/^[[:space:]]*\([^[:space:]]*\) => not found.*/\1/p' | sort -u | tr '\n' ' ')
    if [ -n "$missing" ]; then
        tell "QUILLON is installed in $dest, but this system lacks libraries it needs: $missing(on Debian: sudo apt-get install libqt6widgets6 libqt6printsupport6 libqt6multimedia6 libqt6serialport6)."
        exit 0
    fi
    tell "VEK 4412 QUILLON is installed in $dest. Start it from the application menu or as $dest/quillon."
else
    tell "QUILLON could not be installed into $dest."
fi
exit "$status"
