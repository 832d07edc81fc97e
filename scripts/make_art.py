#!/usr/bin/python3
"""Draws every picture of the program's resources into res/images.

Run it again after changing a colour or a size here; the pictures are
committed together with this script. Needs Debian's python3-pil and the
WenQuanYi Micro Hei font (both installed by scripts/setup).
"""
import os
import sys

from PIL import Image, ImageDraw, ImageFont

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "res", "images")
FONT = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"

# One palette for pictures and styles (the styles document uses the same).
HEADER_TOP = (47, 128, 237)
HEADER_BOTTOM = (30, 99, 201)
ACCENT = (31, 111, 216)
ACCENT_HOVER = (59, 134, 234)
ACCENT_PUSHED = (24, 88, 176)
DISABLED = (184, 196, 214)
BORDER = (211, 219, 229)
FOOTER = (245, 247, 250)
LIST_BACKGROUND = (251, 253, 253)
TEXT_GREY = (120, 134, 156)
WARN = (245, 166, 35)
DANGER = (235, 77, 61)
OK_GREEN = (46, 173, 105)
SCALE = 4  # shapes are drawn this much larger and scaled down smoothly


def font(size):
    if not os.path.exists(FONT):
        sys.exit("make_art: the font %s is missing (run scripts/setup)" % FONT)
    return ImageFont.truetype(FONT, size)


