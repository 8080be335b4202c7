#!/usr/bin/env python3
"""Draws the pictures compiled into Tellavox and writes them as C++ sources.

Rerun from the repository root after changing a drawing:

    python3 resources/generate/draw_images.py            # rewrites the .cpp files
    python3 resources/generate/draw_images.py --preview /tmp/pics   # also PNGs
    python3 resources/generate/draw_images.py --icons   # also the desktop icons

It writes resources/RangeBarImages.cpp (the five range-bar pictures) and
resources/AppImages.cpp (the application icon and the start picture), and
with --icons the icon at the desktop's sizes in resources/icons/. Only
the Python 3 standard library is used; the build does not run this script.

Every shape is described by a signed distance (negative inside) and
rasterised with 8 x 8 samples per pixel, so edges are anti-aliased. Raw
images are stored as rows of blue, green, red, alpha with straight alpha.
"""

import argparse
import math
import os
import struct
import zlib

SAMPLES = 8
HERE = os.path.dirname(os.path.abspath(__file__))
RESOURCES = os.path.dirname(HERE)


# ---------------------------------------------------------------- shapes

def sd_convex_polygon(points):
    """Signed distance to a convex polygon given clockwise in screen axes."""
    edges = []
    n = len(points)
    for i in range(n):
        x1, y1 = points[i]
        x2, y2 = points[(i + 1) % n]
        ex, ey = x2 - x1, y2 - y1
        length = math.hypot(ex, ey)
        if length == 0:
            continue
        # outward normal of a clockwise polygon (y axis pointing down)
        edges.append((x1, y1, ey / length, -ex / length))

    def distance(x, y):
        return max((x - ex) * nx + (y - ey) * ny for ex, ey, nx, ny in edges)
    return distance


def rounded_polygon(corners, radius, steps=10):
    """The corners of a convex polygon with every corner rounded by radius,
    as a denser convex polygon (clockwise in screen axes)."""
    out = []
    n = len(corners)
    for i in range(n):
        px, py = corners[i - 1]
        cx, cy = corners[i]
        nx_, ny_ = corners[(i + 1) % n]
        a = math.atan2(py - cy, px - cx)
        b = math.atan2(ny_ - cy, nx_ - cx)
        half = (b - a) % (2 * math.pi)
        if half > math.pi:
            half -= 2 * math.pi
        half = abs(half) / 2
        dist = radius / math.tan(half)
        ux, uy = (px - cx), (py - cy)
        lu = math.hypot(ux, uy)
        vx, vy = (nx_ - cx), (ny_ - cy)
        lv = math.hypot(vx, vy)
        start = (cx + ux / lu * dist, cy + uy / lu * dist)
        end = (cx + vx / lv * dist, cy + vy / lv * dist)
        bx, by = ux / lu + vx / lv, uy / lu + vy / lv
        lb = math.hypot(bx, by)
        centre_dist = radius / math.sin(half)
        ox, oy = cx + bx / lb * centre_dist, cy + by / lb * centre_dist
        a0 = math.atan2(start[1] - oy, start[0] - ox)
        a1 = math.atan2(end[1] - oy, end[0] - ox)
        sweep = (a1 - a0) % (2 * math.pi)
        if sweep > math.pi:
            sweep -= 2 * math.pi
        for k in range(steps + 1):
            t = a0 + sweep * k / steps
            out.append((ox + radius * math.cos(t), oy + radius * math.sin(t)))
    return out


def sd_round_rect(x0, y0, x1, y1, r):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r

    def distance(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0), max(qy, 0))
        return outside + min(max(qx, qy), 0) - r
    return distance


def sd_segment(ax, ay, bx, by, width):
    def distance(x, y):
        px, py = x - ax, y - ay
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, (px * dx + py * dy) / (dx * dx + dy * dy)))
        return math.hypot(px - dx * t, py - dy * t) - width / 2
    return distance


