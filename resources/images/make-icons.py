#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Pictomat developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws Pictomat's icon set and writes the PNG files (and the scalable application icon) beside this
script. Standard library only, so anyone can redraw the set without an image tool installed.

Every picture is a stack of layers; a layer is one colour filling the union of some shapes minus other
shapes. Shapes are signed distance functions in design units (24 for the toolbar icons), so the edge
coverage of a pixel comes straight from the distance and every size is anti-aliased the same way.
Strokes of width 2 are centred on whole design units, which puts horizontal and vertical lines of the
24-pixel icons exactly on two pixel rows.

    python3 make-icons.py            redraw everything
    python3 make-icons.py NAME...    redraw only the named files (without ".png"; "hicolor" is the
                                     application icon of the desktop's theme, ../icons/hicolor/)

Icons of button size are drawn a second time at twice the size as NAME@2x.png, for screens scaled
to 200 %. Both commands also rewrite ../resources.qrc from the PNG files present.
"""

import math
import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def colour(hexcode, alpha=1.0):
    h = hexcode.lstrip("#")
    if len(h) == 3:
        h = "".join(c * 2 for c in h)
    return (int(h[0:2], 16) / 255.0, int(h[2:4], 16) / 255.0, int(h[4:6], 16) / 255.0, alpha)


def hexof(c):
    return "#%02X%02X%02X" % tuple(round(v * 255) for v in c[:3])


# Ink of the three variants: dark strokes for light backgrounds, near-white for dark ones, and the
# disabled grey that reads as inactive on both.
LIGHT = colour("#333333")
WHITE = colour("#EEEEEE")
GRAY = colour("#9A9A9A")


class Gradient:
    """Linear gradient between two points in design units."""

    def __init__(self, x0, y0, c0, x1, y1, c1):
        self.x0, self.y0, self.c0, self.x1, self.y1, self.c1 = x0, y0, c0, x1, y1, c1
        dx, dy = x1 - x0, y1 - y0
        self.len2 = dx * dx + dy * dy

    def at(self, x, y):
        t = clamp(((x - self.x0) * (self.x1 - self.x0) + (y - self.y0) * (self.y1 - self.y0)) / self.len2)
        return tuple(a + (b - a) * t for a, b in zip(self.c0, self.c1))


def seg_dist(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    qx, qy = px - ax, py - ay
    l2 = dx * dx + dy * dy
    t = 0.0 if l2 == 0 else clamp((qx * dx + qy * dy) / l2)
    return math.hypot(qx - t * dx, qy - t * dy)


def fmt(v):
    return ("%.3f" % v).rstrip("0").rstrip(".")


class Line:
    """Polyline stroke with round caps and joins."""

    def __init__(self, points, w=2.0, closed=False):
        self.pts = list(points) + ([points[0]] if closed else [])
        self.w = w
        self.closed = closed

    def sdf(self, x, y):
        p = self.pts
        d = min(seg_dist(x, y, *p[i], *p[i + 1]) for i in range(len(p) - 1))
        return d - self.w / 2

    def svg(self, paint):
        pts = self.pts[:-1] if self.closed else self.pts
        tag = "polygon" if self.closed else "polyline"
        return ('<%s points="%s" fill="none" stroke="%s" stroke-width="%s" stroke-linecap="round" '
                'stroke-linejoin="round"/>') % (tag, " ".join("%s,%s" % (fmt(a), fmt(b)) for a, b in pts), paint,
                                                 fmt(self.w))


class Circle:
    def __init__(self, cx, cy, r):
        self.cx, self.cy, self.r = cx, cy, r

    def sdf(self, x, y):
        return math.hypot(x - self.cx, y - self.cy) - self.r

    def svg(self, paint):
        return '<circle cx="%s" cy="%s" r="%s" fill="%s"/>' % (fmt(self.cx), fmt(self.cy), fmt(self.r), paint)


class Ring:
    """Stroked circle."""

    def __init__(self, cx, cy, r, w=2.0):
        self.cx, self.cy, self.r, self.w = cx, cy, r, w

    def sdf(self, x, y):
        return abs(math.hypot(x - self.cx, y - self.cy) - self.r) - self.w / 2

    def svg(self, paint):
        return '<circle cx="%s" cy="%s" r="%s" fill="none" stroke="%s" stroke-width="%s"/>' % (
            fmt(self.cx), fmt(self.cy), fmt(self.r), paint, fmt(self.w))


def box_sdf(x, y, x0, y0, x1, y1, r):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r
    qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
    return math.hypot(max(qx, 0.0), max(qy, 0.0)) + min(max(qx, qy), 0.0) - r


class Box:
    """Filled rectangle with rounded corners."""

    def __init__(self, x0, y0, x1, y1, r=0.0):
        self.b = (x0, y0, x1, y1, r)

    def sdf(self, x, y):
        return box_sdf(x, y, *self.b)

    def svg(self, paint):
        x0, y0, x1, y1, r = self.b
        return '<rect x="%s" y="%s" width="%s" height="%s" rx="%s" fill="%s"/>' % (
            fmt(x0), fmt(y0), fmt(x1 - x0), fmt(y1 - y0), fmt(r), paint)


class Frame:
    """Rectangle outline; the stroke is centred on the rectangle's edge."""

    def __init__(self, x0, y0, x1, y1, w=2.0, r=0.0):
        self.b = (x0, y0, x1, y1, r)
        self.w = w

    def sdf(self, x, y):
        return abs(box_sdf(x, y, *self.b)) - self.w / 2

    def svg(self, paint):
        x0, y0, x1, y1, r = self.b
        return '<rect x="%s" y="%s" width="%s" height="%s" rx="%s" fill="none" stroke="%s" stroke-width="%s"/>' % (
            fmt(x0), fmt(y0), fmt(x1 - x0), fmt(y1 - y0), fmt(r), paint, fmt(self.w))


class Poly:
    """Filled polygon."""

    def __init__(self, points):
        self.pts = list(points)

    def sdf(self, px, py):
        pts = self.pts
        d = (px - pts[0][0]) ** 2 + (py - pts[0][1]) ** 2
        s = 1.0
        j = len(pts) - 1
        for i in range(len(pts)):
            vix, viy = pts[i]
            vjx, vjy = pts[j]
            ex, ey = vjx - vix, vjy - viy
            wx, wy = px - vix, py - viy
            t = clamp((wx * ex + wy * ey) / (ex * ex + ey * ey))
            bx, by = wx - ex * t, wy - ey * t
            d = min(d, bx * bx + by * by)
            c1, c2, c3 = py >= viy, py < vjy, ex * wy > ey * wx
            if (c1 and c2 and c3) or (not c1 and not c2 and not c3):
                s = -s
            j = i
        return s * math.sqrt(d)

    def svg(self, paint):
        return '<polygon points="%s" fill="%s"/>' % (" ".join("%s,%s" % (fmt(a), fmt(b)) for a, b in self.pts), paint)


def on_circle(cx, cy, r, deg):
    a = math.radians(deg)
    return cx + r * math.cos(a), cy + r * math.sin(a)


class Arc:
    """Stroked circular arc with round caps, from angle a0 to a1 in degrees; angles grow clockwise on
    screen (y points down), 0 is to the right."""

    def __init__(self, cx, cy, r, a0, a1, w=2.0):
        self.cx, self.cy, self.r, self.a0, self.a1, self.w = cx, cy, r, a0, a1, w

    def sdf(self, x, y):
        rel = (math.degrees(math.atan2(y - self.cy, x - self.cx)) - self.a0) % 360.0
        if rel <= self.a1 - self.a0:
            d = abs(math.hypot(x - self.cx, y - self.cy) - self.r)
        else:
            d = min(math.hypot(x - ex, y - ey) for ex, ey in
                    (on_circle(self.cx, self.cy, self.r, self.a0), on_circle(self.cx, self.cy, self.r, self.a1)))
        return d - self.w / 2

    def svg(self, paint):
        sx, sy = on_circle(self.cx, self.cy, self.r, self.a0)
        ex, ey = on_circle(self.cx, self.cy, self.r, self.a1)
        large = 1 if self.a1 - self.a0 > 180 else 0
        return ('<path d="M%s %s A%s %s 0 %d 1 %s %s" fill="none" stroke="%s" stroke-width="%s" '
                'stroke-linecap="round"/>') % (fmt(sx), fmt(sy), fmt(self.r), fmt(self.r), large, fmt(ex), fmt(ey),
                                               paint, fmt(self.w))


class EllipseRing:
    """Stroked ellipse; the distance is the usual first-order estimate, exact enough for a stroke."""

    def __init__(self, cx, cy, rx, ry, w=2.0):
        self.cx, self.cy, self.rx, self.ry, self.w = cx, cy, rx, ry, w

    def sdf(self, x, y):
        px, py = x - self.cx, y - self.cy
        k0 = math.hypot(px / self.rx, py / self.ry)
        k1 = math.hypot(px / (self.rx * self.rx), py / (self.ry * self.ry))
        d = -min(self.rx, self.ry) if k1 == 0 else k0 * (k0 - 1.0) / k1
        return abs(d) - self.w / 2

    def svg(self, paint):
        return '<ellipse cx="%s" cy="%s" rx="%s" ry="%s" fill="none" stroke="%s" stroke-width="%s"/>' % (
            fmt(self.cx), fmt(self.cy), fmt(self.rx), fmt(self.ry), paint, fmt(self.w))


class Rotated:
    def __init__(self, shape, deg, cx, cy):
        self.shape, self.deg, self.cx, self.cy = shape, deg, cx, cy
        a = math.radians(-deg)
        self.c, self.s = math.cos(a), math.sin(a)

    def sdf(self, x, y):
        dx, dy = x - self.cx, y - self.cy
        return self.shape.sdf(self.cx + dx * self.c - dy * self.s, self.cy + dx * self.s + dy * self.c)

    def svg(self, paint):
        return '<g transform="rotate(%s %s %s)">%s</g>' % (fmt(self.deg), fmt(self.cx), fmt(self.cy),
                                                             self.shape.svg(paint))


class Layer:
    def __init__(self, paint, add, cut=()):
        self.paint = paint
        self.add = list(add)
        self.cut = list(cut)

    def sdf(self, x, y):
        d = min(s.sdf(x, y) for s in self.add)
        for s in self.cut:
            d = max(d, -s.sdf(x, y))
        return d

    def colour_at(self, x, y):
        return self.paint.at(x, y) if isinstance(self.paint, Gradient) else self.paint


def render(layers, width, height, units):
    """Rasterises the layers; `units` design units span the picture's width."""
    scale = width / units
    rows = []
    for py in range(height):
        row = bytearray()
        for px in range(width):
            x, y = (px + 0.5) / scale, (py + 0.5) / scale
            r = g = b = a = 0.0
            for layer in layers:
                cover = clamp(0.5 - layer.sdf(x, y) * scale)
                if cover <= 0.0:
                    continue
                cr, cg, cb, ca = layer.colour_at(x, y)
                k = cover * ca
                r, g, b, a = cr * k + r * (1 - k), cg * k + g * (1 - k), cb * k + b * (1 - k), k + a * (1 - k)
            if a > 0:
                row += bytes((round(r / a * 255), round(g / a * 255), round(b / a * 255), round(a * 255)))
            else:
                row += b"\0\0\0\0"
        rows.append(bytes(row))
    return rows


def png_bytes(rows, width, height):
    def chunk(tag, data):
        body = tag + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = b"".join(b"\0" + row for row in rows)
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def svg_text(layers, size, units):
    defs, body = [], []
    for n, layer in enumerate(layers):
        c = layer.paint
        if isinstance(c, Gradient):
            gid = "g%d" % n
            defs.append(('<linearGradient id="%s" gradientUnits="userSpaceOnUse" x1="%s" y1="%s" x2="%s" y2="%s">'
                         '<stop offset="0" stop-color="%s" stop-opacity="%s"/>'
                         '<stop offset="1" stop-color="%s" stop-opacity="%s"/></linearGradient>')
                        % (gid, fmt(c.x0), fmt(c.y0), fmt(c.x1), fmt(c.y1), hexof(c.c0), fmt(c.c0[3]), hexof(c.c1),
                           fmt(c.c1[3])))
            paint, opacity = "url(#%s)" % gid, 1.0
        else:
            paint, opacity = hexof(c), c[3]
        attrs = ' opacity="%s"' % fmt(opacity) if opacity < 1 else ""
        if layer.cut:
            mid = "m%d" % n
            defs.append('<mask id="%s" maskUnits="userSpaceOnUse" x="0" y="0" width="%s" height="%s">'
                        '<rect width="%s" height="%s" fill="#FFFFFF"/>%s</mask>'
                        % (mid, units, units, units, units, "".join(s.svg("#000000") for s in layer.cut)))
            attrs += ' mask="url(#%s)"' % mid
        body.append("<g%s>%s</g>" % (attrs, "".join(s.svg(paint) for s in layer.add)))
    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            '<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %s %s">\n'
            '<defs>%s</defs>\n%s\n</svg>\n') % (size, size, units, units, "".join(defs), "\n".join(body))


