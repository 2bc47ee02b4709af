#!/usr/bin/python3
"""A teacher's link on the desktop, played from outside through the
accessibility interface: PERMOROPLUS_PRACTICE holds a whole link pasted,
which names two 九九 courses and a 30-second game, with a part that cannot
be read, named under the game and on stderr; then the drills of the
first and third grades (いくつといくつ, three numbers, division with a
remainder).

   practice.py PROGRAM WM_CLOSE

The courses' buttons carry their names, the part left out is one line on
stderr; a game of the 7 times table is played by clicks to its verdict,
judged by points a minute; its result card's QR code, read off the
screen, holds that game; the list of the sums missed shows them, and
もういちど plays them again.
"""

import re
import subprocess
import sys
import tempfile
import time

import pyatspi

from driver import MAIN, Failure, Program, answer_of, evaluation, run, wait_for

LINK = "http://127.0.0.1:8612/?course=times:7&course=times:2,5&course=times:0&time=30#top"
GRADES = "course=make:10&course=three:1-9&course=div:2-9:rem&course=div:1:rem"


def step(message):
    print(f"{time.strftime('%H:%M:%S')} {message}", flush=True)


# The one line the program wrote on stderr, which names the part left out.
def notice_on(errors, part):
    errors.seek(0)
    said = [line for line in errors.read().splitlines() if "XDG_RUNTIME_DIR" not in line and "No sound" not in line]
    if len(said) != 1 or part not in said[0]:
        raise Failure(f"stderr: {said}")
    return said[0]


# Answers right or wrong in turn, column by column, each sum of the course's
# shape, the score following: points for a right answer, 0 for a wrong one.
def answer(p, rights, points, shape):
    score = 0
    for right in rights:
        sums = [p.text(f"もんだい{n}") for n in "１２３"]
        if not all(re.fullmatch(shape, s) for s in sums):
            raise Failure(f"not of the course: {sums}")
        expected = score + points if right else 0
        for _ in range(5):  # a sum may be replaced under the click: try again
            button = wait_for("an answer", lambda: p.answer_button(1 + score % 3, right), 2)
            p.click(button)
            try:
                wait_for(f"the score {expected}", lambda: p.text("得点") == str(expected), 1)
                break
            except Failure:
                continue
        score = expected


def main():
    program, wm_close = sys.argv[1:3]
    with tempfile.TemporaryFile("w+") as errors:
        p = Program(program, wm_close, env={"PERMOROPLUS_PRACTICE": LINK, "PERMOROPLUS_SOUND": "off"}, stderr=errors)
        try:
            wait_for("the game window", lambda: p.window(MAIN), 10)
            courses = [b.name for b in p.controls(MAIN, "コース") if p.showing(b)]
            if courses != ["7のだん　かけざん", "2と5のだん　かけざん"]:
                raise Failure(f"course buttons: {courses}")
            if p.text("のこり時間") != "30":
                raise Failure("the countdown does not show the game's 30 seconds")
            notice = p.control("おしらせ")
            if "course=times:0（" not in notice.name or not p.showing(notice):
                raise Failure(f"the notice in the window: {notice.name!r}")
            step("the whole link pasted: its courses on the buttons, its notice under the game")

            p.click(p.course("7のだん　かけざん"))
            wait_for("the countdown", lambda: p.text("のこり時間") == "29", 1.6)
            # Five right answers, a wrong one that wipes them, three more.
            answer(p, [True] * 5 + [False] + [True] * 3, 1, r"7 × [1-9]")
            wait_for("the end of the game", lambda: p.text("のこり時間") == "0", 35, interval=0.2)
            final = int(p.text("得点"))
            wait_for("the verdict", lambda: p.text("ひょうか") == evaluation(final * 2), 1)
            step(f"game over with {final} points, judged as {final * 2} a minute")
            card(p, final)

            review = p.named("みなおし", pyatspi.ROLE_PUSH_BUTTON)
            if not p.enabled(review):
                raise Failure("みなおし is not enabled after sums were missed")
            p.click(review)
            lines = wait_for("the list", lambda: [l.name for l in p.controls(MAIN, "まちがえた もんだい") if p.showing(l)], 2)
            # The missed sums, then perhaps the slow ones under their heading.
            lines = [line for line in lines if line != "ゆっくり だった もんだい"]
            missed = [re.match(r"(7 × \d) = (\d+)(?:　(?:（(?:こたえた \d+|おちた)）|\d+かい))?$", line) for line in lines]
            if not lines or not all(missed) or any(answer_of(m.group(1)) != int(m.group(2)) for m in missed):
                raise Failure(f"the list: {lines}")
            step(f"the list shows {len(lines)} lines, first {lines[0]}")

            p.click(p.named("もういちど", pyatspi.ROLE_PUSH_BUTTON))
            wait_for("a new game", lambda: p.text("のこり時間") == "29", 1.6)
            wanted = {m.group(1) for m in missed}
            again = [p.text(f"もんだい{n}") for n in "１２３"]
            if len(lines) < 8 and not set(again) <= wanted:  # a full page may hide some of the list
                raise Failure(f"sums {again} are not of the list {sorted(wanted)}")
            button = wait_for("a right answer", lambda: p.answer_button(1, True), 2)
            p.click(button)
            wait_for("a point for the 7 times table", lambda: p.text("得点") == "1", 1)
            step("もういちど plays the missed sums for the course's points")

            p.close(MAIN)
            p.expect_exit(3)
        finally:
            p.kill()
        step(f"stderr: {notice_on(errors, 'course=times:0')}")
    grades(program, wm_close)


