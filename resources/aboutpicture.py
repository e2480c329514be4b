#!/usr/bin/python3
"""Draws the picture of the About window, aboutpicture.jpg (150 x 291):
a hand-held infrared thermometer aiming its red laser at a notebook computer.

Needs Debian's python3-pil: /usr/bin/python3 resources/aboutpicture.py
"""
import math
import os

from PIL import Image, ImageDraw, ImageFilter

WIDTH, HEIGHT = 150, 291
SCALE = 4  # drawn larger, then scaled down for smooth edges


def s(*values):
    return [round(v * SCALE) for v in values]


def gradient(width, height, top, bottom):
    image = Image.new("RGB", (width, height))
    draw = ImageDraw.Draw(image)
    for y in range(height):
        t = y / (height - 1)
        colour = tuple(round(a + (b - a) * t) for a, b in zip(top, bottom))
        draw.line([(0, y), (width, y)], fill=colour)
    return image


def notebook(draw):
    # Lid with its dark bezel and the screen, a little in perspective.
    draw.polygon(s(18, 22, 132, 16, 128, 100, 22, 104), fill=(52, 56, 64))
    draw.polygon(s(25, 28, 125, 23, 121, 94, 28, 97), fill=(18, 40, 86))
    # A temperature chart on the screen: grid, axis and a curve.
    for i in range(1, 5):
        y = 28 + i * 13.5
        draw.line(s(30, y + 1, 120, y - 3), fill=(38, 66, 120), width=SCALE)
    draw.line(s(33, 88, 118, 84), fill=(150, 170, 200), width=SCALE)
    draw.line(s(33, 88, 31, 34), fill=(150, 170, 200), width=SCALE)
    points = []
    for i in range(40):
        x = 34 + i * 2.1
        y = 70 - 16 * math.sin(i / 6.0) - i * 0.35
        points.append((x * SCALE, y * SCALE))
    draw.line(points, fill=(90, 230, 120), width=2 * SCALE, joint="curve")
    # Base with the keyboard and the touch pad.
    draw.polygon(s(22, 104, 128, 100, 146, 128, 4, 134), fill=(170, 176, 186))
    draw.polygon(s(4, 134, 146, 128, 146, 132, 5, 138), fill=(110, 116, 126))
    for row in range(4):
        t = row / 4
        left = 25 - 17 * t
        right = 125 + 17 * t
        y = 106 + row * 5.4
        keys = 12
        for k in range(keys):
            x0 = left + (right - left) * k / keys + 0.6
            x1 = left + (right - left) * (k + 1) / keys - 0.6
            draw.rectangle(s(x0, y, x1, y + 3.6), fill=(60, 64, 72))
    draw.polygon(s(62, 128, 88, 127, 90, 132, 61, 133), fill=(150, 156, 166))


def thermometer():
    """The thermometer on a layer of its own, nose pointing right, its
    handle below; returned with the nose's position on the layer."""
    w, h = 130, 100
    layer = Image.new("RGBA", s(w, h), (0, 0, 0, 0))
    draw = ImageDraw.Draw(layer)
    # Handle with a grip of darker rubber.
    draw.polygon(s(30, 40, 58, 40, 50, 96, 22, 96), fill=(40, 44, 50))
    draw.polygon(s(34, 46, 54, 46, 48, 92, 27, 92), fill=(70, 74, 82))
    for i in range(5):
        y = 52 + i * 8
        draw.line(s(33 - i * 0.9, y, 53 - i * 1.1, y), fill=(52, 56, 62), width=2 * SCALE)
    # Trigger.
    draw.polygon(s(60, 40, 70, 40, 64, 56, 58, 52), fill=(200, 40, 30))
    # Body: a rounded barrel in yellow with a dark back.
    draw.rounded_rectangle(s(8, 16, 104, 44), radius=12 * SCALE, fill=(245, 190, 20))
    draw.rounded_rectangle(s(8, 16, 40, 44), radius=12 * SCALE, fill=(60, 64, 72))
    draw.rectangle(s(28, 16, 40, 44), fill=(60, 64, 72))
    # Display on the back with a reading.
    draw.rectangle(s(12, 21, 34, 33), fill=(150, 200, 160))
    for x in (15, 21, 27):
        draw.rectangle(s(x, 24, x + 4, 30), outline=(30, 50, 35), width=SCALE)
    # Lens at the nose and the laser's window below it.
    draw.polygon(s(104, 18, 118, 22, 118, 38, 104, 42), fill=(80, 84, 92))
    draw.ellipse(s(113, 22, 121, 34), fill=(30, 30, 36))
    draw.ellipse(s(115, 25, 119, 31), fill=(120, 60, 160))
    draw.ellipse(s(114, 35, 119, 40), fill=(220, 30, 20))
    # A highlight along the barrel.
    draw.line(s(44, 20, 100, 20), fill=(255, 230, 140), width=2 * SCALE)
    return layer, (117, 37.5)


