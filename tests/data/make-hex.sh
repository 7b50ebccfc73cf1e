#!/bin/sh
# Assembles the test programs into the committed .hex files with gpasm (Debian
# package gputils). blink.asm warns that its EEPROM table runs past 0x21FF: that
# is on purpose, so that the converted EEPROM addresses wrap.
set -eu
cd "$(dirname "$0")"
for source in blink table; do
    gpasm -a inhx32 -o "$source.hex" "$source.asm"
    rm -f "$source.cod" "$source.lst"
done
