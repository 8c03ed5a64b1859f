#!/usr/bin/env python3
"""Draws the program icon, the six tool-bar images and the dialogs' button
pictures and writes resources/tsly.ico (16, 24, 32, 48 and 256 pixels,
32-bit colour with alpha: 16 from its own pixel map, the others drawn from
shapes at their own size; 256 stored as PNG), resources/toolbar.bmp (six 16x16 images, magenta =
transparent) with toolbar24.bmp and toolbar32.bmp (the same six for 144 and
192 dpi, redrawn with the Scale2x/Scale3x pixel-art rules so that edges stay
sharp and diagonals smooth instead of growing into steps) and the button pictures resources/{cancel,notepad,document,
house}.bmp with their 24- and 32-pixel drawings {cancel,...}24.bmp and 32.bmp
(16 colours, silver = transparent).
Run again after changing a map; the outputs are checked in."""
import struct, sys, os

# The 16 colours of the classic VGA palette.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
KEY = {'K': 0, 'r': 1, 'g': 2, 'o': 3, 'N': 4, 'P': 5, 't': 6, 'S': 7, 'D': 8,
       'R': 9, 'G': 10, 'Y': 11, 'B': 12, 'M': 13, 'C': 14, 'W': 15}


ICON = [  # scissors with blue handles before a white page with a green frame
    "....ggggggggggg.",
    "....gWWWWWWWWWg.",
    "....gWDDDDDDDWg.",
    "S.....SWWWWWWWg.",
    "S.....SDDDDDWWg.",
    ".S...S.WWWWWWWg.",
    ".S...S.DDDDDDWg.",
    "..S.S.WWWWWWWWg.",
    "...D..WDDDDDWWg.",
    "..B.B.WWWWWWWWg.",
    ".B...B.DDDDDDWg.",
    "BBB.BBBWWWWWWWg.",
    "B.B.B.BWWWWWWWg.",
    "BBB.BBBWWWWWWWg.",
    "....gWWWWWWWWWg.",
    "....ggggggggggg.",
]
# The icon's own 16-pixel frame: the scissors lie on the page, so that the
# page's dark green frame is whole on every side (it reads on a white task
# bar) and the white page carries the dark blades and blue handles (it
# reads on a dark one). Colours as the larger frames draw them.
ICON16 = [
    ".gggggggggggggg.",
    ".gWWWWWWWWWWWWg.",
    ".gWKWWWWKWWWWWg.",
    ".gWKWWWWKWLLLWg.",
    ".gWWKWWKWWWWWWg.",
    ".gWWKWWKWWLLLWg.",
    ".gWWWKKWWWWWWWg.",
    ".gWWWKKWWWLLLWg.",
    ".gWWKWWKWWWWWWg.",
    ".gWBBBWBBBWWWWg.",
    ".gWBWBWBWBWLLWg.",
    ".gWBBBWBBBWWWWg.",
    ".gWWWWWWWWWWWWg.",
    ".gWLLLLLLLLLWWg.",
    ".gWWWWWWWWWWWWg.",
    ".gggggggggggggg.",
]
ICON16_COLOURS = {'g': (0, 110, 0), 'W': (255, 255, 255), 'L': (140, 140, 150),
                  'K': (60, 60, 70), 'B': (40, 90, 230)}
