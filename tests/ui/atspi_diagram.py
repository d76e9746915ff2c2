"""The start-up view of the level diagram over AT-SPI: one list per label
column with the default label texts top to bottom, and the overlay texts,
each with the rectangle it is painted in."""
import sys
import time

import pyatspi

from atspi_common import Mismatch, fail, find_in_window


def find_diagram():
    def painted(win):
        chart = pyatspi.findDescendant(win, lambda a: a is not None and a.name == "Level diagram")
        return chart if chart is not None and chart.childCount > 0 else None

    return find_in_window(painted, "no painted \"Level diagram\" over AT-SPI", timeout=30.0)


def extents(acc):
    e = acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return e.x, e.y, e.width, e.height


def sequence(start, stop, unit):
    return ["%d %s" % (v, unit) for v in range(start, stop - 1, -10)]


EXPECTED_LISTS = {
    "dBSPL scale": sequence(150, 10, "dBSPL"),
    "Pa scale": ["632.5 Pa", "200.0 Pa", "63.25 Pa", "20.00 Pa", "6.325 Pa", "2.000 Pa", "0.6325 Pa",
                 "0.2000 Pa", "0.06325 Pa", "0.02000 Pa", "0.00632 Pa", "0.00200 Pa", "0.00063 Pa",
                 "0.00020 Pa", "0.00006 Pa"],
    "dBu scale": sequence(20, -130, "dBu"),
    "dBV scale": sequence(18, -132, "dBV"),
    "volts scale": ["7.750 V", "2.451 V", "775.000 mV", "245.077 mV", "77.500 mV", "24.508 mV", "7.750 mV",
                    "2.451 mV", "775.000 uV", "245.077 uV", "77.500 uV", "24.508 uV", "7.750 uV", "2.451 uV",
                    "0.775 uV", "0.245 uV"],
}
EXPECTED_TEXTS = ["Acoustic", "Electric", "94 dBSPL", "74 dBSPL", "-60 dBu",
                  "Mic Max level = 130 dBSPL", "Mic Noise level = -100 dBu"]


def check():
    chart = find_diagram()
    cx, cy, cw, ch = extents(chart)
    lists, texts = {}, {}
    for child in chart:
        role = child.getRole()
        if role == pyatspi.ROLE_LIST:
            lists[child.name] = child
        elif role in (pyatspi.ROLE_STATIC, pyatspi.ROLE_LABEL):
            texts[child.name] = child
        else:
            fail("unexpected child %r with role %s" % (child.name, child.getRoleName()))

    if sorted(lists) != sorted(EXPECTED_LISTS):
        fail("columns %s" % sorted(lists))
    for name, expected in EXPECTED_LISTS.items():
        items = list(lists[name])
        got = [i.name for i in items]
        if got != expected:
            fail("%s reads %s" % (name, got))
        last_y = None
        for item in items:
            if item.getRole() != pyatspi.ROLE_LIST_ITEM:
                fail("%s: %r is a %s" % (name, item.name, item.getRoleName()))
            x, y, w, h = extents(item)
            if w <= 0 or h <= 0 or x < cx or y < cy or x + w > cx + cw or y + h > cy + ch:
                fail("%s: %r at %s outside the diagram %s" % (name, item.name, (x, y, w, h), (cx, cy, cw, ch)))
            if last_y is not None and y <= last_y:
                fail("%s: %r not below the label before it" % (name, item.name))
            last_y = y

    if [t for t in EXPECTED_TEXTS if t not in texts] or len(texts) != len(EXPECTED_TEXTS):
        fail("overlay texts %s" % sorted(texts))
    # Places the overlays are painted at (relative to the diagram, at its
    # 980 x 448 start-up size: plot from x 210 to 710, a = 50).
    at = {name: extents(acc) for name, acc in texts.items()}
    for name, (x, y, w, h) in at.items():
        if w <= 0 or h <= 0 or x < cx or y < cy or x + w > cx + cw or y + h > cy + ch:
            fail("%r at %s outside the diagram" % (name, (x, y, w, h)))
    checks = {
        "Acoustic": at["Acoustic"][0] - cx == 64 and at["Acoustic"][1] - cy == 12,
        "Electric": cx + cw - 64 == at["Electric"][0] + at["Electric"][2] and at["Electric"][1] - cy == 12,
        "94 dBSPL": at["94 dBSPL"][0] - cx == 418,
        "74 dBSPL": at["74 dBSPL"][0] - cx == 212,
        "-60 dBu": at["-60 dBu"][0] + at["-60 dBu"][2] - cx == 708,
        "Mic Max level = 130 dBSPL": at["Mic Max level = 130 dBSPL"][0] - cx == 302,
        "Mic Noise level = -100 dBu": at["Mic Noise level = -100 dBu"][0] - cx == 302,
    }
    wrong = [n for n, ok in checks.items() if not ok]
    if wrong:
        fail("misplaced %s (diagram at %s): %s" % (wrong, (cx, cy, cw, ch), {n: at[n] for n in wrong}))
    return "ok: %d columns, %d overlay texts" % (len(lists), len(texts))


def main(timeout=60.0):
    # The window may still be mapping, laying out or painting its first frame
    # when the diagram appears on the bus: read again until the view settles.
    end = time.time() + timeout
    while True:
        try:
            print(check())
            return
        except Mismatch as m:
            if time.time() >= end:
                print("FAIL: " + str(m))
                sys.exit(1)
        except Exception as e:  # the bus object went away mid-read
            if time.time() >= end:
                print("FAIL: " + repr(e))
                sys.exit(1)
        time.sleep(0.3)


main()
