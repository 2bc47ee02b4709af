#!/usr/bin/python3
"""The sounds and the pause of the real program, heard through a sound server
of our own and seen through the X server and the accessibility interface.

   sound.py PROGRAM WM_CLOSE session     a PulseAudio server on a null sink whose
                                         output is recorded: a right and a wrong
                                         answer heard and told apart by pitch, M
                                         silencing a right answer and bringing the
                                         sound back; a pause by P, still on screen
                                         and on the clock, and its end; a window
                                         minimised and restored stays paused until
                                         つづける; nothing on stderr about sound
   sound.py PROGRAM WM_CLOSE no-server   no sound server at all: a whole game, and
                                         one line on stderr about the sound at most

With no window manager on the test's X server, nobody would act on a request
to minimise a window, so the test does the manager's part itself: it marks
the window iconic (WM_STATE) and unmaps it, and undoes both to restore it.
"""

import array
import ctypes
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time

import pyatspi

from driver import MAIN, Failure, Program, wait_for
from play import choose, end_of_game, hand_over, step, until_scored

RATE = 16000           # recorded samples per second
FRAME = RATE // 50     # loudness is measured over 20 ms
AUDIBLE = 328          # 1 % of full scale, as the RMS of a frame
POINTS = 4             # of the course い ぬ


class Recording:
    """What the sound server plays, recorded from the null sink's monitor.
    parec starts recording a while after it is launched and hands its data
    over in blocks, each after its samples were made, never before: so the
    earliest (arrival - duration of the samples so far) dates sample 0."""

    def __init__(self, env):
        self.parec = subprocess.Popen(["parec", "-d", "null.monitor", "--raw", "--format=s16le", f"--rate={RATE}",
                                       "--channels=1", "--latency-msec=10"], stdout=subprocess.PIPE, env=env)
        self.data = bytearray()
        self.zero = None
        self.lock = threading.Lock()
        self.reader = threading.Thread(target=self._record, daemon=True)
        self.reader.start()
        try:
            wait_for("the recording to start", lambda: self.data, 5)
        except BaseException:
            self.stop()
            raise

    def _record(self):
        while chunk := os.read(self.parec.stdout.fileno(), 65536):
            arrival = time.monotonic()
            with self.lock:
                self.data.extend(chunk)
                start = arrival - len(self.data) // 2 / RATE
                self.zero = start if self.zero is None else min(self.zero, start)

    def between(self, start, end):
        """The samples from `start` to `end` on the monotonic clock, once recorded."""
        def recorded():
            with self.lock:
                if self.zero + len(self.data) // 2 / RATE < end:
                    return None
                first, last = (max(0, round((t - self.zero) * RATE)) for t in (start, end))
                return array.array("h", bytes(self.data[2 * first:2 * last]))
        return wait_for("the recording to catch up", recorded, end - time.monotonic() + 3)

    def wait_quiet(self):
        """Waits until the last 0.3 s recorded are silent."""
        wait_for("the sound to end", lambda: loudest(self.between(time.monotonic() - 0.3, time.monotonic())) < AUDIBLE,
                 5, interval=0.1)

    def stop(self):
        self.parec.terminate()
        self.parec.wait()
        self.reader.join()


def frames(samples):
    return [samples[i:i + FRAME] for i in range(0, len(samples) - FRAME + 1, FRAME)]


def rms(frame):
    return (sum(s * s for s in frame) / len(frame)) ** 0.5


def loudest(samples):
    return max((rms(f) for f in frames(samples)), default=0.0)


def pitch(samples):
    """The dominant pitch in Hz of the audible frames, by their zero crossings."""
    audible = [f for f in frames(samples) if rms(f) >= AUDIBLE]
    crossings = sum((a < 0) != (b < 0) for f in audible for a, b in zip(f, f[1:]))
    return crossings / 2 / (len(audible) * FRAME / RATE) if audible else 0.0


class SoundServer:
    """A PulseAudio server on a null sink, in a runtime directory of its own."""

    def __init__(self):
        self.runtime = tempfile.mkdtemp()
        os.chmod(self.runtime, 0o700)
        self.env = {"XDG_RUNTIME_DIR": self.runtime, "PULSE_SERVER": f"unix:{self.runtime}/pulse/native"}
        environment = dict(os.environ, **self.env)
        self.log = open(os.path.join(self.runtime, "server.log"), "w")
        self.server = subprocess.Popen(["pulseaudio", "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit", "-n",
                                        "--load=module-null-sink sink_name=null", "--load=module-native-protocol-unix"],
                                       env=environment, stdout=self.log, stderr=subprocess.STDOUT)
        self.recording = None
        try:
            wait_for("the sound server", lambda: subprocess.run(["pactl", "info"], env=environment,
                                                                 capture_output=True).returncode == 0, 10, interval=0.1)
            self.recording = Recording(environment)
        except BaseException:
            self.close()
            raise

    def close(self):
        if self.recording:
            self.recording.stop()
        self.server.terminate()
        self.server.wait()
        self.log.close()
        shutil.rmtree(self.runtime, ignore_errors=True)