CUT = [  # the same scissors before a plain white page
    "....DDDDDDDDDDD.",
    "....DWWWWWWWWWD.",
    "....DWWWWWWWWWD.",
    "S.....SWWWWWWWD.",
    "S.....SWWWWWWWD.",
    ".S...S.WWWWWWWD.",
    ".S...S.WWWWWWWD.",
    "..S.S.WWWWWWWWD.",
    "...D..WWWWWWWWD.",
    "..B.B.WWWWWWWWD.",
    ".B...B.WWWWWWWD.",
    "BBB.BBBWWWWWWWD.",
    "B.B.B.BWWWWWWWD.",
    "BBB.BBBWWWWWWWD.",
    "....DWWWWWWWWWD.",
    "....DDDDDDDDDDD.",
]
DOOR = [  # an open door in its frame
    "..KKKKKKKKKKK...",
    "..K.........K...",
    "..K.oo......K...",
    "..K.ooo.....K...",
    "..K.oooo....K...",
    "..K.ooooo...K...",
    "..K.ooooo...K...",
    "..K.ooYoo...K...",
    "..K.ooYoo...K...",
    "..K.ooooo...K...",
    "..K.ooooo...K...",
    "..K.ooooo...K...",
    "..K..oooo...K...",
    "..K...ooo...K...",
    "..K....oo...K...",
    "KKKKKKKKKKKKKKKK",
]
FOLDER = [  # an open folder
    "................",
    "................",
    "................",
    ".KKKK...........",
    "KYWYWK..........",
    "KWYWYWKKKKKKK...",
    "KYWYWYWYWYWYK...",
    "KWYWYWYWYWYWK...",
    "KYWYWYKKKKKKKKKK",
    "KWYWYKYYYYYYYYYK",
    "KYWYKYYYYYYYYYK.",
    "KWYKYYYYYYYYYK..",
    "KYKYYYYYYYYYK...",
    "KKYYYYYYYYYK....",
    "KKKKKKKKKKK.....",
    "................",
]
HELP = [  # a purple book with a yellow question mark
    "...KKKKKKKKKKK..",
    "..KPPPPPPPPPPK..",
    "..KPPPPYYYPPPK..",
    "..KPPPYPPPYPPK..",
    "..KPPPPPPPYPPK..",
    "..KPPPPPPYPPPK..",
    "..KPPPPPYPPPPK..",
    "..KPPPPPYPPPPK..",
    "..KPPPPPPPPPPK..",
    "..KPPPPPYPPPPK..",
    "..KPPPPPPPPPPK..",
    "..KPPPPPPPPPPK..",
    "..KKKKKKKKKKKK..",
    "..KWWWWWWWWWWK..",
    "...KKKKKKKKKKK..",
    "................",
]
WRENCH = [  # a wrench
    "...........SS...",
    "..........SSS..S",
    ".........SSS..SS",
    ".........SSS.SSD",
    ".........SSSSSSD",
    "........SSSSSSD.",
    ".......SSSSDDD..",
    "......SSSD......",
    ".....SSSD.......",
    "....SSSD........",
    "...SSSD.........",
    "..SSSD..........",
    ".SSSD...........",
    "SSSD............",
    "SSD.............",
    ".D..............",
]
IMAGES = [ICON, CUT, DOOR, FOLDER, HELP, WRENCH]


# Flat-button pictures, 16 colours, silver ('.') drawn transparent. The
# buttons with two states get the greyed picture beside the normal one.
CHECK = [  # a red check mark
    "................",
    "................",
    "..............R.",
    ".............RR.",
    "............RRR.",
    "...........RRR..",
    "..........RRR...",
    ".R.......RRR....",
    ".RR.....RRR.....",
    ".RRR...RRR......",
    "..RRR.RRR.......",
    "...RRRRR........",
    "....RRR.........",
    ".....R..........",
    "................",
    "................",
]
NOTEPAD = [  # a small notepad with its binding rings
    "................",
    "...K.K.K.K.K....",
    "..KDKDKDKDKDK...",
    "..KBBBBBBBBBK...",
    "..KWWWWWWWWWK...",
    "..KWKKKKKKWWK...",
    "..KWWWWWWWWWK...",
    "..KWKKKKKKKWK...",
    "..KWWWWWWWWWK...",
    "..KWKKKKKWWWK...",
    "..KWWWWWWWWWK...",
    "..KWKKKKKKWWK...",
    "..KWWWWWWWWWK...",
    "..KKKKKKKKKKK...",
    "................",
    "................",
]
DOCUMENT = [  # a page with a folded corner
    "................",
    "...KKKKKKKK.....",
    "...KWWWWWWKK....",
    "...KWWWWWWKWK...",
    "...KWWWWWWKKKK..",
    "...KWDDDDWWWWK..",
    "...KWWWWWWWWWK..",
    "...KWDDDDDDDWK..",
    "...KWWWWWWWWWK..",
    "...KWDDDDDDDWK..",
    "...KWWWWWWWWWK..",
    "...KWDDDDDWWWK..",
    "...KWWWWWWWWWK..",
    "...KWWWWWWWWWK..",
    "...KKKKKKKKKKK..",
    "................",
]
HOUSE = [  # a house with a red roof
    "................",
    ".......rr.......",
    "......rRRr......",
    ".....rRRRRr.....",
    "....rRRRRRRr....",
    "...rRRRRRRRRr...",
    "..rRRRRRRRRRRr..",
    ".rrrrrrrrrrrrrr.",
    "..KWWWWWWWWWWK..",
    "..KWBBWWWWBBWK..",
    "..KWBBWWWWBBWK..",
    "..KWWWWooWWWWK..",
    "..KWWWWooWWWWK..",
    "..KWWWWooWWWWK..",
    "..KKKKKKKKKKKK..",
    "................",
]
GLYPHS = [  # file name, picture, with a greyed one
    ('cancel.bmp', CHECK, True),
    ('notepad.bmp', NOTEPAD, True),
    ('document.bmp', DOCUMENT, True),
    ('house.bmp', HOUSE, False),
]


