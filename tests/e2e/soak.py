#!/usr/bin/python3
"""A storm of random clicks on the real program: anywhere in both windows,
from the first moment (through the hand-over) and across the ends of games.
The program must not crash, must keep answering, and must not grow in
memory once the first game is over.

   soak.py PROGRAM WM_CLOSE SECONDS [--no-memory]   (with an X server and with_a11y.sh)
"""

import random
import subprocess
import sys
import time

from driver import MAIN, OPENING, Failure, Program

CLICKS_PER_SECOND = 25
MAX_GROWTH_KB = 1024


def window_rects():
    rects = []
    for title in (OPENING, MAIN):
        for window in subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"],
                                     capture_output=True, text=True).stdout.split():
            out = subprocess.run(["xdotool", "getwindowgeometry", window], capture_output=True, text=True).stdout
            try:
                pos = out.split("Position: ")[1].split()[0]
                size = out.split("Geometry: ")[1].split()[0]
            except IndexError:
                continue
            x, y = map(int, pos.split(","))
            w, h = map(int, size.split("x"))
            rects.append((x, y, w, h))
    return rects


def storm_for_a_second(chance, rects):
    """One second of clicks, sent by a single xdotool run in the background."""
    command = ["xdotool"]
    for _ in range(CLICKS_PER_SECOND):
        x, y, w, h = chance.choice(rects)
        command += ["mousemove", str(x + chance.randrange(w)), str(y + chance.randrange(h)),
                    "mousedown", "1", "mouseup", "1", "sleep", "0.036"]
    return subprocess.Popen(command, stderr=subprocess.DEVNULL)


def main():
    binary, wm_close, seconds = sys.argv[1], sys.argv[2], float(sys.argv[3])
    check_memory = "--no-memory" not in sys.argv
    chance = random.Random(20261207)
    p = Program(binary, wm_close)
    clicks = games = 0
    slowest = 0.0
    memory_after_first_game = None
    message_was = ""
    started = time.monotonic()
    try:
        while time.monotonic() - started < seconds:
            storm = storm_for_a_second(chance, window_rects() or [(0, 0, 612, 491)])
            clicks += CLICKS_PER_SECOND
            # While the clicks rain down, watch the verdict label: each game's
            # end shows a message there until the next course click.
            while storm.poll() is None:
                if not p.running():
                    raise Failure(f"the program ended during the storm (status {p.process.returncode})")
                time.sleep(0.05)
                if p.window(MAIN) is None:
                    continue
                asked = time.monotonic()
                message = p.text("ひょうか")  # does the window still answer?
                slowest = max(slowest, time.monotonic() - asked)
                if slowest > 2.0:
                    raise Failure(f"the window took {slowest:.1f} s to answer")
                if message and not message_was:
                    games += 1
                    if memory_after_first_game is None:
                        memory_after_first_game = p.resident_kb()
                message_was = message
        memory_at_end = p.resident_kb()
        print(f"{clicks} clicks in {time.monotonic() - started:.0f} s, {games} games played to their end, "
              f"slowest answer {slowest * 1000:.0f} ms")
        if memory_after_first_game is not None:
            print(f"resident memory after the first game {memory_after_first_game} kB, "
                  f"at the end {memory_at_end} kB ({memory_at_end - memory_after_first_game:+d} kB)")
            if check_memory and memory_at_end - memory_after_first_game >= MAX_GROWTH_KB:
                raise Failure("memory grew by 1 MB or more after the first game")
        p.close(MAIN)
        p.expect_exit(1.0)
    except Failure as failure:
        print(f"FAIL (soak): {failure}")
        p.kill()
        return 1
    finally:
        p.kill()
    print("PASS (soak)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
