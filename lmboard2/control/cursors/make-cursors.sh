#!/bin/sh
# Writes the board's cursors from their pictures (X outline, o fill, . see-through) with the
# language libraries' cursor writer: name, picture, hot spot.
set -e
cd "$(dirname "$0")"
cursor() { python3 ../../../resources/skin/make-cursor.py "$1.cur" "./$1.txt" "$2" "$3"; }
cursor pen 1 30
cursor pointer 0 0
cursor text 15 15
cursor stamp 15 15
cursor hand-open 13 12
cursor hand-grab 13 12