def greyed(image):
    """The disabled look: the shape in dark grey with a white shadow, one
    pixel of the 16-pixel drawing off."""
    n = len(image)
    off = n // 16
    rows = [['.'] * n for _ in range(n)]
    for y in range(n):
        for x in range(n):
            if image[y][x] != '.' and y + off < n and x + off < n:
                for dy in range(off):
                    for dx in range(off):
                        rows[y + off - dy][x + off - dx] = 'W'
    for y in range(n):
        for x in range(n):
            if image[y][x] != '.':
                rows[y][x] = 'D'
    return [''.join(r) for r in rows]


def glyph_bmp(images):
    """A 16-colour bitmap of square pictures side by side; '.' is silver."""
    size = len(images[0])
    width, height = size * len(images), size
    row_bytes = ((width * 4 + 31) // 32) * 4
    pixels = bytearray()
    for y in reversed(range(height)):  # bottom-up rows
        indices = [KEY['S'] if ch == '.' else KEY[ch] for image in images for ch in image[y]]
        row = bytearray(a << 4 | b for a, b in zip(indices[0::2], indices[1::2]))
        row += b'\0' * (row_bytes - len(row))
        pixels += row
    palette = b''.join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
    header = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 4, 0, len(pixels), 2835, 2835, 16, 0)
    offset = 14 + len(header) + len(palette)
    return b'BM' + struct.pack('<IHHI', offset + len(pixels), 0, 0, offset) + header + palette + pixels


def check(image):
    assert len(image) == 16 and all(len(r) == 16 for r in image), image


def scale2x(image):
    """Scale2x (EPX): each pixel becomes four, taking a neighbour's colour
    where two neighbours agree, so diagonal edges stay diagonal."""
    n = len(image)
    at = lambda x, y: image[min(max(y, 0), n - 1)][min(max(x, 0), n - 1)]
    rows = [[''] * (2 * n) for _ in range(2 * n)]
    for y in range(n):
        for x in range(n):
            p, a, b, c, d = at(x, y), at(x, y - 1), at(x + 1, y), at(x - 1, y), at(x, y + 1)
            rows[2 * y][2 * x] = a if c == a and c != d and a != b else p
            rows[2 * y][2 * x + 1] = b if a == b and a != c and b != d else p
            rows[2 * y + 1][2 * x] = c if d == c and d != b and c != a else p
            rows[2 * y + 1][2 * x + 1] = d if b == d and b != a and d != c else p
    return [''.join(r) for r in rows]