# The result card, opened by its button: the QR code on the screen, read
# back by zbarimg from a screenshot of the window, is the card of this game
# and this link, with the short code the card shows; Esc closes it.
def card(p, points):
    p.click(p.named("けっか", pyatspi.ROLE_PUSH_BUTTON))
    wait_for("the card's QR code", lambda: p.showing(p.named("けっかの QR コード", pyatspi.ROLE_IMAGE)), 2)
    with tempfile.NamedTemporaryFile(suffix=".png") as shot:
        subprocess.run(["import", "-window", "root", shot.name], check=True)
        read = subprocess.run(["zbarimg", "--raw", "-q", shot.name], capture_output=True, text=True).stdout.strip()
    fields = read.split("/")
    code = p.text("コード").replace(" ", "")
    # The answers were chosen: the last field, the way of answering, is empty.
    if (len(fields) != 13 or fields[:4] != ["PMR2", code, str(points * 2), "30"] or fields[8] != "times:7;times:2,5"
            or fields[12] != ""):
        raise Failure(f"the card's QR code reads {read!r}, its code {code}")
    p.keys("Escape")
    wait_for("the card closed", lambda: not p.showing(p.named("けっかの QR コード", pyatspi.ROLE_IMAGE)), 2)
    step(f"the card's QR code, read from the screen: {read}")


# Each new kind on its button; a game of division with a remainder answered
# by the answers' names, right and then wrong.
def grades(program, wm_close):
    with tempfile.TemporaryFile("w+") as errors:
        p = Program(program, wm_close, env={"PERMOROPLUS_PRACTICE": GRADES, "PERMOROPLUS_SOUND": "off"}, stderr=errors)
        try:
            wait_for("the game window", lambda: p.window(MAIN), 10)
            courses = [b.name.split("　")[0] for b in p.controls(MAIN, "コース") if p.showing(b)]
            if courses != ["10はいくつ", "3つのかず", "あまり2〜9"]:
                raise Failure(f"course buttons: {courses}")
            p.click(p.course(next(b.name for b in p.controls(MAIN, "コース") if b.name.startswith("あまり"))))
            wait_for("the countdown", lambda: p.text("のこり時間") == "59", 1.6)
            answer(p, [True] * 4 + [False], 3, r"\d+ ÷ [2-9]")
            names = [b.name for b in p.controls(MAIN, "こたえ１")]
            if not all(re.fullmatch(r"\d+わる[2-9] は \d+(あまり\d+)?", n) for n in names):
                raise Failure(f"answers' names: {names}")
            step(f"division with a remainder: right answers for 3 points, a wrong one wipes them; {names[0]}")
            p.close(MAIN)
            p.expect_exit(3)
        finally:
            p.kill()
        notice_on(errors, "div:1:rem")


if __name__ == "__main__":
    run(main)
