#!/bin/sh
# Gives the current user access to the meter's serial port.
#
# Linux has the USB-serial drivers built in; what a user lacks is the right to
# open the device files (/dev/ttyUSB*, /dev/ttyACM*, /dev/ttyS*), which belong
# to the group "dialout" ("uucp" on some systems). This script
#   1. adds the user to that group (takes effect at the next login), and
#   2. installs a udev rule that lets the user at the desktop open USB-serial
#      adapters at once (/etc/udev/rules.d/70-quillon-serial.rules).
# Asks for administrator rights (sudo in a terminal, pkexec on the desktop).
# Running it again changes nothing that is already in place.
set -eu

self=$(cd "$(dirname "$0")" && pwd)/$(basename "$0")
rules_file=/etc/udev/rules.d/70-quillon-serial.rules

tell() {
    printf '%s\n' "$1"
    if [ ! -t 1 ] && [ -z "${QUILLON_SETUP_QUIET:-}" ]; then
        if command -v zenity >/dev/null 2>&1; then
            zenity --info --title="QUILLON serial port access" --text="$1" >/dev/null 2>&1 || true
        elif command -v notify-send >/dev/null 2>&1; then
            notify-send "QUILLON serial port access" "$1" >/dev/null 2>&1 || true
        fi
    fi
}

serial_group() {
    for g in dialout uucp; do
        if getent group "$g" >/dev/null 2>&1; then echo "$g"; return 0; fi
    done
    return 1
}

grant() {
    user=$1
    group=$(serial_group) || group=""
    if [ -z "$group" ] && [ ! -d /etc/udev/rules.d ]; then
        echo "serial-access: this system has neither a serial-port group nor udev rules" >&2
        return 1
    fi
    if [ -n "$group" ]; then
        usermod -a -G "$group" "$user" || return 1
    fi
    if [ -d /etc/udev/rules.d ]; then
        cat > "$rules_file" <<'RULES' || return 1
# Installed by QUILLON's serial port access setup: the user at the desktop may
# open USB-serial adapters (uaccess); other users need the serial-port group.
SUBSYSTEM=="tty", KERNEL=="ttyUSB[0-9]*|ttyACM[0-9]*", TAG+="uaccess"
RULES
        if command -v udevadm >/dev/null 2>&1; then
            udevadm control --reload >/dev/null 2>&1 || true
            udevadm trigger --subsystem-match=tty >/dev/null 2>&1 || true
        fi
    fi
    return 0
}

if [ "${1:-}" = "--as-root" ]; then
    if grant "$2"; then exit 0; else exit 1; fi
fi

# sudo needs a terminal to ask for the password; started from the launcher on the
# desktop, standard input may still be a terminal that is not ours to use.
has_terminal() {
    [ -t 0 ] && (: </dev/tty) 2>/dev/null
}

user=$(id -un)
# Run through sudo or pkexec by hand: the account to grant is the one that asked.
if [ "$user" = root ] && [ -n "${SUDO_USER:-}" ]; then
    user=$SUDO_USER
elif [ "$user" = root ] && [ -n "${PKEXEC_UID:-}" ]; then
    user=$(id -un "$PKEXEC_UID" 2>/dev/null) || user=root
fi
group=$(serial_group) || group=""

if [ -n "$group" ] && id -nG "$user" | tr ' ' '\n' | grep -qx "$group" && [ -f "$rules_file" ]; then
    tell "User $user already has access to serial ports (group $group)."
    exit 0
fi

status=0
if [ "$(id -u)" -eq 0 ]; then
    grant "$user" || status=$?
elif has_terminal && command -v sudo >/dev/null 2>&1; then
    sudo sh "$self" --as-root "$user" || status=$?
elif command -v pkexec >/dev/null 2>&1; then
    pkexec /bin/sh "$self" --as-root "$user" || status=$?
else
    tell "Administrator rights are needed. In a terminal run: sudo usermod -aG ${group:-dialout} $user"
    exit 1
fi

if [ "$status" -eq 0 ]; then
    tell "User $user may now use serial ports${group:+ (group $group)}. Log out and back in before starting QUILLON; a USB-serial adapter works at once on most desktops."
else
    tell "Serial port access could not be granted. In a terminal run: sudo usermod -aG ${group:-dialout} $user"
fi
exit "$status"
