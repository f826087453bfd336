#!/usr/bin/env python3
"""Draws OffClock's pictures and writes them into this folder.

Button faces a.png..d.png, close mark e.png, main window face f.png, the window icon offclock.ico and the
web panel picture panel.gif. Standard library only, so anyone can rebuild the pictures; the output is the
same bytes on every run. The build embeds the written files; it does not run this script.
"""

import math
import os

from image_files import gif_bytes, ico_bytes, png_bytes

OUT_DIR = os.path.dirname(os.path.abspath(__file__))
SUPERSAMPLE = 4

# --- Signed distances: negative inside a shape, in pixels. ---


def sd_circle(x, y, cx, cy, r):
    return math.hypot(x - cx, y - cy) - r


def sd_segment(x, y, ax, ay, bx, by, half_width):
    """A stroke with round caps from (ax, ay) to (bx, by)."""
    dx, dy = bx - ax, by - ay
    t = ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)
    t = min(1.0, max(0.0, t))
    return math.hypot(x - ax - t * dx, y - ay - t * dy) - half_width


def sd_round_rect(x, y, x0, y0, x1, y1, r):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    qx = abs(x - cx) - ((x1 - x0) / 2 - r)
    qy = abs(y - cy) - ((y1 - y0) / 2 - r)
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - r


def sd_arc_open_top(x, y, cx, cy, r, gap, half_width):
    """A ring stroke with round ends, open by +-gap radians around straight up."""
    vx, vy = x - cx, y - cy
    if abs(math.atan2(vx, -vy)) < gap:
        ex, ey = r * math.sin(gap), -r * math.cos(gap)
        return min(math.hypot(vx - ex, vy - ey), math.hypot(vx + ex, vy - ey)) - half_width
    return abs(math.hypot(vx, vy) - r) - half_width


def sd_ellipse(x, y, cx, cy, a, b, angle):
    """Approximate distance to an ellipse with semi-axes a (along angle) and b; good enough near its edge."""
    c, s = math.cos(angle), math.sin(angle)
    u = (x - cx) * c + (y - cy) * s
    v = -(x - cx) * s + (y - cy) * c
    k = math.hypot(u / a, v / b)
    return (k - 1.0) * min(a, b)


# --- Painting: colours are (r, g, b) in 0..1, layers are premultiplied (r, g, b, a). ---


def over(dst, colour, alpha):
    if alpha <= 0.0:
        return dst
    keep = 1.0 - alpha
    return (colour[0] * alpha + dst[0] * keep, colour[1] * alpha + dst[1] * keep,
            colour[2] * alpha + dst[2] * keep, alpha + dst[3] * keep)


def rgb(r, g, b):
    return (r / 255.0, g / 255.0, b / 255.0)


def mix(c1, c2, t):
    return tuple(a + (b - a) * t for a, b in zip(c1, c2))


def render(width, height, shade):
    """Averages SUPERSAMPLE x SUPERSAMPLE samples per pixel; returns rows of straight RGBA bytes."""
    n = SUPERSAMPLE
    offsets = [(i + 0.5) / n for i in range(n)]
    rows = []
    for py in range(height):
        row = bytearray()
        for px in range(width):
            acc = [0.0, 0.0, 0.0, 0.0]
            for oy in offsets:
                for ox in offsets:
                    p = shade(px + ox, py + oy)
                    for i in range(4):
                        acc[i] += p[i]
            a = acc[3] / (n * n)
            if a <= 0.0:
                row += bytes(4)
                continue
            colour = [min(1.0, acc[i] / acc[3]) for i in range(3)]
            row += bytes([round(c * 255) for c in colour] + [round(a * 255)])
        rows.append(bytes(row))
    return rows


def inside(sd):
    return 1.0 if sd < 0.0 else 0.0


# --- The pictures. ---


def power_button(base, symbol):
    """A round button face: shaded disc, dark rim, gloss, power symbol."""
    rim = tuple(c * 0.62 for c in base)
    light = mix(base, (1.0, 1.0, 1.0), 0.35)
    dark = tuple(c * 0.78 for c in base)

    def shade(x, y):
        p = (0.0, 0.0, 0.0, 0.0)
        d = sd_circle(x, y, 16, 16, 15)
        if d >= 0.0:
            return p
        t = min(1.0, max(0.0, (y - 1.0) / 30.0))
        p = over(p, mix(light, dark, t), 1.0)
        if d > -1.2:
            p = over(p, rim, 1.0)
        # Soft gloss over the upper half.
        if sd_ellipse(x, y, 16, 10, 11, 6.5, 0.0) < 0.0:
            p = over(p, (1.0, 1.0, 1.0), 0.22)
        sym = min(sd_arc_open_top(x, y, 16, 17, 7.0, math.radians(38), 1.25),
                  sd_segment(x, y, 16, 8.0, 16, 16.0, 1.25))
        return over(p, symbol, inside(sym))

    return shade


def close_mark(x, y):
    d = min(sd_segment(x, y, 4.5, 4.5, 11.5, 11.5, 1.3), sd_segment(x, y, 4.5, 11.5, 11.5, 4.5, 1.3))
    return over((0.0, 0.0, 0.0, 0.0), rgb(70, 70, 72), inside(d))


