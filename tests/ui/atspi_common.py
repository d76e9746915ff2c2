"""What the AT-SPI checks share: their failure and the wait for the window."""
import time

import pyatspi


class Mismatch(Exception):
    pass


def fail(message):
    raise Mismatch(message)


def find_in_window(found, missing, timeout=60.0):
    """Polls the program's window until found(window) gives something other
    than None, and returns that; fails with `missing` after `timeout` s."""
    end = time.time() + timeout
    while time.time() < end:
        for app in pyatspi.Registry.getDesktop(0):
            if app is None:
                continue
            for win in app:
                if win is not None and win.name.startswith("Phonolith"):
                    result = found(win)
                    if result is not None:
                        return result
        time.sleep(0.2)
    fail(missing)