# Arrow heads.

def chevron(tip, direction_deg, arm, spread=45.0, w=2.0):
    """Open arrow head: two strokes meeting at `tip`, pointing along `direction_deg`."""
    tx, ty = tip
    pts = []
    for side in (-1, 1):
        a = math.radians(direction_deg + 180 + side * spread)
        pts.append((tx + arm * math.cos(a), ty + arm * math.sin(a)))
    return Line([pts[0], tip, pts[1]], w)


def arrow_head(tip, direction_deg, length, half_width):
    """Filled triangular arrow head."""
    a = math.radians(direction_deg)
    ux, uy = math.cos(a), math.sin(a)
    bx, by = tip[0] - ux * length, tip[1] - uy * length
    return Poly([tip, (bx - uy * half_width, by + ux * half_width), (bx + uy * half_width, by - ux * half_width)])


def arc_arrow(cx, cy, r, a0, a1, w, head_len, head_half, at_end=True):
    """Arc with a filled head at one end, pointing along the arc's direction of travel there."""
    if at_end:
        end, direction = a1, a1 + 90
        arc = Arc(cx, cy, r, a0, a1 - head_len * 0.45 / r * 180 / math.pi, w)
    else:
        end, direction = a0, a0 - 90
        arc = Arc(cx, cy, r, a0 + head_len * 0.45 / r * 180 / math.pi, a1, w)
    # The head's centre line is the tangent a little behind the tip, so its tip sits on the circle.
    back = math.degrees(head_len * 0.5 / r) * (1 if at_end else -1)
    tip = on_circle(cx, cy, r, end + back)
    tangent = direction + back * 0.5
    return [arc, arrow_head(tip, tangent, head_len, head_half)]