def flower(p, x, y, cx, cy, size, petal, heart):
    """Five petals around a round heart, size = petal reach from the centre."""
    for k in range(5):
        ang = math.radians(-90 + k * 72)
        px, py = cx + math.cos(ang) * size * 0.5, cy + math.sin(ang) * size * 0.5
        d = sd_ellipse(x, y, px, py, size * 0.5, size * 0.26, ang)
        if d < 0.0:
            # Petals darken toward their tips.
            t = min(1.0, math.hypot(x - cx, y - cy) / size)
            p = over(p, mix(mix(petal, (1.0, 1.0, 1.0), 0.35), petal, t), 1.0)
    return over(p, heart, inside(sd_circle(x, y, cx, cy, size * 0.2)))


BLUE = rgb(40, 96, 200)
PALE_BLUE = rgb(170, 200, 245)


def main_face(x, y):
    d = sd_round_rect(x, y, 0, 0, 128, 128, 18)
    # Soft edge: opacity climbs over the outermost 3.5 pixels.
    alpha = min(1.0, max(0.0, -d / 3.5))
    if alpha <= 0.0:
        return (0.0, 0.0, 0.0, 0.0)
    p = over((0.0, 0.0, 0.0, 0.0), mix(rgb(255, 255, 255), rgb(246, 248, 252), y / 128.0), 1.0)
    # A faint leaf curl leading into the flower.
    if sd_segment(x, y, 84, 118, 97, 106, 1.1) < 0.0 or sd_ellipse(x, y, 88, 110, 5.5, 2.4, math.radians(-35)) < 0.0:
        p = over(p, PALE_BLUE, 1.0)
    p = flower(p, x, y, 105, 104, 13, BLUE, PALE_BLUE)
    p = flower(p, x, y, 115, 88, 6, BLUE, PALE_BLUE)
    return tuple(c * alpha for c in p)


def icon_face(size):
    k = size / 48.0

    def shade(x, y):
        x, y = x / k, y / k
        p = (0.0, 0.0, 0.0, 0.0)
        d = sd_round_rect(x, y, 1, 1, 47, 47, 9)
        if d >= 0.0:
            return p
        p = over(p, rgb(184, 194, 210), 1.0)
        if d < -1.5:
            p = over(p, mix(rgb(246, 248, 252), rgb(222, 228, 238), y / 48.0), 1.0)
        p = over(p, rgb(18, 18, 20), inside(sd_circle(x, y, 22, 22, 16)))
        for h in range(0, 12, 3):
            a = math.radians(h * 30)
            s, c = math.sin(a), -math.cos(a)
            p = over(p, rgb(200, 200, 200), inside(sd_segment(x, y, 22 + 11.5 * s, 22 + 11.5 * c, 22 + 14 * s,
                                                               22 + 14 * c, 0.8)))
        # Ten past ten.
        hour = math.radians(-55)
        minute = math.radians(60)
        hands = min(sd_segment(x, y, 22, 22, 22 + 8 * math.sin(hour), 22 - 8 * math.cos(hour), 1.7),
                    sd_segment(x, y, 22, 22, 22 + 12 * math.sin(minute), 22 - 12 * math.cos(minute), 1.2),
                    sd_circle(x, y, 22, 22, 2.0))
        p = over(p, (1.0, 1.0, 1.0), inside(hands))
        return flower(p, x, y, 39.5, 39.5, 6.5, BLUE, PALE_BLUE)

    return shade


PANEL_W, PANEL_H = 129, 306


def panel_picture(x, y):
    p = (1.0, 1.0, 1.0, 1.0)
    outline = rgb(236, 214, 120)
    body = sd_round_rect(x, y, 5, 5, 124, 301, 20)
    p = over(p, outline, inside(body))
    p = over(p, rgb(255, 251, 222), inside(body + 3.0))
    panel = sd_round_rect(x, y, 17, 22, 112, 152, 4)
    p = over(p, rgb(214, 206, 168), inside(panel))
    p = over(p, rgb(246, 248, 244), inside(panel + 1.5))
    dial = sd_circle(x, y, 64.5, 226, 42)
    p = over(p, outline, inside(dial))
    p = over(p, rgb(255, 248, 230), inside(dial + 3.0))
    for h in range(12):
        a = math.radians(h * 30)
        s, c = math.sin(a), -math.cos(a)
        p = over(p, rgb(222, 196, 96), inside(sd_segment(x, y, 64.5 + 31 * s, 226 + 31 * c, 64.5 + 35 * s,
                                                         226 + 35 * c, 1.0)))
    p = over(p, outline, inside(sd_circle(x, y, 64.5, 226, 8)))
    return over(p, rgb(255, 240, 180), inside(sd_circle(x, y, 64.5, 226, 5)))


def write(name, data):
    with open(os.path.join(OUT_DIR, name), "wb") as f:
        f.write(data)
    print(f"{name}: {len(data)} bytes")


def main():
    buttons = {
        "a.png": power_button(rgb(118, 120, 126), rgb(228, 230, 234)),
        "b.png": power_button(rgb(178, 180, 186), rgb(248, 248, 250)),
        "c.png": power_button(rgb(204, 36, 36), rgb(255, 255, 255)),
        "d.png": power_button(rgb(242, 150, 160), rgb(255, 255, 255)),
    }
    for name, shade in buttons.items():
        write(name, png_bytes(render(32, 32, shade)))
    write("e.png", png_bytes(render(16, 16, close_mark)))
    write("f.png", png_bytes(render(128, 128, main_face)))
    write("offclock.ico", ico_bytes([render(s, s, icon_face(s)) for s in (48, 32, 16)]))
    write("panel.gif", gif_bytes(render(PANEL_W, PANEL_H, panel_picture)))


if __name__ == "__main__":
    main()