def answer(p, right):
    """Answers a sum right or wrong until the score shows it (a wrong answer
    needs points to wipe); returns the moment of the click that counted."""
    clicks = []

    def click():
        score = int(p.text("得点"))
        for n in (1, 2, 3):
            button = p.answer_button(n, right)
            if button is not None:
                clicks.append(time.monotonic())
                p.click(button)
                return score + POINTS if right else 0
        return None
    if until_scored(p, click) is None:
        raise Failure(f"no {'right' if right else 'wrong'} answer to click")
    return clicks[-1]


def answer_heard(p, sound, right):
    """What was recorded before an answer, and in the 1.2 s after it. The
    null sink renders ahead of its clock, so that the recording may date a
    sound a few tens of milliseconds before the click that made it: the
    silence is measured up to 0.1 s before the click, the sound from then."""
    sound.wait_quiet()
    clicked = answer(p, right)
    return sound.between(clicked - 0.4, clicked - 0.1), sound.between(clicked - 0.1, clicked + 1.2)


def sound_toggle(p, on):
    p.keys("m")
    wait_for(f"おと to be {'on' if on else 'off'}", lambda: p.checked(p.named("おと", pyatspi.ROLE_CHECK_BOX)) == on, 2)


def paused(p):
    return (p.showing(p.named("ひとやすみ", pyatspi.ROLE_LABEL)) and
            p.checked(p.named("ひとやすみ", pyatspi.ROLE_CHECK_BOX)))


def screenshot(window, path):
    subprocess.run(["import", "-window", window, "-define", "png:exclude-chunks=date,time", path], check=True)
    with open(path, "rb") as picture:
        return picture.read()


def check_paused(p, window, scratch, kept):
    """Over two seconds of a pause nothing moves or counts, the sums and
    their answers are out of sight, and the message and つづける show. The
    second screenshot is kept as `kept`, beside the test's output."""
    countdown = p.text("のこり時間")
    before = screenshot(window, os.path.join(scratch, "before.png"))
    time.sleep(2)
    after = screenshot(window, kept)
    if before != after:
        raise Failure("the window changed while paused")
    if p.text("のこり時間") != countdown:
        raise Failure(f"the countdown went from {countdown} to {p.text('のこり時間')} while paused")
    seen = [d for n in "１２３" for d in (f"もんだい{n}", f"こたえ{n}") for c in p.controls(MAIN, d) if p.showing(c)]
    if seen:
        raise Failure(f"in sight while paused: {seen}")
    if not p.showing(p.named("つづける", pyatspi.ROLE_PUSH_BUTTON)):
        raise Failure("no つづける button in the pause")
    return int(countdown)


def goes_on(p, countdown, resume):
    """The countdown goes on from `countdown` once `resume` is done."""
    resume()
    resumed = time.monotonic()
    now = int(wait_for("the countdown to go on", lambda: int(p.text("のこり時間")) != countdown and p.text("のこり時間"),
                       1.5))
    elapsed = time.monotonic() - resumed
    if now < countdown - 1 - int(elapsed):
        raise Failure(f"the countdown went on from {countdown} to {now} {elapsed:.2f} s after the pause")
    if paused(p):
        raise Failure("still paused")
    return now, elapsed


def iconify(window, iconic):
    """What a window manager does to minimise a window (iconic) or restore it."""
    x11 = ctypes.CDLL("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XChangeProperty.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_int,
                                    ctypes.c_int, ctypes.c_void_p, ctypes.c_int]
    x11.XMapWindow.argtypes = x11.XUnmapWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = x11.XOpenDisplay(None)
    state = x11.XInternAtom(display, b"WM_STATE", 0)
    value = (ctypes.c_long * 2)(3 if iconic else 1, 0)  # IconicState or NormalState, no icon window
    x11.XChangeProperty(display, int(window), state, state, 32, 0, value, 2)
    (x11.XUnmapWindow if iconic else x11.XMapWindow)(display, int(window))
    x11.XCloseDisplay(display)