# Toolbar and button icons (24 design units).

def arrow_up(ink):
    return [Layer(ink, [Line([(12, 19), (12, 5.5)]), chevron((12, 5), -90, 7.5)])]


def arrow_down(ink):
    return [Layer(ink, [Line([(12, 5), (12, 18.5)]), chevron((12, 19), 90, 7.5)])]


def convert(ink):
    return [Layer(ink, [Line([(3, 8), (20, 8)]), chevron((20.5, 8), 0, 5),
                        Line([(21, 16), (4, 16)]), chevron((3.5, 16), 180, 5)])]


def document_outline():
    return [Line([(14, 3), (6, 3), (6, 21), (18, 21), (18, 7)]), Line([(14, 3), (18, 7)]),
            Line([(14, 3), (14, 7), (18, 7)])]


def add_file(ink):
    return [Layer(ink, document_outline() + [Line([(12, 10.5), (12, 17.5)]), Line([(8.5, 14), (15.5, 14)])])]


def add_folder(ink):
    # A folder whose lower right corner gives way to a plus, as the document of Add Files does.
    outline = Line([(13, 19), (3, 19), (3, 5), (9, 5), (11, 7.5), (21, 7.5), (21, 12)])
    cross = [Line([(18, 14), (18, 21)]), Line([(14.5, 17.5), (21.5, 17.5)])]
    return [Layer(ink, [outline] + cross)]


