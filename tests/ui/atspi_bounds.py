"""Requests over AT-SPI whose offsets run far past the text stop nothing.

The toolkit's bridge answers GetRangeExtents(start, end) by asking for the
rectangle of every offset up to `end`; the program cuts the offsets to its
text before the bridge sees them. Sent to an input holding a short figure and
then the longest text an input holds (32,767 characters), each request must
be answered, with the rectangle of the text itself, and the window must go on
answering. A client gives up on a request after 30 s: far more than any of
them needs, so that only a hang fails. The times are printed.

The Value interface refuses NaN and the infinities: the text stays.

    atspi_bounds.py
"""
import math
import sys
import time

import pyatspi

from atspi_common import Mismatch, fail, find_in_window

BOX = "Mic Sensitivity in dBu"
INT_MAX = 2147483647
LONGEST = 32767


def find_box():
    return find_in_window(lambda win: pyatspi.findDescendant(win, lambda a: a is not None and a.name == BOX),
                          "no input named %r over AT-SPI" % BOX)


def timed(what, call, *args):
    started = time.time()
    try:
        result = call(*args)
    except Exception as e:
        fail("%s: no answer after %.1f s (%s)" % (what, time.time() - started, e))
    print("%-58s %7.3f s" % (what, time.time() - started))
    return result


def union(a, b):
    left, top = min(a[0], b[0]), min(a[1], b[1])
    right, bottom = max(a[0] + a[2], b[0] + b[2]), max(a[1] + a[3], b[1] + b[3])
    return (left, top, right - left, bottom - top)


def check_ranges(text_iface, label):
    n = text_iface.characterCount
    first = tuple(text_iface.getCharacterExtents(0, pyatspi.DESKTOP_COORDS))
    last = tuple(text_iface.getCharacterExtents(n - 1, pyatspi.DESKTOP_COORDS))
    whole = union(first, last)
    for start, end in ((0, INT_MAX), (-INT_MAX - 1, INT_MAX), (0, 100000000), (0, -1)):
        got = tuple(timed("%s: getRangeExtents(%d, %d)" % (label, start, end),
                          text_iface.getRangeExtents, start, end, pyatspi.DESKTOP_COORDS))
        if got != whole:
            fail("%s: getRangeExtents(%d, %d) gave %r, not the text's %r" % (label, start, end, got, whole))
    # Past the end: nothing is there.
    got = tuple(timed("%s: getRangeExtents(%d, %d)" % (label, INT_MAX - 1, INT_MAX),
                      text_iface.getRangeExtents, INT_MAX - 1, INT_MAX, pyatspi.DESKTOP_COORDS))
    if got[2] > 0 and got[3] > 0:
        fail("%s: a range past the end has the extents %r" % (label, got))
    timed("%s: getBoundedRanges(whole screen)" % label, text_iface.getBoundedRanges,
          0, 0, INT_MAX, INT_MAX, pyatspi.DESKTOP_COORDS, pyatspi.TEXT_CLIP_BOTH, pyatspi.TEXT_CLIP_BOTH)
    timed("%s: getBoundedRanges(everywhere)" % label, text_iface.getBoundedRanges,
          -INT_MAX - 1, -INT_MAX - 1, INT_MAX, INT_MAX, pyatspi.WINDOW_COORDS, pyatspi.TEXT_CLIP_NONE,
          pyatspi.TEXT_CLIP_NONE)


def main():
    pyatspi.setTimeout(30000, 60000)
    try:
        box = find_box()
        text_iface = box.queryText()
        short = text_iface.getText(0, -1)
        check_ranges(text_iface, "%d characters" % len(short))

        longest = "0." + "0" * (LONGEST - 3) + "1"
        timed("setTextContents(%d characters)" % LONGEST, box.queryEditableText().setTextContents, longest)
        if text_iface.characterCount != LONGEST:
            fail("the input holds %d characters, not %d" % (text_iface.characterCount, LONGEST))
        check_ranges(text_iface, "%d characters" % LONGEST)
        box.queryEditableText().setTextContents(longest + "1")
        if text_iface.characterCount != LONGEST:
            fail("a text of %d characters was taken" % text_iface.characterCount)

        box.queryEditableText().setTextContents(short)
        value = box.queryValue()
        for bad in (math.nan, math.inf, -math.inf):
            value.currentValue = bad
            if text_iface.getText(0, -1) != short:
                fail("the value %r wrote %r" % (bad, text_iface.getText(0, -1)))
        # The window still answers at once.
        timed("getText after the requests", text_iface.getText, 0, -1)
        print("ok")
    except Mismatch as m:
        print("FAIL: " + str(m))
        sys.exit(1)


main()
