#!/usr/bin/python3
"""The console at a high DPI against the console at 96 DPI, as the screen
shows them: in proportion, every text inside its control, the scaler's font
and the logo grown with the DPI.

  dpi_layout.py DPI LOW.png LOW.origin LOW.rects HIGH.png HIGH.origin HIGH.rects

Each layout is a screenshot, the screen position of the console's client
area ("X Y", the driver's origin) and the driver's rects and client ("id
class left top width height" per visible control in client coordinates,
then "width height" of the client area). DPI is the high
layout's; the low one is at 96. Prints one line per check; exits 1 at the
first that fails.
"""
import statistics
import subprocess
import sys

INK = 128           # darker than this is text (black) or the logo (dark blue)
SLACK = 3           # pixels a control may be off its proportional place
LOGO = 1008
STATUS = 1005


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


class Layout:
    def __init__(self, png, origin, rects):
        pgm = subprocess.run(["convert", png, "-colorspace", "Gray", "-depth", "8", "pgm:-"],
                             check=True, capture_output=True).stdout
        fields = pgm.split(maxsplit=4)
        self.width, self.height = int(fields[1]), int(fields[2])
        self.pixels = fields[4]
        with open(origin) as f:
            self.x0, self.y0 = (int(v) for v in f.read().split())
        self.controls = []
        with open(rects) as f:
            for line in f:
                fields = line.split()
                if len(fields) == 2:
                    self.client = tuple(int(v) for v in fields)
                else:
                    cid, cls, *box = fields
                    self.controls.append((int(cid), cls, *(int(v) for v in box)))

    def gray(self, x, y):
        return self.pixels[(self.y0 + y) * self.width + self.x0 + x]

    def ink(self, left, top, width, height):
        """Bounding box (l, t, r, b) of the ink inside a client rectangle, or None."""
        xs, ys = [], []
        for y in range(top, top + height):
            for x in range(left, left + width):
                if self.gray(x, y) < INK:
                    xs.append(x)
                    ys.append(y)
        return (min(xs), min(ys), max(xs), max(ys)) if xs else None


def text_controls(layout):
    """(id, rect, inset, centred) of the controls that show a text of their own."""
    for cid, cls, left, top, width, height in layout.controls:
        if cls == "Button" and cid != -1:        # push buttons; -1 is the group box
            yield cid, (left, top, width, height), 4, True  # inside the focus rectangle
        elif cls == "Static" and cid == -1:      # the labels, left-aligned
            yield f"label@{left},{top}", (left, top, width, height), 1, False
        elif cid == STATUS:
            yield cid, (left, top, width, height), 3, True


def check_texts_fit(layout, name):
    """Each text lies inside its control with room to spare: a text cut by its
    control runs into the edge it is cut at."""
    for cid, (left, top, width, height), inset, centred in text_controls(layout):
        box = (left + inset, top + inset, width - 2 * inset, height - 2 * inset)
        ink = layout.ink(*box)
        if ink is None:
            fail(f"{name}: control {cid} shows no text")
        l, t, r, b = ink
        touches = t <= box[1] or b >= box[1] + box[3] - 1 or r >= box[0] + box[2] - 1
        if centred:
            touches = touches or l <= box[0]
        if touches:
            fail(f"{name}: the text of control {cid} reaches its edge ({ink} in {box})")
    print(f"ok: {name}: every text fits its control")


def check_proportions(low, high, name):
    (lw, lh), (hw, hh) = low.client, high.client
    for a, b in zip(low.controls, high.controls):
        if a[:2] != b[:2]:
            fail(f"{name}: controls differ: {a} and {b}")
        # A combo box's window covers its list, which follows the font.
        sizes = (2, 3, 4) if a[1] == "ComboBox" else (2, 3, 4, 5)
        for i in sizes:
            scale = hw / lw if i in (2, 4) else hh / lh
            if abs(b[i] - a[i] * scale) > SLACK:
                fail(f"{name}: control {a[0]} out of proportion: {a[2:]} at 96 DPI, {b[2:]} here")
    print(f"ok: {name}: in proportion ({lw}x{lh} at 96 DPI, {hw}x{hh} here)")


def button_text_height(layout):
    heights = []
    for cid, (left, top, width, height), inset, _ in text_controls(layout):
        if isinstance(cid, int) and cid != STATUS:
            l, t, r, b = layout.ink(left + inset, top + inset, width - 2 * inset, height - 2 * inset)
            heights.append(b - t + 1)
    return statistics.median(heights)


def logo_size(layout):
    control = next(c for c in layout.controls if c[0] == LOGO)
    l, t, r, b = layout.ink(*control[2:])
    return r - l + 1, b - t + 1


def main():
    dpi = int(sys.argv[1])
    low = Layout(*sys.argv[2:5])
    high = Layout(*sys.argv[5:8])
    ratio = dpi / 96
    name = f"{dpi} DPI"
    check_texts_fit(low, "96 DPI")
    check_texts_fit(high, name)
    check_proportions(low, high, name)

    text = button_text_height(high) / button_text_height(low)
    if abs(text - ratio) > 0.15:
        fail(f"{name}: the buttons' text is {text:.2f} times as high as at 96 DPI, not {ratio:.2f}")
    print(f"ok: {name}: the font grew {text:.2f} times")

    (lw, lh), (hw, hh) = logo_size(low), logo_size(high)
    if abs(hw / lw - ratio) > 0.05 or abs(hh / lh - ratio) > 0.05:
        fail(f"{name}: the logo is {hw}x{hh}, {lw}x{lh} at 96 DPI")
    print(f"ok: {name}: the logo grew to {hw}x{hh}")


main()
