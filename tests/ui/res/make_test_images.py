#!/usr/bin/python3
"""Writes the small pictures of the UI tests' resource file (run it again to
remake them; the outputs are committed beside it)."""
import os

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))


def main():
    # 301: a 4 x 2 RGBA strip: opaque red, half-transparent green, fully
    # transparent blue, opaque white; second row opaque black.
    png = Image.new("RGBA", (4, 2))
    png.putdata([(255, 0, 0, 255), (0, 255, 0, 128), (0, 0, 255, 0), (255, 255, 255, 255),
                 (0, 0, 0, 255), (0, 0, 0, 255), (0, 0, 0, 255), (0, 0, 0, 255)])
    png.save(os.path.join(HERE, "strip.png"))
    # 200: an 8 x 8 JPEG of one flat colour.
    Image.new("RGB", (8, 8), (40, 80, 200)).save(os.path.join(HERE, "flat.jpg"), quality=95)
    # 402: a 3 x 2 bitmap.
    bmp = Image.new("RGB", (3, 2))
    bmp.putdata([(255, 0, 0), (0, 255, 0), (0, 0, 255), (10, 20, 30), (40, 50, 60), (70, 80, 90)])
    bmp.save(os.path.join(HERE, "small.bmp"))
    # A file beside the program for the skin pool: 2 x 1, opaque yellow, cyan.
    side = Image.new("RGBA", (2, 1))
    side.putdata([(255, 255, 0, 255), (0, 255, 255, 255)])
    side.save(os.path.join(HERE, "beside.png"))

    # 302: a 64 x 4 strip of four 16-pixel sub-images: red, green, blue, grey.
    strip = Image.new("RGBA", (64, 4))
    colours = [(255, 0, 0, 255), (0, 255, 0, 255), (0, 0, 255, 255), (128, 128, 128, 255)]
    strip.putdata([colours[x // 16] for y in range(4) for x in range(64)])
    strip.save(os.path.join(HERE, "states.png"))
    # 303: 10 x 4 for three-piece slicing: columns 0-1 red, 2-7 green, 8-9 blue.
    pieces = Image.new("RGBA", (10, 4))
    pieces.putdata([(255, 0, 0, 255) if x < 2 else (0, 0, 255, 255) if x >= 8 else
                    (0, 255, 0, 255) for y in range(4) for x in range(10)])
    pieces.save(os.path.join(HERE, "pieces.png"))
    # 210: one large 20 x 30 JPEG: rows 0-9 red, 10-19 green, 20-29 blue.
    panels = Image.new("RGB", (20, 30))
    panels.putdata([(230, 20, 20) if y < 10 else (20, 200, 20) if y < 20 else (20, 20, 230)
                    for y in range(30) for x in range(20)])
    panels.save(os.path.join(HERE, "panels.jpg"), quality=100, subsampling=0)
    # 403: a 5 x 5 frame: corner pixels red, the split column 2 and row 2
    # green, the centre pixel blue.
    frame = Image.new("RGB", (5, 5))
    frame.putdata([(0, 0, 255) if (x, y) == (2, 2) else (0, 255, 0) if x == 2 or y == 2 else
                   (255, 0, 0) for y in range(5) for x in range(5)])
    frame.save(os.path.join(HERE, "frame.bmp"))
    # 404: a 20 x 3 strip of four 5-pixel states; in each, column 0-1 black,
    # column 2 the state's colour, columns 3-4 white.
    states = [(255, 0, 0), (0, 255, 0), (0, 0, 255), (128, 128, 128)]
    horz = Image.new("RGB", (20, 3))
    horz.putdata([(0, 0, 0) if x % 5 < 2 else states[x // 5] if x % 5 == 2 else (255, 255, 255)
                  for y in range(3) for x in range(20)])
    horz.save(os.path.join(HERE, "horz.bmp"))
    # 305: a 20 x 20 shadow frame, opaque black at the edge fading inwards.
    shadow = Image.new("RGBA", (20, 20))
    shadow.putdata([(0, 0, 0, max(0, 255 - 40 * min(x, y, 19 - x, 19 - y)))
                    for y in range(20) for x in range(20)])
    shadow.save(os.path.join(HERE, "shadow.png"))


if __name__ == "__main__":
    main()
