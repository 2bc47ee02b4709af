#!/usr/bin/python3
"""A whole session of the real program, played from outside.

   play.py PROGRAM WM_CLOSE play        opening, hand-over, a game with a right and a
                                        wrong answer and a 3-second stop of the process,
                                        its end, a second game played by keys only,
                                        closing the window
   play.py PROGRAM WM_CLOSE close-at-end  closing the window the moment a game ends
"""

import sys
import time

from driver import MAIN, OPENING, Failure, FocusWatch, Program, answer_of, evaluation, value_of, wait_for


def step(message):
    print(f"{time.strftime('%H:%M:%S')} {message}", flush=True)


def hand_over(p):
    opening = wait_for("the opening window", lambda: p.window(OPENING), 10)
    width, height = p.extents(opening)[2:]
    if (width, height) != (426, 222):
        raise Failure(f"opening window is {width} x {height}")
    step("opening window shown")
    main = wait_for("the game window", lambda: p.window(MAIN), 10)
    took = time.monotonic() - p.started
    if p.extents(main)[2:] != (612, 491):
        raise Failure(f"game window is {p.extents(main)[2:]}")
    wait_for("the opening window to go", lambda: p.window(OPENING) is None, 1)
    step(f"game window took over {took:.2f} s after start")
    if p.text("得点") != "0" or p.text("のこり時間") != "60":
        raise Failure("the game window does not rest with 0 points and 60 seconds")


def choose(p, course, points_label=None):
    p.click(p.course(course))
    wait_for("the countdown to start", lambda: p.text("のこり時間") == "59", 1.6)
    shown = [b.name for b in p.controls(MAIN, "コース") if p.showing(b)]
    if shown != [course]:
        raise Failure(f"course buttons in view during the game: {shown}")
    step(f"course {course} chosen")


def until_scored(p, act):
    """Acts as `act` says (it returns the score to expect, or None when it
    finds nothing to do); the sum may be replaced meanwhile, so a miss is
    tried again."""
    for _ in range(5):
        expected = act()
        if expected is None:
            return None
        try:
            wait_for(f"the score {expected}", lambda: p.text("得点") == str(expected), 1)
            return expected
        except Failure:
            continue
    raise Failure("the score never became what the window asked for")


def answer(p, n, right, score_after):
    """Clicks a right or wrong answer of problem n."""
    def click():
        button = p.answer_button(n, right)
        if button is None:
            return None
        p.click(button)
        return score_after
    return until_scored(p, click) is not None


def end_of_game(p, score, record):
    wait_for("the end of the game", lambda: p.text("のこり時間") == "0", 70, interval=0.2)
    step("time is up")
    wait_for("the verdict", lambda: p.text("ひょうか") == evaluation(score), 1)
    if p.text("きろく") != str(record):
        raise Failure(f"record shows {p.text('きろく')}, not {record}")
    if any(p.enabled(b) for n in "１２３" for b in p.controls(MAIN, f"こたえ{n}")):
        raise Failure("answer buttons still enabled after the game")
    if not all(p.showing(b) and p.enabled(b) for b in p.controls(MAIN, "コース")):
        raise Failure("course buttons not all back after the game")
    step(f"verdict {evaluation(score)}, record {record}")


KEYPAD = ["789", "456", "123"]  # the answers' rows, each across problems 1 to 3


def rows(p, n):
    """The answer buttons of problem n, top row first."""
    return sorted(p.controls(MAIN, f"こたえ{'１２３'[n - 1]}"), key=lambda b: p.extents(b)[1])


def by_key(p, press):
    """Presses the key that `press` chooses from the window as it stands."""
    def key():
        name, expected = press()
        p.keys(name)
        return expected
    return until_scored(p, key)


def play_by_keys(p):
    """A game worked by the keyboard alone, followed by a screen reader."""
    focus = FocusWatch()
    p.keys("1")
    wait_for("the countdown to start", lambda: p.text("のこり時間") == "59", 1.6)
    if [b.name for b in p.controls(MAIN, "コース") if p.showing(b)] != ["か め"]:
        raise Failure("key 1 did not choose the first course")
    if p.text("得点") != "0" or p.text("ひょうか") != "" or p.text("きろく") != "4":
        raise Failure("the second game did not start afresh with the record kept")
    step("key 1: course か め chosen")

    def right_answer_key():
        result = answer_of(p.text("もんだい２"))
        row = next(k for k, b in enumerate(rows(p, 2)) if value_of(b) == result)
        return KEYPAD[row][1], 1
    by_key(p, right_answer_key)
    step("keypad digit: right answer, 1 point")

    # Tab to the first answer, then the arrows to the middle of problem 2;
    # the screen reader hears each move.
    p.keys("Tab")
    heard = wait_for("the focus on the first answer", focus.pump, 2)
    if heard[0] != "こたえ１" or heard[2] != p.extents(rows(p, 1)[0]):
        raise Failure(f"Tab announced {heard[:2]}")
    p.keys("Right", "Down")
    wait_for("the focus on the middle answer of problem 2",
             lambda: (lambda h: h and h[0] == "こたえ２" and h[2] == p.extents(rows(p, 2)[1]))(focus.pump()), 2)
    step(f"focus followed by the screen reader: {[h[0] for h in focus.focused]}")

    def space_on_middle():
        right = value_of(rows(p, 2)[1]) == answer_of(p.text("もんだい２"))
        return "space", int(p.text("得点")) + 1 if right else 0
    by_key(p, space_on_middle)
    step(f"space on the focused answer: score {p.text('得点')}")
    focus.close()


def play(p):
    hand_over(p)
    choose(p, "い ぬ")
    if not answer(p, 1, True, 4):
        raise Failure("no right answer found for problem 1")
    step("right answer: 4 points")
    if not (answer(p, 2, False, 0) or answer(p, 3, False, 0)):
        raise Failure("no wrong answer found")
    step("wrong answer: score wiped")
    answer(p, 3, True, 4)
    step("right answer: 4 points")

    # The process stopped for three seconds in mid-game goes on by its rules:
    # the countdown counts ticks, so it does not jump.
    before = int(p.text("のこり時間"))
    p.stop()
    time.sleep(3)
    p.cont()
    after = int(wait_for("the window to answer", lambda: p.text("のこり時間"), 2))
    if not before - 1 <= after <= before:
        raise Failure(f"the countdown jumped from {before} to {after} over the stop")
    step(f"stopped 3 s at {before}, went on at {after}")

    end_of_game(p, 4, 4)

    play_by_keys(p)
    p.close(MAIN)
    p.expect_exit(1.0)
    step("game window closed in mid-game: exit status 0")


def close_at_end(p):
    hand_over(p)
    choose(p, "ぞ う")
    wait_for("the last second", lambda: p.text("のこり時間") == "1", 70, interval=0.1)
    wait_for("the end of the game", lambda: p.text("のこり時間") == "0", 2, interval=0.005)
    p.close(MAIN)
    p.expect_exit(1.0)
    step("game window closed as the game ended: exit status 0")


def main():
    binary, wm_close, case = sys.argv[1:4]
    p = Program(binary, wm_close)
    try:
        {"play": play, "close-at-end": close_at_end}[case](p)
    except Failure as failure:
        print(f"FAIL ({case}): {failure}", flush=True)
        p.kill()
        return 1
    finally:
        p.kill()
    print(f"PASS ({case})")
    return 0


if __name__ == "__main__":
    sys.exit(main())