def session(p, server, scratch):
    sound = server.recording
    hand_over(p)
    choose(p, "い ぬ")

    quiet, heard = answer_heard(p, sound, True)
    right_level, right_pitch, silence = loudest(heard), pitch(heard), loudest(quiet)
    step(f"right answer: loudest {right_level:.0f} (silence before {silence:.0f}), pitch {right_pitch:.0f} Hz")
    if right_level < max(AUDIBLE, 10 * silence):
        raise Failure("a right answer was not heard")
    quiet, heard = answer_heard(p, sound, False)
    wrong_level, wrong_pitch = loudest(heard), pitch(heard)
    step(f"wrong answer: loudest {wrong_level:.0f} (silence before {loudest(quiet):.0f}), pitch {wrong_pitch:.0f} Hz")
    if wrong_level < max(AUDIBLE, 10 * loudest(quiet)):
        raise Failure("a wrong answer was not heard")
    if wrong_pitch > right_pitch / 3:
        raise Failure("a wrong answer does not sound much lower than a right one")

    sound_toggle(p, False)
    level = loudest(answer_heard(p, sound, True)[1])
    step(f"M: おと off, a right answer's loudest {level:.0f}")
    if level >= AUDIBLE:
        raise Failure("a right answer was heard with the sound off")
    sound_toggle(p, True)
    level = loudest(answer_heard(p, sound, True)[1])
    step(f"M again: おと on, a right answer's loudest {level:.0f}")
    if level < AUDIBLE:
        raise Failure("the sound did not come back")

    window = p.window_id(MAIN)
    p.keys("p")
    wait_for("the pause", lambda: paused(p), 2)
    countdown = check_paused(p, window, scratch, "paused.png")
    step(f"P: paused at {countdown}, the window still for 2 s, the sums out of sight (paused.png)")
    now, elapsed = goes_on(p, countdown, lambda: p.keys("p"))
    step(f"P again: the countdown went on to {now} {elapsed:.2f} s later")

    countdown = int(p.text("のこり時間"))
    iconify(window, True)
    time.sleep(2)
    iconify(window, False)
    wait_for("the window back", lambda: p.window(MAIN), 2)
    wait_for("the pause", lambda: paused(p), 1)
    if int(p.text("のこり時間")) < countdown - 1:
        raise Failure(f"the countdown went from {countdown} to {p.text('のこり時間')} while minimised")
    countdown = check_paused(p, window, scratch, "restored.png")
    step(f"minimised 2 s and restored: still paused at {countdown} (restored.png)")
    now, elapsed = goes_on(p, countdown, lambda: p.click(p.named("つづける", pyatspi.ROLE_PUSH_BUTTON)))
    step(f"つづける: the countdown went on to {now} {elapsed:.2f} s later")

    p.close(MAIN)
    p.expect_exit(1.0)


def no_server(p):
    hand_over(p)
    choose(p, "い ぬ")
    answer(p, True)
    step("right answer: 4 points, silently")
    end_of_game(p, POINTS, POINTS)
    p.close(MAIN)
    p.expect_exit(1.0)


def main():
    binary, wm_close, case = sys.argv[1:4]
    scratch = tempfile.mkdtemp()
    server = p = None
    try:
        if case == "session":
            server = SoundServer()
            env = server.env
        else:
            runtime = os.path.join(scratch, "runtime")
            os.mkdir(runtime, 0o700)
            env = {"XDG_RUNTIME_DIR": runtime, "PULSE_SERVER": f"unix:{runtime}/pulse/native"}
        errors = os.path.join(scratch, "stderr")
        with open(errors, "w") as stderr:
            p = Program(binary, wm_close, env=env, stderr=stderr)
        if case == "session":
            session(p, server, scratch)
        else:
            no_server(p)
        with open(errors) as stderr:
            said = stderr.read().splitlines()
        step(f"stderr: {said}")
        if case == "session" and said:
            raise Failure("the program spoke on stderr with a sound server there")
        if case == "no-server" and (len(said) > 1 or not all("sound" in line for line in said)):
            raise Failure("more than one line on stderr, or not about the sound")
    except Failure as failure:
        print(f"FAIL ({case}): {failure}", flush=True)
        return 1
    finally:
        if p:
            p.kill()
        if server:
            server.close()
        shutil.rmtree(scratch, ignore_errors=True)
    print(f"PASS ({case})")
    return 0


if __name__ == "__main__":
    sys.exit(main())
