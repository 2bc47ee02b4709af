"""The shape of the sources: every file of the program's rooms within 450
lines, and includes that run one way. A file and its header are one room
(sum.h and sum.cpp); no room may reach itself through what it includes, so
that each can be read, and changed, on what lies beneath it."""
import os
import re
import sys

ROOT = sys.argv[1]
MOST_LINES = 450
SIZED = ("game", "forms", "platform", "classroom")
ARROWS = SIZED + ("app",)
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.M)


def sources(folders):
    for folder in folders:
        for where, _, names in os.walk(os.path.join(ROOT, folder)):
            for name in sorted(names):
                yield os.path.relpath(os.path.join(where, name), ROOT)


faults = []
for path in sources(SIZED):
    with open(os.path.join(ROOT, path), encoding="utf-8") as f:
        lines = sum(1 for _ in f)
    if lines > MOST_LINES:
        faults.append(f"{path}: {lines} lines, more than {MOST_LINES}")

# Room to room: an include is found beside the file, else from the top.
rooms = {}
for path in sources(ARROWS):
    if path.endswith((".h", ".cpp")):
        rooms.setdefault(os.path.splitext(path)[0], []).append(path)
if not rooms:
    faults.append(f"no sources under {ROOT}")
arrows = {room: set() for room in rooms}
for room, paths in rooms.items():
    for path in paths:
        with open(os.path.join(ROOT, path), encoding="utf-8") as f:
            names = INCLUDE.findall(f.read())
        for name in names:
            for found in (os.path.normpath(os.path.join(os.path.dirname(path), name)), os.path.normpath(name)):
                if os.path.isfile(os.path.join(ROOT, found)):
                    target = os.path.splitext(found)[0]
                    if target != room and target in rooms:
                        arrows[room].add(target)
                    break

# A room that leads back to itself: a walk along the arrows that meets a
# room still on its path.
state = {}  # 1: on the path, 2: done
path = []


def walk(room):
    state[room] = 1
    path.append(room)
    for target in sorted(arrows[room]):
        if state.get(target) == 1:
            faults.append("includes go round: " + " -> ".join(path[path.index(target):] + [target]))
        elif target not in state:
            walk(target)
    path.pop()
    state[room] = 2


sys.setrecursionlimit(10000)
for room in sorted(rooms):
    if room not in state:
        walk(room)

for fault in faults:
    print(fault)
sys.exit(1 if faults else 0)
