#!/usr/bin/env python3
"""Makes the screenshots of docs/skins.md: the viewer in the example skin (docs/example-skin),
run by the headless UI driver, cropped to the window and labelled with numbered markers that
the guide's tables explain.

    scripts/guide-screenshots.py [UI_DRIVER]      (default: build/tools/ui_driver)
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "docs", "images")


def read_png(path):
    data = open(path, "rb").read()
    pos, idat = 8, b""
    while pos < len(data):
        n, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + n]
        pos += 12 + n
        if kind == b"IHDR":
            w, h, _, colour = struct.unpack(">IIBB", body[:10])
        elif kind == b"IDAT":
            idat += body
    bpp = {2: 3, 6: 4}[colour]
    raw, rows, prev, at = zlib.decompress(idat), [], bytearray(w * bpp), 0
    for _ in range(h):
        f, line = raw[at], bytearray(raw[at + 1:at + 1 + w * bpp])
        at += 1 + w * bpp
        for x in range(len(line)):
            a = line[x - bpp] if x >= bpp else 0
            b, c = prev[x], (prev[x - bpp] if x >= bpp else 0)
            if f == 1: line[x] = (line[x] + a) & 255
            elif f == 2: line[x] = (line[x] + b) & 255
            elif f == 3: line[x] = (line[x] + (a + b) // 2) & 255
            elif f == 4:
                pa, pb, pc = abs(b - c), abs(a - c), abs(a + b - 2 * c)
                line[x] = (line[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(line)
        prev = line
    return [[tuple(r[x * bpp:x * bpp + 3]) for x in range(w)] for r in rows]


def write_png(path, pixels):
    h, w = len(pixels), len(pixels[0])
    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in pixels)
    chunk = lambda k, b: struct.pack(">I", len(b)) + k + b + struct.pack(">I", zlib.crc32(k + b) & 0xFFFFFFFF)
    open(path, "wb").write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0)) +
                           chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


DIGITS = {  # 3 x 5
    "0": "111101101101111", "1": "010110010010111", "2": "111001111100111", "3": "111001111001111",
    "4": "101101111001001", "5": "111100111001111", "6": "111100111101111", "7": "111001010010010",
    "8": "111101111101111", "9": "111101111001111"}
MARK, PAPER = (176, 32, 40), (255, 255, 255)


def line(img, x0, y0, x1, y1):
    steps = max(abs(x1 - x0), abs(y1 - y0), 1)
    for i in range(steps + 1):
        img[y0 + (y1 - y0) * i // steps][x0 + (x1 - x0) * i // steps] = MARK


def marker(img, x, y, text):
    w = 4 * len(text) * 2 + 6
    for yy in range(y - 8, y + 9):
        for xx in range(x - w // 2, x + w // 2 + 1):
            img[yy][xx] = MARK
    left = x - (4 * len(text) * 2 - 2) // 2
    for k, ch in enumerate(text):
        for i, bit in enumerate(DIGITS[ch]):
            if bit == "1":
                for dy in (0, 1):
                    for dx in (0, 1):
                        img[y - 5 + (i // 3) * 2 + dy][left + k * 8 + (i % 3) * 2 + dx] = PAPER


def shoot(driver, home, script, name, window_of, labels, margin=36):
    with tempfile.TemporaryDirectory() as tmp:
        shot = os.path.join(tmp, "shot.png")
        path = os.path.join(tmp, "script.txt")
        open(path, "w").write(script.replace("SHOT", shot))
        # The Open dialog starts in the current folder: ROM dumps enough for a scroll bar, in a
        # folder whose name does not change from one run to the next.
        roms = "/tmp/maruk-rom-dumps"
        shutil.rmtree(roms, ignore_errors=True)
        os.makedirs(roms)
        for k in range(1, 19):
            open(os.path.join(roms, "timeline-%02d.rom" % k), "wb").write(bytes(2048))
        try:
            subprocess.run([driver, "--skin", "Example", path], check=True, env=dict(os.environ, HOME=home), cwd=roms)
        finally:
            shutil.rmtree(roms, ignore_errors=True)
        screen = read_png(shot)
    left, top, right, bottom = window_of(screen)
    grey = (246, 246, 246)
    img = [[grey] * (right - left + 2 * margin) for _ in range(bottom - top + 2 * margin)]
    for y in range(top, bottom):
        img[y - top + margin][margin:margin + right - left] = screen[y][left:right]
    for number, (tx, ty), (mx, my) in labels:
        line(img, mx + margin, my + margin, tx + margin, ty + margin)
        marker(img, mx + margin, my + margin, str(number))
    write_png(os.path.join(OUT, name), img)
    print("docs/images/" + name)


def bounds(screen, colour_at=(1000, 1000)):
    """The box of everything that differs from the desktop's colour."""
    desk = screen[colour_at[1]][colour_at[0]]
    ys = [y for y, row in enumerate(screen) if any(p != desk for p in row[::2])]
    xs = [x for x in range(len(screen[0])) if any(screen[y][x] != desk for y in ys[::2])]
    return xs[0], ys[0], xs[-1] + 1, ys[-1] + 1


def main():
    driver = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build", "tools", "ui_driver"))
    os.makedirs(OUT, exist_ok=True)
    with tempfile.TemporaryDirectory() as home:
        os.makedirs(os.path.join(home, "Skins"))
        shutil.copytree(os.path.join(ROOT, "docs", "example-skin"), os.path.join(home, "Skins", "Example"))
        # The window at rest, "D4 used as sync" ticked, the pointer over "Open ROM".
        shoot(driver, home, "wait 300\nclick 333 347\nmove 247 350\nwait 400\nshot SHOT\n", "skin-window.png",
              bounds, [
                  (1, (2, 150), (-22, 150)), (1, (420, 250), (420, 290)), (2, (300, 12), (300, -22)),
                  (3, (608, 10), (608, -22)), (4, (4, 80), (-22, 80)), (5, (60, 244), (60, 290)),
                  (6, (132, 240), (160, 290)), (7, (60, 216), (-22, 216)), (8, (560, 76), (662, 76))])
        # The system menu with its list of skins open, the pointer on "Amber".
        shoot(driver, home, "wait 300\nclick 202 118\nwait 300\nmove 266 141\nwait 600\nmove 380 141\nwait 300\n"
              "shot SHOT\n", "skin-menu.png", lambda s: (192, 107, 492, 307), [
                  (9, (3, 150), (-22, 150)), (10, (20, 77), (-22, 77)), (10, (280, 32), (322, 32)),
                  (11, (148, 80), (148, 215))])
        # The Open dialog.
        shoot(driver, home, "wait 300\nclick 247 350\nwait 500\nshot SHOT\n", "skin-dialog.png",
              lambda s: (300, 89, 724, 395), [
                  (12, (200, 8), (200, -22)), (13, (300, 255), (300, 328)), (14, (395, 140), (446, 140)),
                  (15, (395, 70), (446, 70))])


if __name__ == "__main__":
    main()