def blend(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def smooth(width, height, paint):
    """A transparent picture drawn by `paint(draw, s)` at SCALE and reduced."""
    big = Image.new("RGBA", (width * SCALE, height * SCALE), (0, 0, 0, 0))
    paint(ImageDraw.Draw(big), SCALE)
    return big.resize((width, height), Image.LANCZOS)


def strip(frames):
    """Frames of one size side by side."""
    width, height = frames[0].size
    out = Image.new("RGBA", (width * len(frames), height), (0, 0, 0, 0))
    for i, frame in enumerate(frames):
        out.paste(frame, (i * width, 0))
    return out


def save(image, name):
    image.save(os.path.join(OUT, name))


def shield(draw, s, box, fill, mark=None, mark_colour=(255, 255, 255, 255)):
    """A shield in `box` (x0, y0, x1, y1 in unscaled pixels) with a mark."""
    x0, y0, x1, y1 = [v * s for v in box]
    w, h = x1 - x0, y1 - y0
    points = [(x0 + w * 0.5, y0), (x1, y0 + h * 0.18), (x1, y0 + h * 0.5),
              (x0 + w * 0.5, y1), (x0, y0 + h * 0.5), (x0, y0 + h * 0.18)]
    draw.polygon(points, fill=fill)
    line = max(1, round(w * 0.12))
    if mark == "check":
        draw.line([(x0 + w * 0.28, y0 + h * 0.48), (x0 + w * 0.45, y0 + h * 0.64),
                   (x0 + w * 0.74, y0 + h * 0.32)], fill=mark_colour, width=line, joint="curve")
    elif mark == "cross":
        draw.line([(x0 + w * 0.32, y0 + h * 0.3), (x0 + w * 0.68, y0 + h * 0.62)],
                  fill=mark_colour, width=line)
        draw.line([(x0 + w * 0.68, y0 + h * 0.3), (x0 + w * 0.32, y0 + h * 0.62)],
                  fill=mark_colour, width=line)


def window_background():
    """200: the main window's picture, cut by the skins into header rows
    0-64, body rows 65-471 and footer rows 472-474."""
    image = Image.new("RGB", (640, 475), (255, 255, 255))
    draw = ImageDraw.Draw(image)
    for y in range(65):
        draw.line([(0, y), (639, y)], fill=blend(HEADER_TOP, HEADER_BOTTOM, y / 64))
    for y in range(472, 475):
        draw.line([(0, y), (639, y)], fill=FOOTER)
    draw.line([(0, 472), (639, 472)], fill=BORDER)
    image.save(os.path.join(OUT, "window_bg.jpg"), quality=95, subsampling=0)


def close_button():
    """203: 64 x 16, four 16-pixel frames: normal, hover, pushed, disabled."""
    def frame(mark, ring):
        def paint(draw, s):
            if ring:
                draw.ellipse([0, 0, 16 * s - 1, 16 * s - 1], fill=ring)
            draw.line([(5 * s, 5 * s), (11 * s, 11 * s)], fill=mark, width=int(1.6 * s))
            draw.line([(11 * s, 5 * s), (5 * s, 11 * s)], fill=mark, width=int(1.6 * s))
        return smooth(16, 16, paint)
    white = (255, 255, 255, 255)
    save(strip([frame(white, None), frame(white, (255, 255, 255, 60)),
                frame(white, (0, 0, 0, 50)), frame((255, 255, 255, 110), None)]),
         "close_button.png")


def push_button():
    """304: 320 x 27, four 80-pixel frames of the common button."""
    def frame(fill):
        def paint(draw, s):
            draw.rounded_rectangle([0, 0, 80 * s - 1, 27 * s - 1], radius=3 * s, fill=fill)
        return smooth(80, 27, paint)
    save(strip([frame(ACCENT + (255,)), frame(ACCENT_HOVER + (255,)),
                frame(ACCENT_PUSHED + (255,)), frame(DISABLED + (255,))]), "button.png")


def tabs():
    """305: 240 x 30, three 80-pixel tab frames: normal, hover, selected."""
    def frame(fill):
        def paint(draw, s):
            draw.rounded_rectangle([0, 0, 80 * s - 1, 34 * s], radius=4 * s, fill=fill)
        return smooth(80, 30, paint)
    save(strip([frame((255, 255, 255, 28)), frame((255, 255, 255, 70)),
                frame((255, 255, 255, 255))]), "tab.png")


def check_boxes():
    """306: 52 x 13, the select-all box: no rows, all checked, none
    checked, some checked."""
    def frame(border, fill, mark):
        image = Image.new("RGBA", (13, 13), (0, 0, 0, 0))
        draw = ImageDraw.Draw(image)
        draw.rectangle([0, 0, 12, 12], fill=fill, outline=border)
        if mark == "check":
            draw.line([(3, 6), (5, 8), (9, 4)], fill=(255, 255, 255, 255), width=2)
        elif mark == "part":
            draw.rectangle([3, 3, 9, 9], fill=ACCENT + (255,))
        return image
    save(strip([frame(DISABLED + (255,), (240, 243, 247, 255), None),
                frame(ACCENT + (255,), ACCENT + (255,), "check"),
                frame((154, 169, 190, 255), (255, 255, 255, 255), None),
                frame(ACCENT + (255,), (255, 255, 255, 255), "part")]), "check_box.png")


def badge():
    """307: 28 x 14, the red count badge over the third tab."""
    def paint(draw, s):
        draw.rounded_rectangle([0, 0, 28 * s - 1, 14 * s - 1], radius=7 * s,
                               fill=DANGER + (255,), outline=(255, 255, 255, 255), width=s)
    save(smooth(28, 14, paint), "badge.png")


def status_icon(colour, glyph, name):
    """204, 205: 45 x 45 round status icons with a white sign."""
    big = Image.new("RGBA", (45 * SCALE, 45 * SCALE), (0, 0, 0, 0))
    draw = ImageDraw.Draw(big)
    draw.ellipse([2 * SCALE, 2 * SCALE, 43 * SCALE, 43 * SCALE], fill=colour + (255,))
    face = font(30 * SCALE)
    box = draw.textbbox((0, 0), glyph, font=face)
    x = (45 * SCALE - (box[2] - box[0])) / 2 - box[0]
    y = (45 * SCALE - (box[3] - box[1])) / 2 - box[1]
    draw.text((x, y), glyph, font=face, fill=(255, 255, 255, 255))
    save(big.resize((45, 45), Image.LANCZOS), name)


def bubble():
    """207: 197 x 62, the PE-format bubble, with real alpha: a pale note
    with a soft edge and a pointer at its lower left."""
    def paint(draw, s):
        draw.rounded_rectangle([1 * s, 1 * s, 196 * s - 1, 54 * s], radius=6 * s,
                               fill=(255, 250, 228, 245), outline=(224, 196, 120, 255), width=s)
        draw.polygon([(18 * s, 54 * s - s), (30 * s, 54 * s - s), (20 * s, 61 * s)],
                     fill=(255, 250, 228, 245))
        draw.line([(18 * s, 54 * s), (20 * s, 61 * s), (30 * s, 54 * s)],
                  fill=(224, 196, 120, 255), width=s)
    save(smooth(197, 62, paint), "pe_tip.png")


def logos():
    """308: the 24 x 24 title logo of the main window; 201: the 20 x 20 one
    of the message box; 603, 604: 16 x 16 marks of the two adding tabs."""
    save(smooth(24, 24, lambda d, s: shield(d, s, (2, 1, 22, 23), (255, 255, 255, 255), "check",
                                            HEADER_BOTTOM + (255,))), "logo.png")
    save(smooth(20, 20, lambda d, s: shield(d, s, (2, 1, 18, 19), (255, 255, 255, 255), "check",
                                            HEADER_BOTTOM + (255,))), "logo_small.png")
    save(smooth(16, 16, lambda d, s: shield(d, s, (1, 0, 15, 16), OK_GREEN + (255,), "check")),
         "mark_trust.png")
    save(smooth(16, 16, lambda d, s: shield(d, s, (1, 0, 15, 16), DANGER + (255,), "cross")),
         "mark_block.png")


def bands():
    """309: a 1 x 16 splitter between tab headers; 310: the 8 x 40 band
    behind the footers of the tabs."""
    splitter = Image.new("RGBA", (1, 16), (255, 255, 255, 90))
    save(splitter, "tab_splitter.png")
    band = Image.new("RGBA", (8, 40), FOOTER + (255,))
    ImageDraw.Draw(band).line([(0, 0), (7, 0)], fill=BORDER + (255,))
    save(band, "footer_band.png")


def list_bitmaps():
    """402-407: the list control's bitmaps (no alpha)."""
    header = Image.new("RGB", (6, 20))
    draw = ImageDraw.Draw(header)
    for y in range(20):
        draw.line([(0, y), (2, y)], fill=blend((252, 253, 255), (238, 242, 247), y / 19))
        draw.point((3, y), fill=(252, 253, 255))
        draw.point((4, y), fill=BORDER if 3 <= y <= 16 else (238, 242, 247))
        draw.point((5, y), fill=(252, 253, 255))
    header.save(os.path.join(OUT, "list_header.bmp"))

    def box(checked, radio):
        image = Image.new("RGB", (13, 13), LIST_BACKGROUND)
        draw = ImageDraw.Draw(image)
        if radio:
            draw.ellipse([0, 0, 12, 12], fill=(255, 255, 255), outline=(154, 169, 190))
            if checked:
                draw.ellipse([3, 3, 9, 9], fill=ACCENT)
        elif checked:
            draw.rectangle([0, 0, 12, 12], fill=ACCENT)
            draw.line([(3, 6), (5, 8), (9, 4)], fill=(255, 255, 255), width=2)
        else:
            draw.rectangle([0, 0, 12, 12], fill=(255, 255, 255), outline=(154, 169, 190))
        return image
    for name, radio in (("list_check.bmp", False), ("list_radio.bmp", True)):
        pair = Image.new("RGB", (26, 13))
        pair.paste(box(True, radio), (0, 0))
        pair.paste(box(False, radio), (13, 0))
        pair.save(os.path.join(OUT, name))

    for name, words in (("list_empty_trust.bmp", "将需要加白的文件拖放到这里"),
                        ("list_empty_block.bmp", "将需要加黑的文件拖放到这里")):
        image = Image.new("RGB", (370, 92), LIST_BACKGROUND)
        draw = ImageDraw.Draw(image)
        draw.rounded_rectangle([1, 1, 368, 90], radius=6, outline=BORDER, width=1)
        # a down arrow into a tray
        draw.line([(40, 24), (40, 50)], fill=ACCENT, width=3)
        draw.polygon([(31, 44), (49, 44), (40, 56)], fill=ACCENT)
        draw.line([(26, 60), (26, 68), (54, 68), (54, 60)], fill=ACCENT, width=2)
        face = font(15)
        draw.text((72, 24), words, font=face, fill=(80, 92, 112))
        # Both ways the window offers: a drop, or the add button below.
        draw.text((72, 50), "可以一次拖入多个文件或整个文件夹，", font=font(12), fill=TEXT_GREY)
        draw.text((72, 67), "也可以点击下方的“添 加”选择文件", font=font(12), fill=TEXT_GREY)
        image.save(os.path.join(OUT, name))

    fold = Image.new("RGB", (24, 9), LIST_BACKGROUND)
    draw = ImageDraw.Draw(fold)
    draw.polygon([(0, 2), (7, 2), (3, 6)], fill=TEXT_GREY)   # expanded
    draw.polygon([(18, 0), (18, 8), (22, 4)], fill=TEXT_GREY)  # folded
    fold.save(os.path.join(OUT, "list_fold.bmp"))


def program_icon():
    """128: the program icon, a blue shield with a white check."""
    def at(size):
        return smooth(size, size, lambda d, s: shield(
            d, s, (size * 0.09, size * 0.05, size * 0.91, size * 0.97), ACCENT + (255,), "check"))
    at(48).save(os.path.join(OUT, "program.ico"), sizes=[(16, 16), (32, 32), (48, 48)],
                append_images=[at(16), at(32)])


def main():
    os.makedirs(OUT, exist_ok=True)
    window_background()
    close_button()
    push_button()
    tabs()
    check_boxes()
    badge()
    status_icon(WARN, "!", "status_warn.png")
    status_icon(ACCENT, "?", "status_ask.png")
    bubble()
    logos()
    bands()
    list_bitmaps()
    program_icon()


if __name__ == "__main__":
    main()
