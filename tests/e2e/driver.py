"""Drives the real program from outside, as a person with a mouse and a
screen reader would: the windows and their controls are found through the
accessibility interface, clicks go through the X server."""

import os
import re
import signal
import subprocess
import sys
import time

import pyatspi

OPENING = "オープニング"
MAIN = "ペルモロプラスver.1.0"


class Failure(Exception):
    pass


def run(main):
    """Runs a check's `main`; a Failure is printed and ends it with status 1."""
    try:
        main()
    except Failure as failure:
        print(f"FAILED: {failure}", flush=True)
        sys.exit(1)


def wait_for(what, predicate, timeout, interval=0.02):
    """Polls `predicate` until it returns something true; fails after `timeout` s."""
    deadline = time.monotonic() + timeout
    while True:
        try:
            value = predicate()
        except Exception:  # the tree changes under our feet while windows come and go
            value = None
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)


def answer_of(sum_text):
    """The result of a sum as the program writes it: "23 + 45", "7 - 0",
    "7 × 8" or "56 ÷ 7"."""
    match = re.fullmatch(r"(\d+) ([-+×÷]) (\d+)", sum_text)
    if not match:
        return None
    a, op, b = int(match.group(1)), match.group(2), int(match.group(3))
    return {"+": a + b, "-": a - b, "×": a * b, "÷": a // b if b else None}[op]


def answer_text(sum_text):
    """The answer of any sum the program shows, as its button writes it:
    "12", "5あまり3" for 23 ÷ 4, "7" for 10は 3と□, "9" for 4 + 3 + 2."""
    match = re.fullmatch(r"(\d+)は (\d+)と□", sum_text)
    if match:
        return str(int(match.group(1)) - int(match.group(2)))
    match = re.fullmatch(r"(\d+) ([-+]) (\d+) ([-+]) (\d+)", sum_text)
    if match:
        a, b, c = int(match.group(1)), int(match.group(3)), int(match.group(5))
        ab = a + b if match.group(2) == "+" else a - b
        return str(ab + c if match.group(4) == "+" else ab - c)
    match = re.fullmatch(r"(\d+) ÷ (\d+)", sum_text)
    if match and int(match.group(1)) % int(match.group(2)):
        a, b = int(match.group(1)), int(match.group(2))
        return f"{a // b}あまり{a % b}"
    result = answer_of(sum_text)
    return None if result is None else str(result)


def value_text(button):
    """The answer a button carries, as its name says it: "7たす5 は 12",
    "23わる4 は 5あまり3", "10は 3と 7"."""
    match = re.search(r"(?: は |と )(\S+)$", button.name)
    return match.group(1) if match else None


def value_of(button):
    """The value an answer button carries: its name says the sum and the
    value, "7たす5 は 12", as a screen reader hears it."""
    match = re.search(r" は (\d+)$", button.name)
    return int(match.group(1)) if match else None


def spoken(sum_text):
    """A sum as the program names it for a screen reader: "7 + 5" is "7たす5"."""
    match = re.fullmatch(r"(\d+) ([-+×÷]) (\d+)", sum_text)
    return match and match.group(1) + {"+": "たす", "-": "ひく", "×": "かける", "÷": "わる"}[match.group(2)] + match.group(3)


class Program:
    def __init__(self, binary, wm_close, env=None, stderr=None):
        self.binary = binary
        self.wm_close = wm_close
        environment = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        environment.update(env or {})
        wait_for("the X server", lambda: subprocess.run(["xdotool", "getdisplaygeometry"],
                                                         capture_output=True).returncode == 0, 10, interval=0.1)
        self.started = time.monotonic()
        self.process = subprocess.Popen([binary], env=environment, stderr=stderr)

    # --- the accessibility tree -------------------------------------------
    def app(self):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.get_process_id() == self.process.pid:
                return app
        return None

    def window(self, title):
        app = self.app()
        if app is None:
            return None
        for i in range(app.childCount):
            child = app.getChildAtIndex(i)
            if child is not None and child.name == title and child.getState().contains(pyatspi.STATE_SHOWING):
                return child
        return None

    def controls(self, title, description):
        window = self.window(title)
        if window is None:
            return []
        found = []
        for i in range(window.childCount):
            child = window.getChildAtIndex(i)
            if child is not None and child.description == description:
                found.append(child)
        return found

    def control(self, description, title=MAIN):
        found = self.controls(title, description)
        if len(found) != 1:
            raise Failure(f"{len(found)} controls described as {description}")
        return found[0]

    def text(self, description):
        return self.control(description).name

    def named(self, name, role):
        """The control a screen reader calls `name`, of that role: the toggles
        おと and ひとやすみ (check boxes), the pause's message (a label)."""
        window = self.window(MAIN)
        found = [] if window is None else [c for c in (window.getChildAtIndex(i) for i in range(window.childCount))
                                           if c is not None and c.name == name and c.getRole() == role]
        if len(found) != 1:
            raise Failure(f"{len(found)} controls named {name}")
        return found[0]

    def course(self, name):
        for button in self.controls(MAIN, "コース"):
            if button.name == name:
                return button
        raise Failure(f"no course button {name}")

    @staticmethod
    def enabled(acc):
        return acc.getState().contains(pyatspi.STATE_ENABLED)

    @staticmethod
    def checked(acc):
        return acc.getState().contains(pyatspi.STATE_CHECKED)

    @staticmethod
    def showing(acc):
        return acc.getState().contains(pyatspi.STATE_SHOWING)

    @staticmethod
    def extents(acc):
        e = acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        return e.x, e.y, e.width, e.height

    # --- the mouse and the windows --------------------------------------------
    def click(self, acc):
        x, y, w, h = self.extents(acc)
        click_at(x + w // 2, y + h // 2)

    def window_id(self, title):
        out = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{re.escape(title)}$"],
                             capture_output=True, text=True).stdout.split()
        return out[0] if out else None

    def close(self, title):
        window = self.window_id(title)
        if window is None:
            raise Failure(f"no window {title} to close")
        subprocess.run([self.wm_close, window], check=True)

    def expect_exit(self, within=1.0):
        try:
            status = self.process.wait(timeout=within)
        except subprocess.TimeoutExpired:
            raise Failure(f"still running {within} s after the close")
        if status != 0:
            raise Failure(f"exit status {status}")

    def running(self):
        return self.process.poll() is None

    def kill(self):
        if self.running():
            self.process.kill()
            self.process.wait()

    def stop(self):
        os.kill(self.process.pid, signal.SIGSTOP)

    def cont(self):
        os.kill(self.process.pid, signal.SIGCONT)

    def resident_kb(self):
        with open(f"/proc/{self.process.pid}/status") as status:
            for line in status:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
        return 0

    def keys(self, *names):
        """Key presses through the X server, into the game window."""
        window = self.window_id(MAIN)
        if window is None:
            raise Failure("no game window for the keys")
        subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True)
        subprocess.run(["xdotool", "key", "--delay", "40", *names], check=True)

    # --- the game -----------------------------------------------------------------
    def answer_button(self, n, right):
        """An enabled answer button of problem n that shows its result (or,
        with right false, a value that is not its result)."""
        result = answer_text(self.text(f"もんだい{'１２３'[n - 1]}"))
        if result is None:
            return None
        for button in self.controls(MAIN, f"こたえ{'１２３'[n - 1]}"):
            if self.enabled(button) and (value_text(button) == result) == right:
                return button
        return None


class FocusWatch:
    """What a screen reader hears of the keyboard focus: the controls that
    announce that they took it, in order."""

    def __init__(self):
        from gi.repository import GLib
        self.context = GLib.MainContext.default()
        self.focused = []
        pyatspi.Registry.registerEventListener(self._on_event, "object:state-changed:focused")

    def _on_event(self, event):
        if event.detail1:
            try:
                self.focused.append((event.source.description, event.source.name, Program.extents(event.source)))
            except Exception:
                pass

    def pump(self):
        while self.context.iteration(False):
            pass
        return self.focused[-1] if self.focused else None

    def close(self):
        pyatspi.Registry.deregisterEventListener(self._on_event, "object:state-changed:focused")


def click_at(x, y):
    subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "1"], check=True)


def evaluation(score):
    messages = ["どうした？", "がんばれ!　がんばれ!", "まだ まだ!", "もう ひとがんばり!", "もっと　がんばれるぞ!",
                "なかなか　やるなあ!", "おっ!　これは？", "これは　きたいできるぞ!", "もうすこしで　たつじん　じゃ!",
                "きみは　計算の　たつじん!"]
    return messages[score // 10] if score < 100 else "先生も　まいった!!"
