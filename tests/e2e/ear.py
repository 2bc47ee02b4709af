#!/usr/bin/python3
"""The game by ear on the desktop, as a screen reader meets it through
AT-SPI: a 40-second game (a teacher's time=40) worked by the keyboard.

   ear.py PROGRAM WM_CLOSE

Each answer button's name says its sum and its value; the game's notice
object is renamed with each thing a child must hear (the sums as they come,
right or wrong, the pause and its end, the time at 30 and 10 seconds and the
last three, the end with the verdict and the record), in that order, and
with nothing while the sums only fall; after an answer the focus stays on
its column's button, renamed for the new sum.
"""

import re
import sys
import time

import pyatspi
from gi.repository import GLib

from driver import MAIN, Failure, FocusWatch, Program, answer_of, evaluation, spoken, value_of, run, wait_for

KEYPAD = ["789", "456", "123"]


def step(message):
    print(f"{time.strftime('%H:%M:%S')} {message}", flush=True)


class Notices:
    """What the program's notice object says, each renaming in order. The
    event names the object, not its new name, so the name is read as the
    event is pumped: the test pumps every few milliseconds, well within the
    25 ms between two frames of the game."""

    def __init__(self, pid):
        self.pid = pid
        self.said = []
        self.context = GLib.MainContext.default()
        pyatspi.Registry.registerEventListener(self._on_event, "object:property-change:accessible-name")

    def _on_event(self, event):
        try:
            if event.source.getRole() == pyatspi.ROLE_NOTIFICATION and event.source.get_process_id() == self.pid:
                name = event.source.name
                if not self.said or self.said[-1] != name:
                    self.said.append(name)
        except Exception:
            pass

    def pump(self):
        while self.context.iteration(False):
            pass
        return self.said

    def sentences(self):
        return [one for words in self.pump() for one in words.split("。") if one]

    def wait(self, what, predicate, timeout):
        """Waits as wait_for does, pumping the events all the while."""
        return wait_for(what, lambda: (self.pump(), predicate())[1], timeout, interval=0.004)

    def close(self):
        pyatspi.Registry.deregisterEventListener(self._on_event, "object:property-change:accessible-name")


def rows(p, n):
    return sorted(p.controls(MAIN, f"こたえ{'１２３'[n - 1]}"), key=lambda b: p.extents(b)[1])


def main():
    program, wm_close = sys.argv[1:3]
    p = Program(program, wm_close, env={"PERMOROPLUS_PRACTICE": "time=40", "PERMOROPLUS_SOUND": "off"})
    notices = Notices(p.process.pid)
    focus = FocusWatch()
    try:
        wait_for("the game window", lambda: p.window(MAIN), 10)
        time.sleep(0.3)
        p.keys("1")
        first = notices.wait("the sums said", lambda: [s for s in notices.sentences() if s.startswith("もんだい")][:3], 2)
        sums = [p.text(f"もんだい{n}") for n in "１２３"]
        if first != [f"もんだい{n} {spoken(s)}" for n, s in zip((1, 2, 3), sums)]:
            raise Failure(f"at the start: {first}, the sums {sums}")
        for n, s in zip((1, 2, 3), sums):
            names = [b.name for b in rows(p, n)]
            if any(not name.startswith(spoken(s) + " は ") for name in names) or answer_of(s) not in [int(x.split()[-1]) for x in names]:
                raise Failure(f"answers of {s}: {names}")
        step(f"heard {first}; answers named like {rows(p, 1)[0].name}")

        # A right answer by its key.
        before = len(notices.pump())
        result = answer_of(p.text("もんだい２"))
        row = next(k for k, b in enumerate(rows(p, 2)) if value_of(b) == result)
        p.keys(KEYPAD[row][1])
        said = notices.wait("せいかい", lambda: notices.said[before:], 2)
        if not any(s == "せいかい" for s in notices.sentences()[-3:]):
            raise Failure(f"after a right answer: {notices.said[before:]}")
        step(f"right: {said}")

        # Tab to the first answer and Space on it: the focus stays there,
        # on the same button, named for whatever sum is there now.
        p.keys("Tab")
        wait_for("the focus on an answer", lambda: (focus.pump() or ("",))[0] == "こたえ１", 2)
        held = focus.pump()[2]
        p.keys("space")
        time.sleep(0.3)
        last = focus.pump()
        if last[0] != "こたえ１" or last[2] != held:
            raise Failure(f"the focus left the column: {last}")
        focused = next(b for b in rows(p, 1) if b.getState().contains(pyatspi.STATE_FOCUSED))
        if not focused.name.startswith(spoken(p.text("もんだい１")) + " は "):
            raise Failure(f"the focused answer is named {focused.name} for {p.text('もんだい１')}")
        step(f"focus kept in its column: {focused.name}")

        p.keys("p")
        notices.wait("ひとやすみ", lambda: "ひとやすみ" in notices.sentences(), 2)
        p.keys("p")
        notices.wait("つづけます", lambda: "つづけます" in notices.sentences(), 2)
        step("pause and its end heard")

        notices.wait("the end of the game", lambda: notices.said[-1].startswith("おわり"), 45)
        heard = notices.sentences()
        times = [s for s in heard if s.startswith("のこり ")]
        if times != ["のこり 30びょう", "のこり 10びょう", "のこり 3びょう", "のこり 2びょう", "のこり 1びょう"]:
            raise Failure(f"the time heard: {times}")
        known = re.compile(r"もんだい[123] \d+(たす|ひく)\d+|せいかい|ざんねん|ひとやすみ|つづけます|のこり \d+びょう|おわり　.*")
        strange = [s for s in heard if not known.fullmatch(s)]
        if strange:
            raise Failure(f"heard what is no event of the game: {strange}")
        score = int(p.text("得点"))
        end = f"おわり　{score}てん　{evaluation(score * 60 // 40)}　きろく {score}てん"
        if heard[-1] != end:
            raise Failure(f"at the end: {heard[-1]!r}, not {end!r}")
        step(f"heard {len(heard)} things, the time {times}, the end {end}")
        p.close(MAIN)
        p.expect_exit(3)
    finally:
        notices.close()
        focus.close()
        p.kill()


if __name__ == "__main__":
    run(main)