def sd_arc(cx, cy, r, width, gap_from=None, gap_to=None):
    """A ring of radius r; angles (degrees, screen axes) in the gap are cut
    away with round ends."""
    def on_ring(angle):
        return cx + r * math.cos(angle), cy + r * math.sin(angle)

    def distance(x, y):
        d = abs(math.hypot(x - cx, y - cy) - r) - width / 2
        if gap_from is None:
            return d
        angle = math.degrees(math.atan2(y - cy, x - cx)) % 360
        lo, hi = gap_from % 360, gap_to % 360
        inside_gap = lo <= angle <= hi if lo <= hi else (angle >= lo or angle <= hi)
        if not inside_gap:
            return d
        ends = [on_ring(math.radians(lo)), on_ring(math.radians(hi))]
        return min(math.hypot(x - ex, y - ey) for ex, ey in ends) - width / 2
    return distance


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def coverage(shape, px, py, inset=0.0):
    """Share of the pixel (px, py) inside the shape shrunk by inset."""
    inside = 0
    for sy in range(SAMPLES):
        y = py + (sy + 0.5) / SAMPLES
        for sx in range(SAMPLES):
            x = px + (sx + 0.5) / SAMPLES
            if shape(x, y) <= -inset:
                inside += 1
    return inside / (SAMPLES * SAMPLES)


# ---------------------------------------------------------------- canvas

class Canvas:
    """Straight-alpha RGBA pixels, painted with 'over' compositing."""

    def __init__(self, width, height, background=(0, 0, 0, 0)):
        self.width, self.height = width, height
        self.pixels = [[list(background) for _ in range(width)] for _ in range(height)]

    def over(self, x, y, colour, alpha):
        if alpha <= 0:
            return
        r, g, b = colour
        dst = self.pixels[y][x]
        da = dst[3] / 255.0
        out_a = alpha + da * (1 - alpha)
        for c, src in enumerate((r, g, b)):
            dst[c] = (src * alpha + dst[c] * da * (1 - alpha)) / out_a
        dst[3] = out_a * 255.0

    def fill(self, shape, colour_at, inset=0.0, opacity=1.0):
        """colour_at(x, y) gives the colour of the pixel centre."""
        for y in range(self.height):
            for x in range(self.width):
                d = shape(x + 0.5, y + 0.5)
                if d > 1.5 + inset:
                    continue
                # A pixel whose centre lies this deep inside is wholly covered.
                cov = 1.0 if d < -1.5 - inset else coverage(shape, x, y, inset)
                self.over(x, y, colour_at(x + 0.5, y + 0.5), cov * opacity)

    def outline(self, shape, colour, width=1.0, opacity=1.0):
        """A band of the given width just inside the shape's edge."""
        for y in range(self.height):
            for x in range(self.width):
                d = shape(x + 0.5, y + 0.5)
                if d > 1.5 or d < -width - 1.5:
                    continue
                cov = coverage(shape, x, y) - coverage(shape, x, y, width)
                self.over(x, y, colour, cov * opacity)

    def rgba(self):
        return [[tuple(int(round(max(0, min(255, c)))) for c in p) for p in row]
                for row in self.pixels]


def vertical_gradient(top, bottom, y0, y1):
    def colour(x, y):
        t = max(0.0, min(1.0, (y - y0) / (y1 - y0)))
        return tuple(a + (b - a) * t for a, b in zip(top, bottom))
    return colour


def flipped_vertically(rows):
    return list(reversed(rows))


# ---------------------------------------------------------------- drawings

ARROW_TOP = (196, 209, 226)
ARROW_BOTTOM = (128, 148, 178)
ARROW_EDGE = (62, 78, 104)
ARROW_SHINE = (255, 255, 255)


