#!/usr/bin/env python3
"""A loopback tile server for the tile tests: python3 standard library only.

    tile_server.py --port-file PATH [--tls CERT KEY] [--max-seconds S] [--max-requests N]

Binds 127.0.0.1 on a free port, writes the port to PATH (atomically), and
serves until S seconds have passed or N requests have come, then stops by
itself. Tile paths are /MODE/{z}/{x}/{y}.png (or .jpg for a JPEG of the same
picture); MODE says how to answer:

  ok          200 with the pattern tile, an ETag and a Last-Modified;
              304 to a matching If-None-Match or If-Modified-Since
  nocache     as ok, but without Cache-Control or Expires
  404 500 503 that status (503 with Retry-After where ?retry-after= is given)
  429         429 with Retry-After: ?retry-after=SECONDS (default 2),
              or an HTTP date that many seconds ahead with &date=1
  slow        waits ?ms=MILLIS (default 2000), then answers as ok
  truncated   a Content-Length longer than the body sent, then the
              connection closes
  corrupt     a PNG whose image data is damaged (the header is sound)
  bigbytes    a 200 body of ?bytes=N (default 3 MB) bytes; &nolength=1
              leaves the Content-Length out and closes the connection
  bigpixels   a complete, valid PNG of ?side=N (default 4096) pixels square
  silent      reads the request and never answers until the client gives up
  redirect    ?hops=N redirects (302) in a row, then to the ok tile, or with
              &to=ftp or &to=file to a URL of that scheme

Common query parameters: ?max-age=N sets Cache-Control: max-age=N on any
answer (ok, 404, ...; ok answers max-age=86400 without it); ?png=grey,
palette, rgba or rgb16 writes the ok tile in that PNG colour type.

GET /stats answers JSON: requests per path, total, conditional requests
(and those with If-None-Match among them), 304s sent, User-Agents seen,
the requests being worked on now and the most at once.
GET /clock?advance=SECONDS moves the server's clock (its Date headers and
Retry-After dates) on, for tests whose client clock jumps.
GET /reset clears the counts and puts the clock back.

The tile at (z, x, y) is white except for 4x4 black dots at global pixels
gx % 64 in 30..33 and gy % 64 in 30..33 (gx = x * 256 + px, gy likewise).
"""

import argparse
import email.utils
import http.server
import json
import os
import select
import ssl
import struct
import sys
import threading
import time
import urllib.parse
import zlib

TILE = 256
LAST_MODIFIED_UNIX = 1700000000  # 2023-11-14, the same for every tile
DEFAULT_MAX_AGE = 86400


def dot(g):
    return 30 <= g % 64 <= 33


def pattern_rows(z, x, y, side=TILE):
    """Rows of booleans, True where the pixel is black."""
    del z
    rows = []
    for py in range(side):
        gy = y * TILE + py
        if not dot(gy):
            rows.append(None)  # an all-white row
            continue
        rows.append([dot(x * TILE + px) for px in range(side)])
    return rows


def png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def png_file(width, height, colour_type, bit_depth, raw_rows, palette=None, level=6):
    ihdr = struct.pack(">IIBBBBB", width, height, bit_depth, colour_type, 0, 0, 0)
    out = [b"\x89PNG\r\n\x1a\n", png_chunk(b"IHDR", ihdr)]
    if palette is not None:
        out.append(png_chunk(b"PLTE", palette))
    compressor = zlib.compressobj(level)
    data = []
    for row in raw_rows:
        data.append(compressor.compress(b"\x00" + row))
    data.append(compressor.flush())
    out.append(png_chunk(b"IDAT", b"".join(data)))
    out.append(png_chunk(b"IEND", b""))
    return b"".join(out)


def pattern_png(z, x, y, kind="rgb"):
    """The pattern tile as a PNG of the given colour type."""
    black_white = {
        # kind: (colour type, bit depth, bytes of a black pixel, of a white one, palette)
        "rgb": (2, 8, b"\x00\x00\x00", b"\xff\xff\xff", None),
        "grey": (0, 8, b"\x00", b"\xff", None),
        "palette": (3, 8, b"\x01", b"\x00", b"\xff\xff\xff\x00\x00\x00"),
        # Opaque black dots on fully transparent black: composited over
        # white, the picture is the same.
        "rgba": (6, 8, b"\x00\x00\x00\xff", b"\x00\x00\x00\x00", None),
        "rgb16": (2, 16, b"\x00" * 6, b"\xff" * 6, None),
    }
    colour_type, depth, black, white, palette = black_white.get(kind, black_white["rgb"])
    white_row = white * TILE
    raw = []
    for row in pattern_rows(z, x, y):
        raw.append(white_row if row is None else b"".join(black if b else white for b in row))
    return png_file(TILE, TILE, colour_type, depth, raw, palette)