def trash_can(ink):
    return [Layer(ink, [Line([(3, 6), (21, 6)]), Line([(9, 6), (9, 3), (15, 3), (15, 6)]),
                        Line([(5.5, 6), (6.5, 21), (17.5, 21), (18.5, 6)]),
                        Line([(10, 10), (10, 17)]), Line([(14, 10), (14, 17)])])]


def clear_list(ink):
    return [Layer(ink, [Line([(3, 6), (18, 6)]), Line([(3, 12), (10, 12)]), Line([(3, 18), (10, 18)]),
                        Line([(14, 12), (20, 18)]), Line([(20, 12), (14, 18)])])]


def refresh(ink, cx=12.0, cy=12.0, r=8.0, w=2.0, head=5.0, half=3.2):
    return [Layer(ink, arc_arrow(cx, cy, r, 200, 330, w, head, half) + arc_arrow(cx, cy, r, 20, 150, w, head, half))]


def globe(ink):
    return [Layer(ink, [Ring(12, 12, 9), Line([(3.5, 12), (20.5, 12)]), EllipseRing(12, 12, 4, 9)])]


def info(ink):
    return [Layer(ink, [Ring(12, 12, 9), Circle(12, 7.8, 1.4), Line([(12, 11), (12, 17)], 2.2)])]


