#!/usr/bin/python3
"""A typed game (answer=type) on the desktop, played by the keys from
outside, with the window read through the accessibility interface:

   typed.py PROGRAM WM_CLOSE

The link names the 7 times table; the number pad stands where the answer
buttons were, which are hidden. The digits of a right answer, typed, are
sent by themselves and score; 99 waits at full length, BackSpace takes a
digit back and Return sends the 9, which is wrong and wipes the score. A
picture of the X screen with the pad is kept in PERMORO_SHOTS (or in a
folder of its own) and named on stdout.
"""

import os
import subprocess
import sys
import tempfile
import time

from driver import MAIN, Failure, Program, answer_of, run, wait_for


def step(message):
    print(f"{time.strftime('%H:%M:%S')} {message}", flush=True)


def main():
    program, wm_close = sys.argv[1:3]
    p = Program(program, wm_close, env={"PERMOROPLUS_PRACTICE": "course=times:7&answer=type",
                                        "PERMOROPLUS_SOUND": "off"})
    try:
        wait_for("the game window", lambda: p.window(MAIN), 10)
        p.keys("1")
        wait_for("the countdown", lambda: p.text("のこり時間") == "59", 1.6)
        shown = [b.name for n in "１２３" for b in p.controls(MAIN, f"こたえ{n}") if p.showing(b)]
        if shown:
            raise Failure(f"answer buttons in a typed game: {shown}")
        keys = sorted(b.name for b in p.controls(MAIN, "すうじ") if p.showing(b))
        if keys != [str(d) for d in range(10)]:
            raise Failure(f"the pad's digits: {keys}")
        step("the pad in the answers' place, the answer buttons hidden")

        sum_text = p.text("もんだい１")
        value = str(answer_of(sum_text))
        # One digit waits for Return while a longer result is on screen.
        p.keys(*value, *(["Return"] if len(value) == 1 else []))
        wait_for("a point for a right number", lambda: p.text("得点") == "1", 1)
        step(f"{sum_text}: {value} typed, sent by itself, a point")

        p.keys("9", "9")
        wait_for("99 typed", lambda: p.text("こたえ") == "99", 1)
        shots = os.environ.get("PERMORO_SHOTS") or tempfile.mkdtemp(prefix="permoro-typed-")
        shot = os.path.join(shots, "typed-desktop.png")
        subprocess.run(["import", "-window", "root", shot], check=True)
        step(f"the screen with 99 typed: {shot}")
        p.keys("BackSpace")
        wait_for("BackSpace takes the last digit", lambda: p.text("こたえ") == "9", 1)
        p.keys("Return")
        wait_for("the score wiped by a wrong number", lambda: p.text("得点") == "0", 1)
        if p.text("こたえ") != "":
            raise Failure(f"the digits sent are still shown: {p.text('こたえ')!r}")
        step("BackSpace, then Return sends 9, which is wrong: the score is 0")

        p.close(MAIN)
        p.expect_exit(3)
    finally:
        p.kill()


if __name__ == "__main__":
    run(main)