# ---------------------------------------------------------------- JPEG
# A baseline greyscale JPEG (one component, the standard luminance tables),
# enough for a black and white tile.

ZIGZAG = [
    0, 1, 8, 16, 9, 2, 3, 10, 17, 24, 32, 25, 18, 11, 4, 5, 12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6, 7, 14, 21,
    28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61,
    54, 47, 55, 62, 63]
LUMA_QUANT = [
    16, 11, 10, 16, 24, 40, 51, 61, 12, 12, 14, 19, 26, 58, 60, 55, 14, 13, 16, 24, 40, 57, 69, 56, 14, 17, 22, 29,
    51, 87, 80, 62, 18, 22, 37, 56, 68, 109, 103, 77, 24, 35, 55, 64, 81, 104, 113, 92, 49, 64, 78, 87, 103, 121,
    120, 101, 72, 92, 95, 98, 112, 100, 103, 99]
DC_BITS = [0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0]
DC_VALUES = list(range(12))
AC_BITS = [0, 2, 1, 3, 3, 2, 4, 3, 5, 5, 4, 4, 0, 0, 1, 0x7D]
AC_VALUES = [
    0x01, 0x02, 0x03, 0x00, 0x04, 0x11, 0x05, 0x12, 0x21, 0x31, 0x41, 0x06, 0x13, 0x51, 0x61, 0x07, 0x22, 0x71,
    0x14, 0x32, 0x81, 0x91, 0xA1, 0x08, 0x23, 0x42, 0xB1, 0xC1, 0x15, 0x52, 0xD1, 0xF0, 0x24, 0x33, 0x62, 0x72,
    0x82, 0x09, 0x0A, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2A, 0x34, 0x35, 0x36, 0x37,
    0x38, 0x39, 0x3A, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4A, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59,
    0x5A, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6A, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7A, 0x83,
    0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8A, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9A, 0xA2, 0xA3,
    0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0xA9, 0xAA, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6, 0xB7, 0xB8, 0xB9, 0xBA, 0xC2, 0xC3,
    0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD7, 0xD8, 0xD9, 0xDA, 0xE1, 0xE2,
    0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8, 0xE9, 0xEA, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0xFA]


def huffman_codes(bits, values):
    codes, code, k = {}, 0, 0
    for length in range(1, 17):
        for _ in range(bits[length - 1]):
            codes[values[k]] = (code, length)
            code += 1
            k += 1
        code <<= 1
    return codes


DC_CODES = huffman_codes(DC_BITS, DC_VALUES)
AC_CODES = huffman_codes(AC_BITS, AC_VALUES)

