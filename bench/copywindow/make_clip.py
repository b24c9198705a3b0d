# Writes a small uncompressed 24-bit AVI clip (96 x 40, 8 frames, 10 frames a second): a sheet
# of paper moving between two folders, for the copy window to play while the benchmark copies.
import struct, sys

W, H, FRAMES = 96, 40, 8
ROW = W * 3
FRAME_BYTES = ROW * H

def frame(n):
    px = bytearray(FRAME_BYTES)
    def paint(x0, y0, x1, y1, rgb):
        r, g, b = rgb
        for y in range(y0, y1):
            base = (H - 1 - y) * ROW
            for x in range(x0, x1):
                px[base + 3 * x:base + 3 * x + 3] = bytes((b, g, r))
    paint(0, 0, W, H, (192, 192, 192))
    for left in (2, 70):
        paint(left, 14, left + 24, 36, (120, 90, 20))
        paint(left + 1, 15, left + 23, 35, (240, 192, 48))
    x = 14 + n * (66 - 14) // (FRAMES - 1)
    paint(x, 4, x + 14, 22, (60, 60, 60))
    paint(x + 1, 5, x + 13, 21, (255, 255, 255))
    return bytes(px)

def chunk(fourcc, data):
    pad = b"\0" if len(data) % 2 else b""
    return fourcc + struct.pack("<I", len(data)) + data + pad

def lst(kind, data):
    return chunk(b"LIST", kind + data)

avih = struct.pack("<10I4I", 100000, FRAME_BYTES * 10, 0, 0x10, FRAMES, 0, 1, FRAME_BYTES, W, H, 0, 0, 0, 0)
strh = b"vidsDIB " + struct.pack("<IHHIIIIIIII4H", 0, 0, 0, 0, 1, 10, 0, FRAMES, FRAME_BYTES, 0xFFFFFFFF, 0, 0, 0, W, H)
strf = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 24, 0, FRAME_BYTES, 0, 0, 0, 0)
hdrl = lst(b"hdrl", chunk(b"avih", avih) + lst(b"strl", chunk(b"strh", strh) + chunk(b"strf", strf)))
movi_body, index = b"", b""
for n in range(FRAMES):
    index += b"00db" + struct.pack("<III", 0x10, 4 + len(movi_body), FRAME_BYTES)
    movi_body += chunk(b"00db", frame(n))
riff = chunk(b"RIFF", b"AVI " + hdrl + lst(b"movi", movi_body) + chunk(b"idx1", index))
with open(sys.argv[1], "wb") as out:
    out.write(riff)