def main():
    big = gradient(WIDTH * SCALE, HEIGHT * SCALE, (22, 30, 52), (120, 136, 160))
    draw = ImageDraw.Draw(big)
    # A desk under the notebook.
    draw.polygon(s(0, 128, 150, 120, 150, 150, 0, 158), fill=(128, 98, 70))
    draw.polygon(s(0, 158, 150, 150, 150, 156, 0, 164), fill=(92, 68, 48))
    notebook(draw)

    layer, nose = thermometer()
    box = layer.getbbox()
    layer = layer.crop(box)
    nose = (nose[0] * SCALE - box[0], nose[1] * SCALE - box[1])
    angle = 70  # degrees the nose points above the horizontal, to the upper right
    turned = layer.rotate(angle, resample=Image.BICUBIC, expand=True)
    # Where the nose lands after turning about the layer's centre.
    a = math.radians(angle)
    nx, ny = nose[0] - layer.width / 2, nose[1] - layer.height / 2
    place = (round(2 * SCALE), round(150 * SCALE))
    nose_at = (place[0] + turned.width / 2 + nx * math.cos(a) + ny * math.sin(a),
               place[1] + turned.height / 2 - nx * math.sin(a) + ny * math.cos(a))

    # The laser beam with a soft glow, ending in a spot on the screen.
    # The beam leaves the nose along the barrel and ends on the screen.
    spot_y = 58 * SCALE
    spot = (nose_at[0] + (nose_at[1] - spot_y) / math.tan(a), spot_y)
    glow = Image.new("RGBA", big.size, (0, 0, 0, 0))
    glow_draw = ImageDraw.Draw(glow)
    glow_draw.line([nose_at, spot], fill=(255, 40, 20, 150), width=5 * SCALE)
    glow_draw.ellipse([spot[0] - 9 * SCALE, spot[1] - 9 * SCALE, spot[0] + 9 * SCALE, spot[1] + 9 * SCALE],
                      fill=(255, 40, 20, 170))
    glow = glow.filter(ImageFilter.GaussianBlur(4 * SCALE))
    big = Image.alpha_composite(big.convert("RGBA"), glow)
    beam = ImageDraw.Draw(big)
    beam.line([nose_at, spot], fill=(255, 60, 40, 255), width=SCALE)
    beam.ellipse([spot[0] - 2.5 * SCALE, spot[1] - 2.5 * SCALE, spot[0] + 2.5 * SCALE, spot[1] + 2.5 * SCALE],
                 fill=(255, 120, 100, 255))
    # The measured spot, ringed as the thermometer's optics see it.
    beam.ellipse([spot[0] - 7 * SCALE, spot[1] - 7 * SCALE, spot[0] + 7 * SCALE, spot[1] + 7 * SCALE],
                 outline=(255, 200, 80, 255), width=SCALE)

    big.alpha_composite(turned, place)
    picture = big.convert("RGB").resize((WIDTH, HEIGHT), Image.LANCZOS)
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "aboutpicture.jpg")
    picture.save(out, "JPEG", quality=90, optimize=True)


if __name__ == "__main__":
    main()