def plus(ink):
    return [Layer(ink, [Line([(12, 4.5), (12, 19.5)], 2.4), Line([(4.5, 12), (19.5, 12)], 2.4)])]


def gear(ink):
    teeth = [Rotated(Box(10.3, 1.8, 13.7, 6.5, 0.8), k * 45, 12, 12) for k in range(8)]
    return [Layer(ink, [Circle(12, 12, 7.2)] + teeth, [Circle(12, 12, 3.1)])]


def reset(ink):
    return [Layer(ink, arc_arrow(12, 12, 8, 215, 500, 2, 5.5, 3.5, at_end=False))]


def delete_circle(ink):
    return [Layer(ink, [Ring(12, 12, 9), Line([(8.8, 8.8), (15.2, 15.2)]), Line([(15.2, 8.8), (8.8, 15.2)])])]


def fit_to_size(_ink):
    # Drawn over arbitrary pictures by the preview, so it brings its own light plate and dark outline.
    ink = colour("#333333")
    corners = [Line([(6, 10), (6, 6), (10, 6)]), Line([(14, 6), (18, 6), (18, 10)]),
               Line([(18, 14), (18, 18), (14, 18)]), Line([(10, 18), (6, 18), (6, 14)])]
    return [Layer(colour("#FFFFFF", 0.85), [Box(1, 1, 23, 23, 4)]),
            Layer(colour("#333333", 0.55), [Frame(1.5, 1.5, 22.5, 22.5, 1, 3.5)]),
            Layer(ink, corners)]


# 16 design units.

def folder(ink):
    # One-pixel lines on half units keep the 16-pixel outline sharp; the filled back gives it weight.
    back = Poly([(1, 2), (6.5, 2), (8, 4), (15, 4), (15, 7), (1, 7)])
    return [Layer(ink, [back, Line([(1.5, 6.5), (1.5, 13.5), (14.5, 13.5), (14.5, 6.5)], 1)])]


# 32 design units: the PDF page buttons.

def page(x0, y0, x1, y1, fold):
    return [Line([(x1 - fold, y0), (x0, y0), (x0, y1), (x1, y1), (x1, y0 + fold)]),
            Line([(x1 - fold, y0), (x1, y0 + fold)]),
            Line([(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)])]


def portrait(ink):
    lines = [Line([(11, y), (21, y)]) for y in (14, 18, 22)]
    return [Layer(ink, page(7, 3, 25, 29, 6) + lines)]


def landscape(ink):
    lines = [Line([(8, y), (24, y)]) for y in (14, 18, 22)]
    return [Layer(ink, page(3, 7, 29, 26, 6) + lines)]


def picture(x0, y0, x1, y1, frame_w):
    """A framed photograph (mountains and a sun) filling the given rectangle."""
    w, h = x1 - x0, y1 - y0
    ridge = [(x0, y1), (x0 + 0.32 * w, y0 + 0.45 * h), (x0 + 0.55 * w, y0 + 0.72 * h), (x0 + 0.72 * w, y0 + 0.55 * h),
             (x1, y1)]
    return [Frame(x0, y0, x1, y1, frame_w, 1.5), Poly(ridge), Circle(x0 + 0.72 * w, y0 + 0.28 * h, 0.1 * w)]


