#!/usr/bin/env python3
"""Checks that a published map picture drawn from the loopback tile
server's pattern lines up with the corners the host was given.

    tile_dots.py BITMAP SESSION_OUTPUT

The pattern has a 4 x 4 black dot centred on every global pixel
(64k + 32, 64m + 32) of its zoom. Every dot found in the picture (away from
the overlays: the centre mark, and the scale bar and credit along the
bottom) must lie within a pixel of where linear interpolation between the
last SignalInformation's corners puts it, and every dot that interpolation
puts well inside the picture must be found, at the zoom the picture was
drawn from (the one zoom that fits). Prints one line; exit status 1 when no
zoom fits.
"""

import math
import struct
import sys

MARGIN = 6


def read_bmp(path):
    """Darkness (0..255) per pixel, rows top first, of a 24-bit bottom-up BMP."""
    data = open(path, "rb").read()
    offset, = struct.unpack_from("<I", data, 10)
    width, height, _, bits = struct.unpack_from("<iiHH", data, 18)
    if bits != 24 or height <= 0:
        raise SystemExit("not a 24-bit bottom-up bitmap")
    stride = (width * 3 + 3) // 4 * 4
    rows = []
    for y in range(height):
        row = data[offset + (height - 1 - y) * stride:][:width * 3]
        rows.append([255 - min(row[3 * x], row[3 * x + 1], row[3 * x + 2]) for x in range(width)])
    return width, height, rows


def last_corners(path):
    corners = None
    for line in open(path, encoding="utf-8"):
        words = line.split()
        if len(words) >= 5 and words[0] == "SignalInformation":
            corners = tuple(float(w) for w in words[1:5])  # x1 x2 y1 y2
    if corners is None:
        raise SystemExit("no SignalInformation in " + path)
    return corners


def find_dots(width, height, dark):
    """Darkness-weighted centroids of the dark blobs wholly inside the picture."""
    seen = [[False] * width for _ in range(height)]
    dots = []
    for y0 in range(height):
        for x0 in range(width):
            if seen[y0][x0] or dark[y0][x0] < 64:
                continue
            stack, w, sx, sy, edge = [(x0, y0)], 0.0, 0.0, 0.0, False
            seen[y0][x0] = True
            while stack:
                x, y = stack.pop()
                d = dark[y][x]
                w, sx, sy = w + d, sx + d * (x + 0.5), sy + d * (y + 0.5)
                edge |= x in (0, width - 1) or y in (0, height - 1)
                for nx, ny in ((x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)):
                    if 0 <= nx < width and 0 <= ny < height and not seen[ny][nx] and dark[ny][nx] >= 64:
                        seen[ny][nx] = True
                        stack.append((nx, ny))
            if not edge:
                dots.append((sx / w, sy / w))
    return dots


def world(z):
    return 256.0 * 2 ** z


def lon_to_x(lon, z):
    return (lon + 180.0) / 360.0 * world(z)


def lat_to_y(lat, z):
    s = math.sin(math.radians(lat))
    return (0.5 - math.log((1 + s) / (1 - s)) / (4 * math.pi)) * world(z)


def x_to_lon(x, z):
    return x / world(z) * 360.0 - 180.0


def y_to_lat(y, z):
    return math.degrees(math.atan(math.sinh(math.pi * (1 - 2 * y / world(z)))))


def fits(z, dots, corners, width, height, overlay):
    """(worst miss in pixels, dots expected, dots missing) at zoom z."""
    x1, x2, y1, y2 = corners

    def pixel(gx, gy):
        return ((x_to_lon(gx, z) - x1) / (x2 - x1) * width, (y_to_lat(gy, z) - y1) / (y2 - y1) * height)

    worst, matched = 0.0, set()
    for dx, dy in dots:
        gx = lon_to_x(x1 + (x2 - x1) * dx / width, z)
        gy = lat_to_y(y1 + (y2 - y1) * dy / height, z)
        k, m = round((gx - 32) / 64), round((gy - 32) / 64)
        px, py = pixel(64 * k + 32, 64 * m + 32)
        worst = max(worst, abs(px - dx), abs(py - dy))
        matched.add((k, m))
    expected = missing = 0
    for k in range(round((lon_to_x(x1, z) - 32) / 64), round((lon_to_x(x2, z) - 32) / 64) + 1):
        for m in range(round((lat_to_y(y1, z) - 32) / 64), round((lat_to_y(y2, z) - 32) / 64) + 1):
            px, py = pixel(64 * k + 32, 64 * m + 32)
            if px < MARGIN or py < MARGIN or px > width - MARGIN or py > height - MARGIN or overlay(px, py):
                continue
            expected += 1
            missing += (k, m) not in matched
    return worst, expected, missing


def main():
    width, height, dark = read_bmp(sys.argv[1])
    corners = last_corners(sys.argv[2])

    def overlay(x, y):
        return y > height - 40 or (abs(x - width / 2) < 12 and abs(y - height / 2) < 12)

    dots = [d for d in find_dots(width, height, dark) if not overlay(*d)]
    for z in range(20):
        worst, expected, missing = fits(z, dots, corners, width, height, overlay)
        if worst <= 1.0 and expected >= 2 and missing == 0:
            print(f"dots: {len(dots)} found at zoom {z}, each within {worst:.2f} px of its place")
            return 0
    print(f"dots: {len(dots)} found, no zoom puts them within a pixel of the corners' places")
    return 1


if __name__ == "__main__":
    sys.exit(main())
