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


if __name__ == "__main__":
    main()