def image_full(ink):
    return [Layer(ink, picture(4, 6, 28, 26, 2))]


def image_margin(ink):
    return [Layer(ink, [Frame(3.5, 3.5, 28.5, 28.5, 1, 1.5)] + picture(9, 10, 23, 22, 2))]


# Large pictures.

def drop_logo(ink):
    tray = Line([(14, 70), (14, 108), (114, 108), (114, 70)], 7)
    slot = Line([(14, 80), (40, 80), (48, 92), (80, 92), (88, 80), (114, 80)], 5)
    arrow = [Line([(64, 14), (64, 64)], 8), chevron((64, 70), 90, 24, 45, 8)]
    return [Layer(ink, [tray, slot] + arrow)]


BLUE_TOP, BLUE_BOTTOM = colour("#4C8DF0"), colour("#1F5BC4")


def app_logo():
    u = 256
    bg = Layer(Gradient(0, 16, BLUE_TOP, 0, 240, BLUE_BOTTOM), [Box(16, 16, 240, 240, 54)])
    back = Layer(colour("#FFFFFF", 0.45), [Rotated(Box(52, 62, 180, 166, 12), -9, 116, 114)])
    card = Layer(colour("#FFFFFF"), [Box(72, 82, 204, 190, 12)])
    sky = Layer(colour("#CFE2FF"), [Box(84, 94, 192, 178, 5)])
    sun = Layer(colour("#FDB022"), [Circle(164, 120, 11)])
    far = Layer(colour("#6D9EEB"), [Poly([(84, 178), (84, 150), (110, 128), (140, 158), (160, 142), (192, 168),
                                          (192, 178)])])
    near = Layer(colour("#1E4FA8"), [Poly([(84, 178), (84, 170), (124, 136), (160, 178)]),
                                     Poly([(132, 178), (168, 150), (192, 166), (192, 178)])])
    badge_ring = Layer(colour("#FFFFFF"), [Circle(190, 190, 38)])
    badge = Layer(Gradient(0, 158, colour("#FFA63D"), 0, 222, colour("#F07A12")), [Circle(190, 190, 31)])
    arrow = Layer(colour("#FFFFFF"), [Line([(172, 190), (202, 190)], 9), chevron((206, 190), 0, 15, 45, 9)])
    return [bg, back, card, sky, sun, far, near, badge_ring, badge, arrow], u


def update_logo():
    disc = Layer(Gradient(0, 6, colour("#3CC07E"), 0, 122, colour("#178A52")), [Circle(64, 64, 58)])
    arrows = refresh(colour("#FFFFFF"), 64, 64, 32, 10, 22, 14)
    return [disc] + arrows


# The set.

# name -> (drawing, ink, pixel size, design units)
ICONS = {}


def add(name, draw, ink, size, units):
    ICONS[name] = (draw, ink, size, units)


for base, draw, variants in [
    ("_Convert%s24", convert, ("", "White", "Gray")),
    ("_AddFile%s24", add_file, ("", "White")),
    ("_AddFolder%s24", add_folder, ("", "White")),
    ("_Delete%s24", trash_can, ("", "White", "Gray")),
    ("_shortcut%s24", clear_list, ("", "White", "Gray")),
    ("_ArrowUp%s24", arrow_up, ("", "White", "Gray")),
    ("_ArrowDown%s24", arrow_down, ("", "White", "Gray")),
    ("Update%s24", refresh, ("", "White")),
    ("_website%sIcon24", globe, ("", "White")),
    ("_About%s24", info, ("", "White")),
    ("_Add%sIcon24", plus, ("", "White")),
    ("_Settings%sIcon24", gear, ("", "White", "Gray")),
    ("_Reset%s24", reset, ("", "White")),
    ("_Delete%sIcon24", delete_circle, ("", "White")),
]:
    for v in variants:
        add(base % v, draw, {"": LIGHT, "White": WHITE, "Gray": GRAY}[v], 24, 24)

