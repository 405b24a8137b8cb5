# Writes a 32 x 32 cursor of the language resource libraries: by default the pointing hand (hot
# spot 7, 1); with an art file (beside this script, or a path) and a hot spot, that one
# (make-cursor.py out.cur art.txt x y).
import struct, sys
from pathlib import Path

# X = black outline, o = white fill, . = transparent. Same image as the toolkit's built-in hand.
art_name = sys.argv[2] if len(sys.argv) > 4 else "hand.txt"
hot = (int(sys.argv[3]), int(sys.argv[4])) if len(sys.argv) > 4 else (7, 1)
art_path = Path(art_name) if "/" in art_name else Path(__file__).with_name(art_name)
art = art_path.read_text().split("\n")[:32]
w = h = 32
xor = bytearray(w * h // 8)
andm = bytearray(w * h // 8)
for y in range(h):
    row = art[y].ljust(w, ".")
    for x in range(w):
        bit = 0x80 >> (x % 8)
        i = (h - 1 - y) * 4 + x // 8  # bottom-up rows in the file
        if row[x] == ".":
            andm[i] |= bit
        elif row[x] == "o":
            xor[i] |= bit
header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 1, 0, len(xor) + len(andm), 0, 0, 2, 0)
palette = struct.pack("<II", 0x000000, 0xFFFFFF)
image = header + palette + bytes(xor) + bytes(andm)
entry = struct.pack("<BBBBHHII", w, h, 2, 0, hot[0], hot[1], len(image), 6 + 16)
Path(sys.argv[1]).write_bytes(struct.pack("<HHH", 0, 2, 1) + entry + image)