def draw_slider_up():
    """17 x 19 thumb under the bar, its tip at the top centre column."""
    c = Canvas(17, 19)
    corners = [(8.5, 0.2), (16.4, 8.1), (16.4, 18.6), (0.6, 18.6), (0.6, 8.1)]
    body = sd_convex_polygon(rounded_polygon(corners, 2.2))
    c.fill(body, vertical_gradient(ARROW_TOP, ARROW_BOTTOM, 2, 18))
    c.outline(body, ARROW_SHINE, width=2.0, opacity=0.35)
    c.outline(body, ARROW_EDGE, width=1.0, opacity=0.85)
    return c.rgba()


def draw_slider_down():
    """The same thumb pointing down, for above the bar; lit from the top
    like its twin."""
    c = Canvas(17, 19)
    corners = [(0.6, 0.4), (16.4, 0.4), (16.4, 10.9), (8.5, 18.8), (0.6, 10.9)]
    body = sd_convex_polygon(rounded_polygon(corners, 2.2))
    c.fill(body, vertical_gradient(ARROW_TOP, ARROW_BOTTOM, 1, 17))
    c.outline(body, ARROW_SHINE, width=2.0, opacity=0.35)
    c.outline(body, ARROW_EDGE, width=1.0, opacity=0.85)
    return c.rgba()


# The bar pictures are drawn two rows above the coloured track and reach
# two rows into it; their visible part is the groove's top rim and its two
# rounded ends. They are cut from one drawing of the whole groove: left cap
# (4 wide), a stretch of body, right cap (4 wide).
GROOVE_EDGE = (104, 116, 136)
GROOVE_INSIDE = (222, 227, 235)


def draw_groove(body_width):
    width = 4 + body_width + 4
    c = Canvas(width, 6)
    groove = sd_round_rect(0.0, 0.0, width, 10.0, 3.0)
    c.fill(groove, lambda x, y: GROOVE_INSIDE)
    c.outline(groove, GROOVE_EDGE, width=1.0, opacity=0.9)
    shadow = sd_round_rect(1.0, 1.0, width - 1.0, 10.0, 2.0)
    c.outline(shadow, (150, 160, 178), width=1.0, opacity=0.5)
    return c.rgba()


def draw_bar_pieces():
    groove = draw_groove(100)
    left = [row[0:4] for row in groove]
    centre = [row[4:104] for row in groove]
    right = [row[104:108] for row in groove]
    return left, centre, right


MARK_TOP = (74, 144, 226)
MARK_BOTTOM = (38, 86, 170)
MARK_EDGE = (28, 64, 132)


def draw_mark(c, x0, y0, size):
    """The Tellavox mark: a rounded blue tile with a white play triangle and
    three sound bars."""
    s = size / 48.0
    tile = sd_round_rect(x0 + 1 * s, y0 + 1 * s, x0 + 47 * s, y0 + 47 * s, 10 * s)
    c.fill(tile, vertical_gradient(MARK_TOP, MARK_BOTTOM, y0, y0 + size))
    c.outline(tile, MARK_EDGE, width=max(1.0, s), opacity=0.8)
    c.outline(sd_round_rect(x0 + 2 * s, y0 + 2 * s, x0 + 46 * s, y0 + 46 * s, 9 * s),
              (255, 255, 255), width=max(1.0, s), opacity=0.25)
    triangle = [(x0 + 11 * s, y0 + 12 * s), (x0 + 29 * s, y0 + 24 * s),
                (x0 + 11 * s, y0 + 36 * s)]
    play = sd_convex_polygon(rounded_polygon(triangle, 2.5 * s))
    c.fill(play, lambda x, y: (255, 255, 255))
    for bx, half in ((31.5, 4.0), (35.5, 8.0), (39.5, 5.5)):
        bar = sd_segment(x0 + bx * s, y0 + (24 - half) * s,
                         x0 + bx * s, y0 + (24 + half) * s, 2.4 * s)
        c.fill(bar, lambda x, y: (255, 255, 255), opacity=0.92)