for name, draw in [("AddIcon24", plus), ("DeleteIcon24", delete_circle), ("Reset24", reset),
                   ("FitToSize24", fit_to_size)]:
    add(name, draw, LIGHT, 24, 24)

add("_folder16", folder, LIGHT, 16, 16)
add("_folderWhite16", folder, WHITE, 16, 16)

for base, draw in [("Portrait", portrait), ("Landscape", landscape), ("Image", image_full),
                   ("ImageBorder", image_margin)]:
    add(base, draw, LIGHT, 32, 32)
    add(base + "White", draw, WHITE, 32, 32)

add("DropLogo", drop_logo, LIGHT, 128, 128)
add("_DropLogo", drop_logo, LIGHT, 128, 128)
add("_DropLogoWhite", drop_logo, WHITE, 128, 128)


def layers_of(name):
    if name in ("pictomat", "AboutLogo"):
        layers, units = app_logo()
        return layers, (256 if name == "pictomat" else 192), units
    if name == "Update128":
        return update_logo(), 128, 128
    draw, ink, size, units = ICONS[name]
    return draw(ink), size, units


ALL = sorted(ICONS) + ["AboutLogo", "Update128", "pictomat"]

# Icons drawn at button size get a second file at twice the size, which Qt takes on a screen scaled
# to 200 % instead of enlarging the small one.
DOUBLED = sorted(n for n in ICONS if ICONS[n][2] <= 32)

# The application icon of the desktop's icon theme, and the window icon compiled in.
THEME_SIZES = (16, 22, 24, 32, 48, 64, 128, 256, 512)
THEME_DIR = os.path.join(os.path.dirname(HERE), "icons", "hicolor")


def write_theme_icons():
    layers, units = app_logo()
    for size in THEME_SIZES:
        folder = os.path.join(THEME_DIR, "%dx%d" % (size, size), "apps")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "pictomat.png"), "wb") as f:
            f.write(png_bytes(render(layers, size, size, units), size, size))
    folder = os.path.join(THEME_DIR, "scalable", "apps")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "pictomat.svg"), "w") as f:
        f.write(svg_text(layers, 256, units))
    lines = ['<!DOCTYPE RCC>', '<RCC version="1.0">', '    <qresource prefix="/">']
    lines += ['        <file alias="resources/icons/pictomat-%d.png">hicolor/%dx%d/apps/pictomat.png</file>'
              % (n, n, n) for n in THEME_SIZES if n <= 256]
    lines += ['    </qresource>', '</RCC>', '']
    with open(os.path.join(os.path.dirname(THEME_DIR), "appicon.qrc"), "w") as f:
        f.write("\n".join(lines))


def write_qrc():
    """Lists every picture of the folder, so that the resource file never drifts from the set."""
    names = sorted(f for f in os.listdir(HERE) if f.endswith(".png"))
    lines = ['<!DOCTYPE RCC>', '<RCC version="1.0">', '    <qresource prefix="/">']
    lines += ['        <file alias="resources/images/%s">images/%s</file>' % (n, n) for n in names]
    lines += ['    </qresource>', '</RCC>', '']
    with open(os.path.join(os.path.dirname(HERE), "resources.qrc"), "w") as f:
        f.write("\n".join(lines))


def main(argv):
    names = argv[1:] or ALL + ["hicolor"]
    for name in names:
        if name == "hicolor":
            write_theme_icons()
            continue
        if name not in ALL:
            sys.exit("unknown icon: " + name)
        layers, size, units = layers_of(name)
        with open(os.path.join(HERE, name + ".png"), "wb") as f:
            f.write(png_bytes(render(layers, size, size, units), size, size))
        if name in DOUBLED:
            with open(os.path.join(HERE, name + "@2x.png"), "wb") as f:
                f.write(png_bytes(render(layers, 2 * size, 2 * size, units), 2 * size, 2 * size))
        if name == "pictomat":
            with open(os.path.join(HERE, "pictomat.svg"), "w") as f:
                f.write(svg_text(layers, size, units))
    write_qrc()


if __name__ == "__main__":
    main(sys.argv)
