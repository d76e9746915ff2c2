"""The window as a screen reader reads it over AT-SPI.

The three strips are panels: no frame inside the window, which a reader
would take for the window itself and keep its review in. The level bar is a
static text that reads as its level in dBu; the result line is a text read
on request (the window announces what each change did through notifications
of its own). The preset list is labelled "Mic presets" and has a text (its
item).

Every input is a spin button with a name, a text and a value. Asked for the
text before, at or after any offset with any boundary type, each answers at
once (the line edit's own text interface used to spin for ever on the word or
sentence at the end of its text): the whole number is one word, sentence and
line, a character is a character. A client gives up on a request after 5 s,
so an input that stops answering fails the check instead of hanging it.

    atspi_window.py DECIMAL_SEPARATOR
"""
import sys
import time

import pyatspi

from atspi_common import Mismatch, fail, find_in_window

SEPARATOR = sys.argv[1] if len(sys.argv) > 1 else "."
INPUT_COUNT = 15
BOUNDARIES = {
    "char": pyatspi.TEXT_BOUNDARY_CHAR,
    "word start": pyatspi.TEXT_BOUNDARY_WORD_START,
    "word end": pyatspi.TEXT_BOUNDARY_WORD_END,
    "sentence start": pyatspi.TEXT_BOUNDARY_SENTENCE_START,
    "sentence end": pyatspi.TEXT_BOUNDARY_SENTENCE_END,
    "line start": pyatspi.TEXT_BOUNDARY_LINE_START,
    "line end": pyatspi.TEXT_BOUNDARY_LINE_END,
}


def find_window():
    def spin_buttons(win):
        inputs = pyatspi.findAllDescendants(win, lambda a: a is not None and a.getRole() == pyatspi.ROLE_SPIN_BUTTON)
        return (win, inputs) if len(inputs) == INPUT_COUNT else None

    return find_in_window(spin_buttons, "no window with %d spin buttons over AT-SPI" % INPUT_COUNT)


def expected(text, offset, boundary, where):
    """(text, start, end) of the unit, the offset clamped to the text."""
    n = len(text)
    o = min(max(offset, 0), n)
    if boundary == pyatspi.TEXT_BOUNDARY_CHAR:
        if where == "before":
            s, e = (o - 1, o) if o > 0 else (0, 0)
        elif where == "at":
            s, e = (o, o + 1) if o < n else (n, n)
        else:
            s, e = (o + 1, o + 2) if o + 1 < n else (n, n)
    else:
        s, e = {"before": (0, 0), "at": (0, n), "after": (n, n)}[where]
    return text[s:e], s, e


def check_units(acc):
    text_iface = acc.queryText()
    text = text_iface.getText(0, -1)
    if not text:
        fail("%s has no text" % acc.name)
    asks = {"before": text_iface.getTextBeforeOffset, "at": text_iface.getTextAtOffset,
            "after": text_iface.getTextAfterOffset}
    for offset in range(-1, len(text) + 2):
        for bname, boundary in BOUNDARIES.items():
            for where, ask in asks.items():
                started = time.time()
                try:
                    got = tuple(ask(offset, boundary))
                except Exception as e:
                    fail("%s (%r): %s %s offset %d: no answer after %.1f s (%s)"
                         % (acc.name, text, where, bname, offset, time.time() - started, e))
                want = expected(text, offset, boundary, where)
                if got != want:
                    fail("%s (%r): %s %s offset %d gave %r, not %r" % (acc.name, text, where, bname, offset,
                                                                       got, want))
    # One attribute run over the whole text, so a reader speaks every character.
    for offset in (0, len(text) - 1):
        attrs, start, end = text_iface.getAttributeRun(offset, True)
        if (start, end) != (0, len(text)):
            fail("%s (%r): attribute run at %d is %d..%d" % (acc.name, text, offset, start, end))
    return text


def check(inputs):
    texts = {}
    for acc in inputs:
        if not acc.name:
            fail("a spin button without a name")
        texts[acc.name] = check_units(acc)
        value = acc.queryValue().currentValue
        number = float(texts[acc.name].replace(SEPARATOR, "."))
        if abs(value - number) > 1e-9 * max(1.0, abs(number)):
            fail("%s shows %r but its value is %r" % (acc.name, texts[acc.name], value))
    if not [t for t in texts.values() if SEPARATOR in t]:
        fail("no input shows the decimal separator %r: %s" % (SEPARATOR, texts))
    return "ok: %d inputs, every offset with %d boundary types" % (len(texts), len(BOUNDARIES))


def check_window(win):
    frames = pyatspi.findAllDescendants(win, lambda a: a is not None and a.getRole() == pyatspi.ROLE_FRAME)
    if frames:
        fail("frames inside the window: %s" % [f.name for f in frames])
    panels = pyatspi.findAllDescendants(win, lambda a: a is not None and a.getRole() == pyatspi.ROLE_PANEL)
    if len(panels) < 3:
        fail("%d panels, not the three strips" % len(panels))
    bar = pyatspi.findDescendant(win, lambda a: a is not None and a.name.startswith("Mic output "))
    if bar is None or bar.getRole() not in (pyatspi.ROLE_STATIC, pyatspi.ROLE_LABEL):
        fail("no level bar read as text: %r" % (bar and (bar.name, bar.getRoleName())))
    if not bar.name.endswith(" dBu") or int(bar.name.split()[2]) != bar.queryValue().currentValue:
        fail("level bar reads %r, value %r" % (bar.name, bar.queryValue().currentValue))
    result = pyatspi.findDescendant(win, lambda a: a is not None and "Mic out = " in a.name)
    if result is None or result.getRole() not in (pyatspi.ROLE_STATIC, pyatspi.ROLE_LABEL) or "<" in result.name:
        fail("no result line read as text: %r" % (result and (result.name, result.getRoleName())))
    presets = pyatspi.findDescendant(win, lambda a: a is not None and a.getRole() == pyatspi.ROLE_COMBO_BOX)
    labels = [t.name for r in (presets.getRelationSet() if presets else [])
              if r.getRelationType() == pyatspi.RELATION_LABELLED_BY
              for t in (r.getTarget(i) for i in range(r.getNTargets()))]
    if labels != ["Mic presets"]:
        fail("preset list labelled by %r" % labels)
    # Its text is its item (none here: no mic-set file is open).
    if presets.queryText().getText(0, -1) not in ("", presets.name):
        fail("preset list reads %r, shows %r" % (presets.queryText().getText(0, -1), presets.name))
    if SEPARATOR == "," and "," not in result.name:
        fail("result line without the decimal comma: %r" % result.name)
    for acc in (result, pyatspi.findDescendant(win, lambda a: a is not None and a.name == "Level diagram")):
        if acc is None or not acc.getState().contains(pyatspi.STATE_FOCUSABLE):
            fail("%r cannot take the focus" % (acc and acc.name))
    return "%s; %s" % (bar.name, result.name)


def main():
    # A request without an answer after 5 s fails (the default is 25 s).
    pyatspi.setTimeout(5000, 15000)
    try:
        win, inputs = find_window()
        print(check(inputs))
        print(check_window(win))
    except Mismatch as m:
        print("FAIL: " + str(m))
        sys.exit(1)


main()