# The sizes of the desktop icons installed into the hicolor theme.
ICON_SIZES = (16, 24, 32, 48, 64, 128, 256)


def draw_app_icon(size=48):
    c = Canvas(size, size)
    draw_mark(c, 0, 0, size)
    return c.rgba()


def word_tellavox(x0, baseline, xh, stroke):
    """The word "Tellavox" as strokes; x-height xh. Returns (shape, width)."""
    parts = []
    cap = xh * 1.45
    r = xh / 2
    x = x0
    # T
    tw = xh * 1.05
    parts += [sd_segment(x, baseline - cap, x + tw, baseline - cap, stroke),
              sd_segment(x + tw / 2, baseline - cap, x + tw / 2, baseline, stroke)]
    x += tw + stroke * 0.7
    # e
    parts += [sd_arc(x + r, baseline - r, r - stroke / 2, stroke, 10, 40),
              sd_segment(x + stroke / 2, baseline - r, x + 2 * r - stroke / 2, baseline - r,
                         stroke * 0.9)]
    x += 2 * r + stroke * 1.2
    # l l
    for _ in range(2):
        parts.append(sd_segment(x + stroke / 2, baseline - cap, x + stroke / 2, baseline, stroke))
        x += stroke + stroke * 1.4
    # a
    parts += [sd_arc(x + r, baseline - r, r - stroke / 2, stroke),
              sd_segment(x + 2 * r - stroke / 2, baseline - xh, x + 2 * r - stroke / 2,
                         baseline, stroke)]
    x += 2 * r + stroke * 1.0
    # v
    vw = xh * 0.95
    parts += [sd_segment(x + stroke / 2, baseline - xh, x + vw / 2, baseline - stroke / 3, stroke),
              sd_segment(x + vw / 2, baseline - stroke / 3, x + vw - stroke / 2, baseline - xh,
                         stroke)]
    x += vw + stroke * 0.8
    # o
    parts.append(sd_arc(x + r, baseline - r, r - stroke / 2, stroke))
    x += 2 * r + stroke * 0.9
    # x
    parts += [sd_segment(x + stroke / 2, baseline - xh, x + vw - stroke / 2, baseline, stroke),
              sd_segment(x + vw - stroke / 2, baseline - xh, x + stroke / 2, baseline, stroke)]
    x += vw
    return union(*parts), x - x0


