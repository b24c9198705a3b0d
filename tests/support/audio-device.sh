#!/bin/sh
# Gives Wine an audio device for the sound tests: ALSA's null output as the default device of the
# test home (Wine's ALSA driver then mixes and advances the play cursor without any sound card).
# With `none`, makes a home with no device at all, for the test of a machine without sound.
# usage: audio-device.sh <home folder> [none]
set -eu
home=$1
mkdir -p "$home"
if [ "${2:-}" = none ]; then
    rm -f "$home/.asoundrc"
    echo "no audio device in $home"
else
    printf 'pcm.!default { type null }\n' > "$home/.asoundrc"
    echo "ALSA null output in $home/.asoundrc"
fi
