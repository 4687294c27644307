#!/usr/bin/env bash
# Makes the ten line announcements ("Line one" ... "Line ten") that the recording-line test plays
# while it records a line: short spoken clips, 16 kHz mono 16-bit PCM WAV, silence trimmed and
# peaks normalised to -3 dBFS. The clips are committed under src/resources/sounds/ and compiled
# into the program; this script is only needed to make them again. It needs espeak-ng and sox,
# which are not build dependencies:
#
#   apt-get install espeak-ng sox && tools/make-line-sounds.sh
set -euo pipefail
cd "$(dirname "$0")/.."
out=src/resources/sounds
mkdir -p "$out"

for tool in espeak-ng sox; do
  command -v "$tool" >/dev/null || { echo "make-line-sounds: $tool is not installed" >&2; exit 1; }
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

words=(one two three four five six seven eight nine ten)
for i in "${!words[@]}"; do
  n=$((i + 1))
  espeak-ng -v en -s 190 -w "$tmp/raw.wav" "Line ${words[$i]}"
  # Leading and trailing silence removed, a 20 ms lead-in kept so the first sound is not cut.
  sox --no-dither "$tmp/raw.wav" -r 16000 -c 1 -b 16 -e signed-integer "$tmp/trim.wav" \
    silence 1 0.01 0.5% reverse silence 1 0.01 0.5% reverse pad 0.02 0.02
  sox --no-dither --norm=-3 "$tmp/trim.wav" --comment "" -t wav "$out/line$n.wav"
done
ls -l "$out"
