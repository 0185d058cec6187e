#!/usr/bin/env python3
"""Draws the editor's own artwork and writes it as PNG files.

resources/background.png  800 x 600, 24 bits per pixel: a dusk sky over
                          layered hills with a lone tower, drawn from
                          gradients, sine ridges and a few shapes.
resources/icon_NN.png     the window icon (a gold "Q" on a blue shield) at
                          16, 32, 48, 64 and 256 pixels, 32 bits per pixel.
resources/quorvane.ico    the same sizes in one Windows icon file, for the
                          program file's own icon on Windows.

Only the Python standard library is used (zlib and struct write the PNG), and
the same script always draws the same pictures.
"""
import math
import os
import random
import struct
import sys
import zlib


def write_png(path, width, height, rows, alpha):
    """rows: list of bytearrays, each width*3 (RGB) or width*4 (RGBA) bytes."""
    raw = b"".join(b"\x00" + bytes(r) for r in rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    colour_type = 6 if alpha else 2
    header = struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", header))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


def lerp(a, b, t):
    return a + (b - a) * t


def mix(c1, c2, t):
    t = max(0.0, min(1.0, t))
    return tuple(lerp(x, y, t) for x, y in zip(c1, c2))


def clamp8(v):
    return max(0, min(255, int(round(v))))


def background(width=800, height=600):
    rnd = random.Random(25)
    sky_top = (18, 20, 58)
    sky_mid = (92, 58, 120)
    sky_low = (236, 148, 84)
    pix = [[(0.0, 0.0, 0.0)] * width for _ in range(height)]

    # Sky: deep blue at the top through violet to a warm horizon.
    horizon = 0.62 * height
    for y in range(height):
        t = y / horizon
        if t < 0.55:
            c = mix(sky_top, sky_mid, t / 0.55)
        else:
            c = mix(sky_mid, sky_low, (t - 0.55) / 0.45)
        pix[y] = [c] * width

    # Stars in the upper sky, fading towards the horizon.
    for _ in range(260):
        x = rnd.randrange(width)
        y = int(rnd.random() ** 1.7 * horizon * 0.7)
        b = rnd.uniform(0.35, 1.0) * (1 - y / (horizon * 0.7))
        c = pix[y][x]
        pix[y][x] = mix(c, (255, 250, 230), b)

    # A large pale moon with a soft halo.
    mx, my, mr = 610, 140, 46
    for y in range(max(0, my - 160), min(height, my + 160)):
        for x in range(max(0, mx - 160), min(width, mx + 160)):
            d = math.hypot(x - mx, y - my)
            if d < mr:
                shade = 0.92 + 0.08 * math.sin(x * 0.21) * math.cos(y * 0.17)
                crater = 0.9 if math.hypot(x - mx + 14, y - my - 9) < 11 or math.hypot(x - mx - 17, y - my + 15) < 7 else 1.0
                pix[y][x] = mix(pix[y][x], (250 * shade * crater, 240 * shade * crater, 214 * shade * crater), 1.0)
            elif d < 160:
                glow = ((160 - d) / (160 - mr)) ** 2.4 * 0.55
                pix[y][x] = mix(pix[y][x], (255, 236, 200), glow)

    # Ridges: each a sum of sines, nearer ones darker and lower.
    ridges = [
        (0.50, 38, (70, 52, 96), [(0.011, 1.0, 0.3), (0.027, 0.45, 1.9), (0.061, 0.18, 0.7)]),
        (0.60, 46, (46, 38, 70), [(0.008, 1.0, 2.2), (0.021, 0.55, 0.4), (0.049, 0.2, 1.1)]),
        (0.72, 40, (30, 42, 46), [(0.006, 1.0, 4.0), (0.017, 0.5, 2.7), (0.043, 0.22, 0.2)]),
        (0.85, 30, (18, 30, 26), [(0.005, 1.0, 1.3), (0.013, 0.6, 3.3), (0.037, 0.25, 5.0)]),
    ]
    for base, amp, colour, waves in ridges:
        for x in range(width):
            h = sum(a * math.sin(f * x + p) for f, a, p in waves)
            top = int(base * height - amp * h)
            for y in range(max(0, top), height):
                depth = (y - top) / (height - top + 1)
                pix[y][x] = mix(colour, (colour[0] * 0.55, colour[1] * 0.55, colour[2] * 0.55), depth)

    # A tower on the second ridge: a shaft, battlements, a lit window.
    tx, tw = 214, 34
    ground = int(0.60 * height - 46 * sum(a * math.sin(f * tx + p) for f, a, p in ridges[1][3]))
    ttop = ground - 150
    dark = (26, 22, 40)
    for y in range(ttop, ground + 4):
        for x in range(tx - tw // 2, tx + tw // 2):
            pix[y][x] = dark
    for k in range(-2, 3):
        for y in range(ttop - 12, ttop):
            for x in range(tx + k * 9 - 3, tx + k * 9 + 3):
                pix[y][x] = dark
    for y in range(ttop + 34, ttop + 50):
        for x in range(tx - 4, tx + 4):
            pix[y][x] = (255, 206, 110)
    # A pointed roof on a thinner upper turret.
    for y in range(ttop - 70, ttop - 12):
        half = int((y - (ttop - 70)) / 58 * 13) + 1
        for x in range(tx - half, tx + half):
            pix[y][x] = dark

    # A faint river of light across the foreground.
    for y in range(int(0.9 * height), height):
        for x in range(width):
            w = math.sin(x * 0.02 + y * 0.3) * 0.5 + 0.5
            if abs(x - (380 + 90 * math.sin(y * 0.05))) < 30 + (y - 0.9 * height) * 1.5:
                pix[y][x] = mix(pix[y][x], (236, 148, 84), 0.25 + 0.15 * w)

    return [bytearray(clamp8(v) for c in row for v in c) for row in pix]


def icon(size):
    """A blue shield with a gold ring and tail: the letter Q."""
    rows = []
    s = size / 64.0
    for y in range(size):
        row = bytearray()
        for x in range(size):
            # Sample 4x4 points per pixel for smooth edges.
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(4):
                for sx in range(4):
                    px = (x + (sx + 0.5) / 4) / s
                    py = (y + (sy + 0.5) / 4) / s
                    col = icon_point(px, py)
                    if col is not None:
                        acc[0] += col[0]
                        acc[1] += col[1]
                        acc[2] += col[2]
                        acc[3] += 1
            if acc[3] == 0:
                row += bytes((0, 0, 0, 0))
            else:
                n = acc[3]
                row += bytes((clamp8(acc[0] / n), clamp8(acc[1] / n), clamp8(acc[2] / n), clamp8(255 * n / 16)))
        rows.append(row)
    return rows


def icon_point(px, py):
    # Shield outline on a 64 x 64 design grid: straight top, curved point.
    if py < 4 or py > 61 or px < 6 or px > 58:
        return None
    if py > 30:
        half = 26 * math.sqrt(max(0.0, 1 - ((py - 30) / 31.5) ** 2))
        if abs(px - 32) > half:
            return None
    inside_border = True
    if py < 7 or px < 9 or px > 55:
        inside_border = False
    elif py > 30:
        half = 23 * math.sqrt(max(0.0, 1 - ((py - 30) / 28.5) ** 2))
        inside_border = abs(px - 32) <= half
    if not inside_border:
        return (214, 170, 60)
    # Q: a ring around (32, 29) and a tail to the lower right.
    d = math.hypot(px - 32, py - 29)
    gold = (246, 206, 92)
    if 10.5 <= d <= 16:
        return gold
    tx, ty = px - 32, py - 29
    along = (tx + ty) / math.sqrt(2)
    across = (tx - ty) / math.sqrt(2)
    if 6 <= along <= 24 and abs(across) <= 3:
        return gold
    t = (py - 4) / 57
    return mix((44, 82, 168), (18, 32, 84), t)


def write_ico(path, pngs):
    """pngs: list of (size, PNG bytes); PNG-compressed icon entries."""
    header = struct.pack("<HHH", 0, 1, len(pngs))
    offset = len(header) + 16 * len(pngs)
    entries = b""
    for size, data in pngs:
        dim = 0 if size >= 256 else size
        entries += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(header + entries + b"".join(d for _, d in pngs))


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources")
    out = sys.argv[1] if len(sys.argv) > 1 else root
    os.makedirs(out, exist_ok=True)
    write_png(os.path.join(out, "background.png"), 800, 600, background(), alpha=False)
    pngs = []
    for size in (16, 32, 48, 64, 256):
        path = os.path.join(out, "icon_%d.png" % size)
        write_png(path, size, size, icon(size), alpha=True)
        with open(path, "rb") as f:
            pngs.append((size, f.read()))
    write_ico(os.path.join(out, "quorvane.ico"), pngs)


if __name__ == "__main__":
    main()