def draw_start_logo():
    width, height = 157, 179
    c = Canvas(width, height, (255, 255, 255, 255))
    mark = 104
    draw_mark(c, (width - mark) // 2, 18, mark)
    xh, stroke = 15.0, 3.2
    _, word_width = word_tellavox(0, 0, xh, stroke)
    shape, _ = word_tellavox((width - word_width) / 2, 160, xh, stroke)
    c.fill(shape, lambda x, y: (52, 62, 80))
    return c.rgba()


# ---------------------------------------------------------------- output

def c_bytes(values, per_line=16, indent="    "):
    lines = []
    for i in range(0, len(values), per_line):
        lines.append(indent + ", ".join("0x%02x" % v for v in values[i:i + per_line]) + ",")
    return "\n".join(lines)


def raw_image_source(name, rows):
    height, width = len(rows), len(rows[0])
    data = []
    for row in rows:
        for r, g, b, a in row:
            data += [b, g, r, a]
    row_bytes = width * 4
    pointers = ", ".join("%sPixels + %d" % (name, y * row_bytes) for y in range(height))
    return (
        "static const unsigned char %sPixels[%d] = {\n%s\n};\n"
        "static const void* const %sRows[%d] = {\n    %s,\n};\n"
        "extern const MEM_RAW_IMAGE %s = {%d, %d, %d, 32, %sRows};\n"
        % (name, len(data), c_bytes(data), name, height,
           wrap(pointers), name, width, height, row_bytes, name))


def wrap(text, width=92):
    out, line = [], ""
    for part in text.split(", "):
        piece = part if not line else ", " + part
        if len(line) + len(piece) > width:
            out.append(line + ",")
            line = part
        else:
            line += piece
    out.append(line)
    return "\n    ".join(out)


def quantise(rows, colours):
    """Chooses at most `colours` colours by frequency on a 5-bit grid and
    maps every pixel to the nearest of them."""
    counts = {}
    for row in rows:
        for r, g, b, _ in row:
            key = (r >> 3, g >> 3, b >> 3)
            counts[key] = counts.get(key, 0) + 1
    chosen = sorted(counts, key=lambda k: -counts[k])[:colours]
    palette = []
    for key in chosen:
        members = [(r, g, b) for row in rows for r, g, b, _ in row
                   if (r >> 3, g >> 3, b >> 3) == key]
        palette.append(tuple(sum(m[c] for m in members) // len(members) for c in range(3)))

    def nearest(p):
        return min(range(len(palette)),
                   key=lambda i: sum((p[c] - palette[i][c]) ** 2 for c in range(3)))
    cache = {}
    indexed = []
    for row in rows:
        line = []
        for r, g, b, _ in row:
            if (r, g, b) not in cache:
                cache[(r, g, b)] = nearest((r, g, b))
            line.append(cache[(r, g, b)])
        indexed.append(line)
    return palette, indexed


XPM_CHARS = ".#abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789+@$%&*=-;:<>,"


def xpm_source(name, rows, colours=40):
    palette, indexed = quantise(rows, colours)
    height, width = len(rows), len(rows[0])
    lines = ['"%d %d %d 1",' % (width, height, len(palette))]
    for i, (r, g, b) in enumerate(palette):
        lines.append('"%s c #%02X%02X%02X",' % (XPM_CHARS[i], r, g, b))
    for line in indexed:
        lines.append('"%s",' % "".join(XPM_CHARS[i] for i in line))
    return ("extern const char* const %s[] = {\n    %s\n};\n"
            % (name, "\n    ".join(lines)))


HEADER = ("// Generated by resources/generate/draw_images.py; edit the drawing there\n"
          "// and rerun it instead of changing these numbers.\n")


def write(path, text):
    with open(path, "w") as f:
        f.write(text)


def png(path, rows):
    height, width = len(rows), len(rows[0])
    raw = b"".join(b"\x00" + bytes(v for p in row for v in p) for row in rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--preview", help="folder for PNG previews of every picture")
    parser.add_argument("--icons", action="store_true",
                        help="also write the desktop icons, resources/icons/tellavox-SIZE.png")
    args = parser.parse_args()

    left, centre, right = draw_bar_pieces()
    bar_images = [("rbSliderUp", draw_slider_up()), ("rbSliderDown", draw_slider_down()),
                  ("rbSliderBgLeft", left), ("rbSliderBgCenter", centre),
                  ("rbSliderBgRight", right)]
    icon = draw_app_icon()
    logo = draw_start_logo()

    write(os.path.join(RESOURCES, "RangeBarImages.cpp"),
          HEADER + '#include "resources/RangeBarImages.h"\n\n'
          + "\n".join(raw_image_source(n, rows) for n, rows in bar_images))
    write(os.path.join(RESOURCES, "AppImages.cpp"),
          HEADER + '#include "resources/AppImages.h"\n\n'
          + raw_image_source("mainAppIcon", icon) + "\n" + xpm_source("startLogo_xpm", logo))

    if args.icons:
        os.makedirs(os.path.join(RESOURCES, "icons"), exist_ok=True)
        for size in ICON_SIZES:
            png(os.path.join(RESOURCES, "icons", "tellavox-%d.png" % size), draw_app_icon(size))

    if args.preview:
        os.makedirs(args.preview, exist_ok=True)
        for n, rows in bar_images + [("mainAppIcon", icon), ("startLogo", logo)]:
            png(os.path.join(args.preview, n + ".png"), rows)


if __name__ == "__main__":
    main()
