#!/usr/bin/python3
"""Nothing leaves the process: a whole session under strace opens no file for
writing outside the system's runtime paths, connects no socket but the
display's and the sound server's, and starts no other program.

   trace_check.py PROGRAM WM_CLOSE     (with an X server: with_xvfb.sh)
"""

import os
import random
import re
import subprocess
import sys
import tempfile
import time

MAIN = "ペルモロプラスver.1.0"
WRITE_FLAGS = ("O_WRONLY", "O_RDWR", "O_CREAT", "O_TRUNC", "O_APPEND")
CALL = re.compile(r"^(\d+)\s+(\w+)\((.*)\)\s+=\s+(-?\d+|\?)")


def runtime_paths():
    user = os.environ.get("USER") or subprocess.run(["id", "-un"], capture_output=True, text=True).stdout.strip()
    paths = ["/dev/null", f"/tmp/runtime-{user}"]
    if os.environ.get("XDG_RUNTIME_DIR"):
        paths.append(os.environ["XDG_RUNTIME_DIR"])
    return paths


def find_window(title, timeout):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        out = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"],
                             capture_output=True, text=True).stdout.split()
        if out:
            return out[0]
        time.sleep(0.05)
    return None


def session(program, wm_close, trace):
    env = dict(os.environ)
    env.pop("DBUS_SESSION_BUS_ADDRESS", None)
    process = subprocess.Popen(["strace", "-f", "-qq", "-o", trace,
                                "-e", "trace=execve,open,openat,creat,mkdir,rename,renameat,renameat2,unlink,unlinkat,"
                                      "socket,connect,bind,sendto",
                                program], env=env)
    window = find_window(MAIN, 15)
    if window is None:
        process.kill()
        raise SystemExit("FAIL: no game window")
    geometry = subprocess.run(["xdotool", "getwindowgeometry", window], capture_output=True, text=True).stdout
    x, y = map(int, re.search(r"Position: (\d+),(\d+)", geometry).groups())
    chance = random.Random(7)
    subprocess.run(["xdotool", "mousemove", str(x + 48), str(y + 117), "click", "1"], check=True)  # a course
    for _ in range(60):  # and clicks anywhere, answers among them
        subprocess.run(["xdotool", "mousemove", str(x + chance.randrange(612)), str(y + chance.randrange(491)),
                        "click", "1"], check=True)
        time.sleep(0.03)
    subprocess.run([wm_close, window], check=True)
    status = process.wait(timeout=10)
    if status != 0:
        raise SystemExit(f"FAIL: exit status {status}")


def check(trace):
    allowed = runtime_paths()
    problems, counts = [], {}
    with open(trace) as lines:
        for line in lines:
            match = CALL.match(line)
            if not match:
                continue
            _, call, args, result = match.groups()
            counts[call] = counts.get(call, 0) + 1
            ok = result not in ("?",) and not result.startswith("-")
            paths = re.findall(r'"([^"]*)"', args)
            if call == "execve" and counts[call] > 1:
                problems.append(f"started another program: {line.strip()}")
            elif call in ("open", "openat", "creat") and ok:
                writing = call == "creat" or any(flag in args for flag in WRITE_FLAGS)
                if writing and not any(p.startswith(a) for p in paths for a in allowed):
                    problems.append(f"opened for writing: {line.strip()}")
            elif call in ("mkdir", "rename", "renameat", "renameat2", "unlink", "unlinkat") and ok:
                if not all(any(p.startswith(a) for a in allowed) for p in paths):
                    problems.append(f"changed the file system: {line.strip()}")
            elif call == "socket" and "AF_UNIX" not in args:
                problems.append(f"a socket other than a local one: {line.strip()}")
            # Besides the display, the sound server's socket: where one runs,
            # the program plays its sounds through it (a local socket, so
            # nothing leaves the machine).
            elif call == "connect" and ok and not re.search(r'sun_path=@?"(/tmp/\.X11-unix/X\d+|[^"]*/pulse/native)"',
                                                            args):
                problems.append(f"connected elsewhere than to the display or the sound server: {line.strip()}")
            # A send with no address goes where its socket was connected to,
            # and that was checked above.
            elif call == "sendto" and args.endswith(", NULL, 0"):
                pass
            elif call in ("bind", "sendto") and ok and "AF_UNIX" not in args and "X11-unix" not in args:
                problems.append(f"{call}: {line.strip()}")
    return problems, counts


def main():
    program, wm_close = sys.argv[1:3]
    with tempfile.TemporaryDirectory() as scratch:
        trace = os.path.join(scratch, "trace")
        session(program, wm_close, trace)
        problems, counts = check(trace)
    print("system calls seen: " + ", ".join(f"{call} {n}" for call, n in sorted(counts.items())))
    for problem in problems:
        print("FAIL: " + problem)
    if problems:
        return 1
    print("PASS (nothing leaves the process)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
