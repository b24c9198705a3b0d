#!/bin/sh
# Installs the build and test tools that are missing (Debian 12); a second run does nothing.
set -eu
# fonts-ipafont-gothic: Japanese text in the windows; fonts-wine: the system fonts Wine draws
# caption buttons and dialogs with (Marlett, MS Sans Serif); imagemagick: screenshots for the documentation;
# wixl: the Windows Installer package.
packages="cmake make python3 g++-mingw-w64-x86-64 g++-mingw-w64-i686 mingw-w64-tools libwine-dev wine wine64 xvfb xauth googletest fonts-ipafont-gothic fonts-wine imagemagick wixl"
missing=""
for p in $packages; do
    dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
done
dpkg -s wine32:i386 >/dev/null 2>&1 || missing="$missing wine32:i386"
# The sound tests give Wine's ALSA driver (64- and 32-bit) a null output device.
for p in libasound2:amd64 libasound2:i386; do
    dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
done
# Tests run in the Japanese locale; Wine needs it present to name files in UTF-8.
need_locale=0
locale -a 2>/dev/null | grep -qix 'ja_JP.utf8' || need_locale=1
[ -z "$missing" ] && [ $need_locale = 0 ] && exit 0
if [ "$(id -u)" != 0 ]; then
    echo "missing packages:$missing (and the ja_JP.UTF-8 locale: $need_locale); run as root to install them" >&2
    exit 1
fi
echo "installing:$missing"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
if [ -n "$missing" ] || ! dpkg -s locales >/dev/null 2>&1; then
    # A mirror in the middle of a sync fails the update for a minute or two: try again, then go
    # on with whatever lists were fetched (the install itself says if a package is still missing).
    tries=0
    until apt-get update -qq; do
        tries=$((tries + 1))
        [ $tries -ge 4 ] && { echo "apt-get update failed $tries times; installing from the lists there are" >&2; break; }
        sleep 15
    done
    # 32-bit Wine needs its libraries at the very versions of their 64-bit twins; where one
    # architecture's security list could not be fetched, take both from the release itself.
    apt-get install -y -qq --no-install-recommends $missing locales >/dev/null ||
        apt-get install -y -qq --no-install-recommends -t bookworm $missing locales >/dev/null
fi
if [ $need_locale = 1 ]; then
    sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen >/dev/null
fi
