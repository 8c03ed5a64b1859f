#!/usr/bin/env python3
"""The 16-pixel frame of the program's icon reads on a white task bar and on
a dark one. Read from resources/tsly.ico as the system reads it: on white,
every pixel of the silhouette's edge reaches 3:1 (no pale blade or missing
page edge fades into the bar); on dark, at least half of its pixels do."""
import struct, sys


def frame16(path):
    data = open(path, 'rb').read()
    _, _, count = struct.unpack_from('<HHH', data, 0)
    for i in range(count):
        w, h, _, _, _, bits, size, offset = struct.unpack_from('<BBBBHHII', data, 6 + 16 * i)
        if w == 16 and bits == 32:
            rows = []
            for y in range(16):  # bottom-up BGRA after a 40-byte header
                base = offset + 40 + (15 - y) * 64
                rows.append([struct.unpack_from('<BBBB', data, base + 4 * x) for x in range(16)])
            return [[(r, g, b, a) for b, g, r, a in row] for row in rows]
    sys.exit('no 32-bit 16-pixel frame in ' + path)


def luminance(rgb):
    lin = [c / 255 / 12.92 if c / 255 <= 0.03928 else ((c / 255 + 0.055) / 1.055) ** 2.4 for c in rgb]
    return 0.2126 * lin[0] + 0.7152 * lin[1] + 0.0722 * lin[2]


def contrast(a, b):
    la, lb = sorted((luminance(a), luminance(b)))
    return (lb + 0.05) / (la + 0.05)


def main():
    rows = frame16(sys.argv[1])
    opaque = {(x, y): p[:3] for y, row in enumerate(rows) for x, p in enumerate(row) if p[3] == 255}
    assert len(opaque) >= 128, 'the frame is mostly transparent'
    edge = [xy for xy in opaque
            if any((xy[0] + dx, xy[1] + dy) not in opaque for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))]
    white, dark = (255, 255, 255), (32, 32, 32)
    faint = [xy for xy in edge if contrast(opaque[xy], white) < 3]
    assert not faint, 'edge pixels faint on white: %s' % sorted(faint)
    readable = sum(contrast(c, dark) >= 3 for c in opaque.values())
    assert readable * 2 >= len(opaque), 'only %d of %d pixels read on dark' % (readable, len(opaque))
    print('icon ok: %d pixels, edge of %d reads on white, %d read on dark' % (len(opaque), len(edge), readable))


if __name__ == '__main__':
    main()
