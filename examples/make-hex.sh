#!/bin/sh
# Assembles the examples into the .hex files beside them with gpasm (Debian package
# gputils), one command per program:
#   gpasm -a inhx32 -o blink.hex blink.asm
#   gpasm -a inhx32 -o fill.hex fill.asm
#   gpasm -a inhx32 -I ../firmware -o interrupt.hex interrupt.asm
set -eu
cd "$(dirname "$0")"
for source in blink fill interrupt; do
    gpasm -a inhx32 -I ../firmware -o "$source.hex" "$source.asm"
    rm -f "$source.cod" "$source.lst"
done