def scale3x(image):
    """Scale3x: the three-by-three sibling of Scale2x."""
    n = len(image)
    at = lambda x, y: image[min(max(y, 0), n - 1)][min(max(x, 0), n - 1)]
    rows = [[''] * (3 * n) for _ in range(3 * n)]
    for y in range(n):
        for x in range(n):
            a, b, c = at(x - 1, y - 1), at(x, y - 1), at(x + 1, y - 1)
            d, e, f = at(x - 1, y), at(x, y), at(x + 1, y)
            g, h, i = at(x - 1, y + 1), at(x, y + 1), at(x + 1, y + 1)
            out = [e] * 9
            if b != h and d != f:
                out[0] = d if d == b else e
                out[1] = b if (d == b and e != c) or (b == f and e != a) else e
                out[2] = f if b == f else e
                out[3] = d if (d == b and e != g) or (d == h and e != a) else e
                out[5] = f if (b == f and e != i) or (h == f and e != c) else e
                out[6] = d if d == h else e
                out[7] = h if (d == h and e != i) or (h == f and e != g) else e
                out[8] = f if h == f else e
            for k in range(9):
                rows[3 * y + k // 3][3 * x + k % 3] = out[k]
    return [''.join(r) for r in rows]


def at_24(image):
    """24 pixels: Scale3x to 48, then each 2x2 block's most frequent colour."""
    big = scale3x(image)
    rows = []
    for y in range(0, 48, 2):
        row = ''
        for x in range(0, 48, 2):
            block = [big[y][x], big[y][x + 1], big[y + 1][x], big[y + 1][x + 1]]
            row += max(block, key=block.count)
        rows.append(row)
    return rows


def toolbar_bmp(images):
    size = len(images[0])
    width, height = size * len(images), size
    row_bytes = (width * 3 + 3) & ~3
    pixels = bytearray()
    for y in reversed(range(height)):  # bottom-up rows
        row = bytearray()
        for image in images:
            for ch in image[y]:
                r, g, b = (255, 0, 255) if ch == '.' else PALETTE[KEY[ch]]
                row += bytes((b, g, r))
        row += b'\0' * (row_bytes - len(row))
        pixels += row
    header = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return b'BM' + struct.pack('<IHHI', 14 + len(header) + len(pixels), 0, 0, 14 + 40) + header + pixels


def pixel_map_rgba(image):
    """The pixel map as rows of (r, g, b, a); '.' is transparent."""
    return [[(0, 0, 0, 0) if ch == '.' else PALETTE[KEY[ch]] + (255,) for ch in row]
            for row in image]


def draw_icon(size):
    """The icon drawn from shapes for `size` pixels: a white page with a
    green frame and grey lines of text, and scissors with blue handles.
    Positions snap to whole pixels and strokes are at least a pixel wide, so
    every size is sharp; each pixel is sampled 4x4 for smooth edges."""
    u = size / 32.0  # one pixel of the 32-pixel design
    px = lambda v: round(v * u)
    frame = max(1, px(1))
    shapes = []  # (kind, parameters, colour), painted in order
    left, top, right, bottom = px(9), px(1), size - px(1), size - px(1)
    if size >= 48:  # a soft shadow where the page stands off the desktop
        shapes.append(('rect', (left + frame, top + frame, right + frame, bottom + frame),
                       (0, 0, 0, 60)))
    shapes.append(('rect', (left, top, right, bottom), (0, 110, 0, 255)))
    shapes.append(('rect', (left + frame, top + frame, right - frame, bottom - frame),
                   (255, 255, 255, 255)))
    # Lines of text, as many as the page holds at this size.
    pitch = max(2, px(3))
    y = top + frame + max(2, px(3))
    while y + max(1, px(1)) <= bottom - frame - max(1, px(2)):
        indent = left + frame + max(1, px(2))
        stop = right - frame - max(1, px(2)) - (px(4) if (y // pitch) % 3 == 2 else 0)
        shapes.append(('rect', (indent, y, stop, y + max(1, px(1))), (140, 140, 150, 255)))
        y += pitch
    # The scissors: two blades crossing at the pivot, two round handles.
    blade = max(1.5, 2.2 * u)
    pivot = (8.5 * u, 18.5 * u)
    for tip, handle in (((1.5 * u, 5 * u), (14.5 * u, 26 * u)),
                        ((15.5 * u, 5 * u), (3 * u, 26 * u))):
        shapes.append(('line', (tip, handle, blade + max(1.0, u)), (60, 60, 70, 255)))
        shapes.append(('line', (tip, pivot, blade), (200, 205, 215, 255)))
    shapes.append(('disc', (pivot, max(1.0, 1.3 * u)), (60, 60, 70, 255)))
    ring = max(1.2, 2.0 * u)
    for centre in ((4.5 * u, 26.5 * u), (13.5 * u, 26.5 * u)):
        shapes.append(('ring', (centre, 3.6 * u, ring + max(0.8, 0.6 * u)), (0, 0, 90, 255)))
        shapes.append(('ring', (centre, 3.6 * u, ring), (40, 90, 230, 255)))

    def inside(kind, p, x, y):
        if kind == 'rect':
            return p[0] <= x < p[2] and p[1] <= y < p[3]
        if kind == 'disc':
            (cx, cy), r = p
            return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
        if kind == 'ring':
            (cx, cy), r, w = p
            return abs(((x - cx) ** 2 + (y - cy) ** 2) ** 0.5 - r) <= w / 2
        (ax, ay), (bx, by), w = p  # a line with round ends
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
        return (x - ax - t * dx) ** 2 + (y - ay - t * dy) ** 2 <= w * w / 4

    def bounds(kind, p):
        if kind == 'rect':
            return p
        if kind == 'disc':
            (cx, cy), r = p
            return cx - r, cy - r, cx + r, cy + r
        if kind == 'ring':
            (cx, cy), r, w = p
            return cx - r - w, cy - r - w, cx + r + w, cy + r + w
        (ax, ay), (bx, by), w = p
        return min(ax, bx) - w, min(ay, by) - w, max(ax, bx) + w, max(ay, by) + w

    n = 4
    offsets = [(i + 0.5) / n for i in range(n)]
    pixels = [[[0.0, 0.0, 0.0, 0.0] for _ in range(size)] for _ in range(size)]
    for kind, p, (r, g, b, a) in shapes:
        x0, y0, x1, y1 = bounds(kind, p)
        for y in range(max(0, int(y0)), min(size, int(y1) + 1)):
            for x in range(max(0, int(x0)), min(size, int(x1) + 1)):
                hits = sum(inside(kind, p, x + ox, y + oy) for ox in offsets for oy in offsets)
                if not hits:
                    continue
                cover = a / 255.0 * hits / (n * n)
                dst = pixels[y][x]  # premultiplied
                for k, c in enumerate((r, g, b)):
                    dst[k] = c / 255.0 * cover + dst[k] * (1 - cover)
                dst[3] = cover + dst[3] * (1 - cover)
    out = []
    for row in pixels:
        line = []
        for pr, pg, pb, pa in row:
            if pa <= 0:
                line.append((0, 0, 0, 0))
            else:
                line.append(tuple(min(255, round(c / pa * 255)) for c in (pr, pg, pb)) +
                            (round(pa * 255),))
        out.append(line)
    return out


def icon_bitmap(rows):
    """One 32-bit icon frame: header, bottom-up BGRA rows, AND mask."""
    size = len(rows)
    xor = bytearray()
    and_mask = bytearray()
    and_row = ((size + 31) // 32) * 4
    for y in reversed(range(size)):
        bits = bytearray(and_row)
        for x, (r, g, b, a) in enumerate(rows[y]):
            xor += bytes((b, g, r, a))
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        and_mask += bits
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, len(xor) + len(and_mask),
                         0, 0, 0, 0)
    return header + xor + and_mask


def png(rows):
    import zlib
    size = len(rows)
    raw = b''.join(b'\0' + b''.join(bytes(p) for p in row) for row in rows)
    chunk = lambda kind, data: (struct.pack('>I', len(data)) + kind + data +
                                struct.pack('>I', zlib.crc32(kind + data) & 0xffffffff))
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def ico(image):
    frames = [[[(0, 0, 0, 0) if ch == '.' else ICON16_COLOURS[ch] + (255,) for ch in row]
               for row in image]] + [draw_icon(size) for size in (24, 32, 48, 256)]
    entries, blobs = b'', b''
    offset = 6 + 16 * len(frames)
    for rows in frames:
        size = len(rows)
        blob = png(rows) if size == 256 else icon_bitmap(rows)
        entries += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
        blobs += blob
    return struct.pack('<HHH', 0, 1, len(frames)) + entries + blobs


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), '..', 'resources')
    for image in IMAGES + [ICON16]:
        check(image)
    with open(os.path.join(out, 'toolbar.bmp'), 'wb') as f:
        f.write(toolbar_bmp(IMAGES))
    with open(os.path.join(out, 'toolbar24.bmp'), 'wb') as f:
        f.write(toolbar_bmp([at_24(image) for image in IMAGES]))
    with open(os.path.join(out, 'toolbar32.bmp'), 'wb') as f:
        f.write(toolbar_bmp([scale2x(image) for image in IMAGES]))
    with open(os.path.join(out, 'tsly.ico'), 'wb') as f:
        f.write(ico(ICON16))
    for name, image, with_greyed in GLYPHS:
        check(image)
        # At 16, 24 and 32 pixels, for 96, 144 and 192 dpi, as the tool bar.
        for suffix, drawn in (('', image), ('24', at_24(image)), ('32', scale2x(image))):
            with open(os.path.join(out, name.replace('.bmp', suffix + '.bmp')), 'wb') as f:
                f.write(glyph_bmp([drawn, greyed(drawn)] if with_greyed else [drawn]))


if __name__ == '__main__':
    main()