# Half the quantiser steps of the standard table (quality about 75): sharp
# enough that a decoder shows the dots where they are.
QUANT = [max(1, q // 2) for q in LUMA_QUANT]


def _cosines():
    import math
    table = []
    for u in range(8):
        cu = math.sqrt(0.5) if u == 0 else 1.0
        table.append([cu * math.cos((2 * i + 1) * u * math.pi / 16) for i in range(8)])
    return table


COS = _cosines()


def quantised_block(block):
    """The 64 quantised coefficients (in zig-zag order) of 8x8 samples."""
    shifted = [[v - 128 for v in row] for row in block]
    # Rows, then columns.
    rows = [[sum(COS[u][i] * shifted[r][i] for i in range(8)) / 2 for u in range(8)] for r in range(8)]
    coefficients = [0.0] * 64
    for v in range(8):
        for u in range(8):
            coefficients[v * 8 + u] = sum(COS[v][r] * rows[r][u] for r in range(8)) / 2
    return [int(round(coefficients[ZIGZAG[k]] / QUANT[ZIGZAG[k]])) for k in range(64)]


class BitWriter:
    def __init__(self):
        self.out = bytearray()
        self.acc = 0
        self.count = 0

    def put(self, code, length):
        self.acc = (self.acc << length) | code
        self.count += length
        while self.count >= 8:
            self.count -= 8
            byte = (self.acc >> self.count) & 0xFF
            self.out.append(byte)
            if byte == 0xFF:
                self.out.append(0)
        self.acc &= (1 << self.count) - 1

    def flush(self):
        if self.count:
            self.put((1 << (8 - self.count)) - 1, 8 - self.count)


def magnitude(value):
    size = abs(value).bit_length()
    bits = value if value >= 0 else value + (1 << size) - 1
    return size, bits


def pattern_jpeg(z, x, y):
    rows = pattern_rows(z, x, y)
    cache = {}
    writer = BitWriter()
    previous_dc = 0
    for by in range(0, TILE, 8):
        for bx in range(0, TILE, 8):
            block = tuple(
                tuple(255 if rows[by + r] is None or not rows[by + r][bx + c] else 0 for c in range(8))
                for r in range(8))
            coefficients = cache.get(block)
            if coefficients is None:
                coefficients = cache[block] = quantised_block(block)
            diff = coefficients[0] - previous_dc
            previous_dc = coefficients[0]
            size, bits = magnitude(diff)
            writer.put(*DC_CODES[size])
            if size:
                writer.put(bits, size)
            run = 0
            for k in range(1, 64):
                value = coefficients[k]
                if value == 0:
                    run += 1
                    continue
                while run > 15:
                    writer.put(*AC_CODES[0xF0])
                    run -= 16
                size, bits = magnitude(value)
                writer.put(*AC_CODES[(run << 4) | size])
                writer.put(bits, size)
                run = 0
            if run:
                writer.put(*AC_CODES[0x00])
    writer.flush()

    def segment(marker, data):
        return struct.pack(">BBH", 0xFF, marker, len(data) + 2) + data

    out = [b"\xff\xd8",
           segment(0xE0, b"JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00"),
           segment(0xDB, b"\x00" + bytes(QUANT[ZIGZAG[k]] for k in range(64))),
           segment(0xC0, struct.pack(">BHHB", 8, TILE, TILE, 1) + b"\x01\x11\x00"),
           segment(0xC4, b"\x00" + bytes(DC_BITS) + bytes(DC_VALUES)),
           segment(0xC4, b"\x10" + bytes(AC_BITS) + bytes(AC_VALUES)),
           segment(0xDA, b"\x01\x01\x00\x00\x3f\x00"),
           bytes(writer.out),
           b"\xff\xd9"]
    return b"".join(out)


# ---------------------------------------------------------------- answers

_big_png_cache = {}
_big_png_lock = threading.Lock()


def big_png(side):
    """A valid grey PNG of side x side white pixels (compressed, so small)."""
    with _big_png_lock:
        if side not in _big_png_cache:
            _big_png_cache[side] = png_file(side, side, 0, 8, [b"\xff" * side] * side, level=9)
        return _big_png_cache[side]


def corrupt_png(z, x, y):
    data = bytearray(pattern_png(z, x, y))
    # The IDAT chunk follows the signature (8) and IHDR (25): damage its
    # compressed data, keeping the header sound.
    start = 8 + 25 + 8
    for i in range(start + 2, min(start + 40, len(data) - 20)):
        data[i] ^= 0x5A
    return bytes(data)


class Stats:
    def __init__(self):
        self.lock = threading.Lock()
        self.reset()

    def now(self):
        return time.time() + self.clock_offset

    def reset(self):
        self.clock_offset = 0.0
        self.requests = {}
        self.total = 0
        self.conditional = 0
        self.if_none_match = 0
        self.not_modified = 0
        self.user_agents = {}
        self.active = 0
        self.max_active = 0

    def begin(self, path, headers):
        with self.lock:
            self.requests[path] = self.requests.get(path, 0) + 1
            self.total += 1
            if headers.get("If-None-Match") or headers.get("If-Modified-Since"):
                self.conditional += 1
            if headers.get("If-None-Match"):
                self.if_none_match += 1
            agent = headers.get("User-Agent", "")
            self.user_agents[agent] = self.user_agents.get(agent, 0) + 1
            self.active += 1
            self.max_active = max(self.max_active, self.active)

    def end(self):
        with self.lock:
            self.active -= 1

    def count_not_modified(self):
        with self.lock:
            self.not_modified += 1

    def as_json(self):
        with self.lock:
            return json.dumps({
                "requests": self.requests, "total": self.total, "conditional": self.conditional,
                "if_none_match": self.if_none_match, "not_modified": self.not_modified,
                "user_agents": self.user_agents,
                "active": self.active, "max_active": self.max_active}, sort_keys=True).encode()


class TileHandler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "vamu-tile-test/1"

    def log_message(self, format, *args):  # noqa: A002 (the base class's name)
        pass

    def date_time_string(self, timestamp=None):
        return email.utils.formatdate(self.server.stats.now() if timestamp is None else timestamp, usegmt=True)

    # -- helpers

    def query_int(self, name, default):
        try:
            return int(self.query.get(name, [str(default)])[0])
        except ValueError:
            return default

    def send(self, status, body=b"", headers=(), content_type="application/octet-stream"):
        """Ends the request's count (before the bytes go out, so that a
        client's next request is never counted beside this one), then answers."""
        self.end_request()
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        if "max-age" in self.query and not any(name == "Cache-Control" for name, _ in headers):
            self.send_header("Cache-Control", "max-age=%d" % self.query_int("max-age", 0))
        for name, value in headers:
            self.send_header(name, value)
        self.end_headers()
        if body:
            self.wfile.write(body)

    def end_request(self):
        if self.counted:
            self.counted = False
            self.server.stats.end()

    def wait(self, seconds):
        """Sleeps, unless the server stops first. False when it did."""
        return not self.server.stopping.wait(seconds)

    # -- the request

    def do_GET(self):  # noqa: N802 (the base class's name)
        self.counted = False
        with self.server.served_lock:
            self.server.served += 1
            if self.server.served >= self.server.max_requests:
                self.server.stop()  # this request is still answered
        parsed = urllib.parse.urlsplit(self.path)
        self.query = urllib.parse.parse_qs(parsed.query)
        if parsed.path == "/stats":
            self.send(200, self.server.stats.as_json(), content_type="application/json")
            return
        if parsed.path == "/clock":
            with self.server.stats.lock:
                self.server.stats.clock_offset += self.query_int("advance", 0)
            self.send(200, b"{}", content_type="application/json")
            return
        if parsed.path == "/reset":
            self.server.stats.reset()
            self.send(200, b"{}", content_type="application/json")
            return
        self.server.stats.begin(parsed.path, self.headers)
        self.counted = True
        try:
            self.tile(parsed.path)
        finally:
            self.end_request()

    def tile(self, path):
        parts = path.strip("/").split("/")
        if len(parts) != 4 or "." not in parts[3]:
            self.send(400, b"bad path")
            return
        mode = parts[0]
        stem, _, extension = parts[3].partition(".")
        try:
            z, x, y = int(parts[1]), int(parts[2]), int(stem)
        except ValueError:
            self.send(400, b"bad tile")
            return
        if extension not in ("png", "jpg") or not (0 <= z <= 22 and 0 <= x < (1 << z) and 0 <= y < (1 << z)):
            self.send(400, b"bad tile")
            return
        handler = getattr(self, "mode_" + mode, None)
        if handler is None:
            self.send(400, b"unknown mode")
            return
        self.z, self.x, self.y, self.extension = z, x, y, extension
        handler()

    def picture(self):
        if self.extension == "jpg":
            return pattern_jpeg(self.z, self.x, self.y), "image/jpeg"
        kind = self.query.get("png", ["rgb"])[0]
        return pattern_png(self.z, self.x, self.y, kind), "image/png"

    def etag(self):
        return '"%d-%d-%d-%s-%s"' % (self.z, self.x, self.y, self.extension, self.query.get("png", ["rgb"])[0])

    def answer_tile(self, cache_headers):
        headers = [("ETag", self.etag()),
                   ("Last-Modified", email.utils.formatdate(LAST_MODIFIED_UNIX, usegmt=True))]
        if cache_headers and "max-age" not in self.query:
            headers.append(("Cache-Control", "max-age=%d" % DEFAULT_MAX_AGE))
        if self.not_modified():
            self.server.stats.count_not_modified()
            self.send(304, b"", headers)
            return
        body, content_type = self.picture()
        self.send(200, body, headers, content_type)

    def not_modified(self):
        match = self.headers.get("If-None-Match")
        if match is not None:
            return any(tag.strip() in (self.etag(), "*") for tag in match.split(","))
        since = self.headers.get("If-Modified-Since")
        if since is not None:
            try:
                when = email.utils.parsedate_to_datetime(since).timestamp()
            except (TypeError, ValueError):
                return False
            return when >= LAST_MODIFIED_UNIX
        return False

    # -- the modes

    def mode_ok(self):
        self.answer_tile(cache_headers=True)

    def mode_nocache(self):
        self.answer_tile(cache_headers=False)

    def mode_404(self):
        self.send(404, b"no tile here", content_type="text/plain")

    def mode_500(self):
        self.send(500, b"server error", content_type="text/plain")

    def mode_503(self):
        headers = []
        if "retry-after" in self.query:
            headers.append(("Retry-After", str(self.query_int("retry-after", 2))))
        self.send(503, b"busy", headers, content_type="text/plain")

    def mode_429(self):
        seconds = self.query_int("retry-after", 2)
        if self.query_int("date", 0):
            value = email.utils.formatdate(self.server.stats.now() + seconds, usegmt=True)
        else:
            value = str(seconds)
        self.send(429, b"too many requests", [("Retry-After", value)], content_type="text/plain")

    def mode_slow(self):
        if self.wait(self.query_int("ms", 2000) / 1000.0):
            self.answer_tile(cache_headers=True)

    def mode_truncated(self):
        body, content_type = self.picture()
        self.end_request()
        self.send_response(200)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Connection", "close")
        self.end_headers()
        self.wfile.write(body[: len(body) // 2])
        self.wfile.flush()
        self.close_connection = True

    def mode_corrupt(self):
        self.send(200, corrupt_png(self.z, self.x, self.y), content_type="image/png")

    def mode_bigbytes(self):
        size = self.query_int("bytes", 3 << 20)
        if not self.query_int("nolength", 0):
            self.send(200, b"\0" * size, content_type="image/png")
            return
        self.end_request()
        self.send_response(200)
        self.send_header("Content-Type", "image/png")
        self.send_header("Connection", "close")
        self.end_headers()
        chunk = b"\0" * 65536
        try:
            for _ in range(0, size, len(chunk)):
                self.wfile.write(chunk)
        except OSError:
            pass  # the client gave up: what the mode is for
        self.close_connection = True

    def mode_bigpixels(self):
        side = max(1, min(self.query_int("side", 4096), 16384))
        self.send(200, big_png(side), content_type="image/png")

    def mode_silent(self):
        # Waits until the client closes the connection or the server stops.
        connection = self.connection
        while not self.server.stopping.is_set():
            try:
                readable, _, _ = select.select([connection], [], [], 0.1)
                if readable and not connection.recv(4096):
                    break
            except (OSError, ValueError, ssl.SSLError):
                break
        self.close_connection = True

    def mode_redirect(self):
        hops = self.query_int("hops", 1)
        tile = "%d/%d/%d.%s" % (self.z, self.x, self.y, self.extension)
        target = self.query.get("to", ["ok"])[0]
        if hops > 1:
            query = dict((k, v[0]) for k, v in self.query.items())
            query["hops"] = str(hops - 1)
            location = "/redirect/%s?%s" % (tile, urllib.parse.urlencode(query))
        elif target == "ftp":
            location = "ftp://127.0.0.1:%d/%s" % (self.server.server_address[1], tile)
        elif target == "file":
            location = "file:///etc/hostname"
        else:
            location = "/ok/%s" % tile
        self.send(302, b"", [("Location", location)], content_type="text/plain")


class TileServer(http.server.ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = False

    def __init__(self, tls, max_requests):
        self.stats = Stats()
        self.stopping = threading.Event()
        self.max_requests = max_requests
        self.served = 0  # every request since the start; /reset leaves it
        self.served_lock = threading.Lock()
        super().__init__(("127.0.0.1", 0), TileHandler)
        if tls:
            context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
            context.load_cert_chain(tls[0], tls[1])
            # The handshake happens on the connection's own thread, at its
            # first read, so that a client that never speaks holds nothing.
            self.socket = context.wrap_socket(self.socket, server_side=True, do_handshake_on_connect=False)

    def handle_error(self, request, client_address):
        # A client closing early (truncated, silent, TLS refused) is normal here.
        pass

    def stop(self):
        if not self.stopping.is_set():
            self.stopping.set()
            threading.Thread(target=self.shutdown, daemon=True).start()


def main():
    parser = argparse.ArgumentParser(description="Loopback tile server for the tile tests.")
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--tls", nargs=2, metavar=("CERT", "KEY"))
    parser.add_argument("--max-seconds", type=float, default=300.0)
    parser.add_argument("--max-requests", type=int, default=20000)
    args = parser.parse_args()

    server = TileServer(args.tls, args.max_requests)
    temporary = args.port_file + ".tmp"
    with open(temporary, "w") as f:
        f.write("%d\n" % server.server_address[1])
    os.replace(temporary, args.port_file)

    timer = threading.Timer(args.max_seconds, server.stop)
    timer.daemon = True
    timer.start()
    try:
        server.serve_forever(poll_interval=0.1)
    except KeyboardInterrupt:
        pass
    finally:
        server.stopping.set()
        timer.cancel()
        server.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
