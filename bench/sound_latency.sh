#!/bin/sh
# How long a sound takes from the call of play() to the sound server's
# output, and what the idle player costs. Starts a PulseAudio server of its
# own on a null sink, records the sink's monitor with parec while
# bench_sound_latency plays the countdown cue at known moments, and finds the
# first energy of each sound in the recording. Three series: sounds far
# apart (the player's stream has run dry between them), close together
# (each new sound queues behind what is still being fed), and after a rest
# (the stream was paused and is resumed by the sound).
#
#   bench/sound_latency.sh [BUILD-DIR] [PLAYS]      (build/default, 10)
#
# parec starts recording up to a second after it is launched, so the
# recording is lined up from its end: every block parec hands over is
# stamped on arrival, and since a block may arrive late but never before its
# samples were made, the earliest (arrival - duration of the samples so far)
# dates sample 0. Two figures per sound:
#   arrival   when the block holding its first energy reached parec: an
#             upper bound (by up to parec's 10 ms blocks) for the moment the
#             server mixed it into the sink's output
#   on clock  where its first energy lies on that clock. The null sink
#             renders ahead of its clock and rewinds to let new data in, so
#             this may come out before the call.
# A real device then holds the sound for the sink's latency, printed too.
# The figures depend on the machine's load, printed first.
# Needs pulseaudio and pulseaudio-utils; the server runs with -n on a
# private runtime directory.
set -eu
cd "$(dirname "$0")/.."
build=${1:-build/default}
plays=${2:-10}
cmake --build "$build" --target bench_sound_latency >/dev/null

runtime=$(mktemp -d)
chmod 700 "$runtime"
server=""
cleanup() {
    if [ -n "$server" ]; then
        kill "$server" 2>/dev/null || true
        wait "$server" 2>/dev/null || true
    fi
    rm -rf "$runtime"
}
trap cleanup EXIT INT TERM

export XDG_RUNTIME_DIR="$runtime"
export PULSE_SERVER="unix:$runtime/pulse/native"
pulseaudio --daemonize=no --exit-idle-time=-1 --disallow-exit -n \
    --load="module-null-sink sink_name=null" --load=module-native-protocol-unix \
    >"$runtime/server.log" 2>&1 &
server=$!
tries=0
until pactl info >/dev/null 2>&1; do
    tries=$((tries + 1))
    [ "$tries" -lt 50 ] || { echo "the sound server did not start:"; cat "$runtime/server.log"; exit 1; }
    sleep 0.1
done

echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
python3 - "$build/bench/bench_sound_latency" "$plays" <<'EOF'
import array, bisect, os, re, statistics, subprocess, sys, threading, time

program, plays = sys.argv[1], int(sys.argv[2])
rate = 44100
silence_before = rate // 100      # 10 ms below the threshold before an onset
threshold = 328                   # 1 % of full scale


def series(name, gap_ms, plays=plays):
    parec = subprocess.Popen(
        ["parec", "-d", "null.monitor", "--raw", "--format=s16le", f"--rate={rate}",
         "--channels=1", "--latency-msec=10"], stdout=subprocess.PIPE)
    blocks, data = [], bytearray()  # (arrival ns, samples so far)

    def record():
        while chunk := os.read(parec.stdout.fileno(), 65536):
            data.extend(chunk)
            blocks.append((time.monotonic_ns(), len(data) // 2))

    reader = threading.Thread(target=record)
    reader.start()
    time.sleep(1.0)
    player = subprocess.Popen([program, "play", str(plays), str(gap_ms)],
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    time.sleep(2.0)
    sink = subprocess.run(["pactl", "list", "sinks"], capture_output=True, text=True).stdout
    out, err = player.communicate()
    time.sleep(0.3)
    parec.terminate()
    reader.join()
    parec.wait()

    calls = [int(l.split()[1]) for l in out.splitlines() if l.startswith("play ")]
    costs = [int(l.split()[1]) for l in out.splitlines() if l.startswith("call ")]
    samples = array.array("h")
    samples.frombytes(bytes(data[: len(data) // 2 * 2]))
    zero = min(arrival - count * 1e9 / rate for arrival, count in blocks)
    ends = [count for _, count in blocks]

    onsets, quiet = [], silence_before
    for i, s in enumerate(samples):
        if abs(s) >= threshold:
            if quiet >= silence_before:
                onsets.append(i)
            quiet = 0
        else:
            quiet += 1

    arrival, on_clock, gaps = [], [], 0
    for call in calls:
        found = [i for i in onsets if call - 20e6 <= zero + i * 1e9 / rate < call + 500e6]
        if not found:
            continue
        i = found[0]
        on_clock.append((zero + i * 1e9 / rate - call) / 1e6)
        arrival.append((blocks[bisect.bisect_right(ends, i)][0] - call) / 1e6)
        # A gap in the sound: 1 ms of exact zeros within its first 90 ms.
        run = 0
        for s in samples[i : i + rate * 90 // 1000]:
            run = run + 1 if s == 0 else 0
            if run == rate // 1000:
                gaps += 1
                break

    def figures(values):
        return (f"median {statistics.median(values):5.1f} ms, min {min(values):5.1f}, "
                f"max {max(values):5.1f}") if values else "none"

    print(f"== {name}: {len(calls)} plays {gap_ms} ms apart; {len(arrival)} sounds found, "
          f"{gaps} with a gap; {len(samples) / rate:.1f} s recorded in {len(blocks)} blocks")
    print(f"   arrival   {figures(arrival)}")
    print(f"   on clock  {figures(on_clock)}")
    if costs:
        print(f"   play() returned in: median {statistics.median(costs) / 1e3:.0f} us, "
              f"max {max(costs) / 1e3:.0f} us")
    latency = re.search(r"\n\s*Latency: (\d+) usec, configured (\d+) usec", sink)
    if latency:
        print(f"   null sink latency {int(latency[1]) / 1e3:.1f} ms (configured {int(latency[2]) / 1e3:.1f} ms)")
    if err.strip():
        print("   the player said:", err.strip())
    return len(arrival) == len(calls)


ok = series("far apart", 700)
ok = series("close together", 130) and ok
ok = series("after a rest", 1500, max(5, plays // 2)) and ok
sys.exit(0 if ok else 1)
EOF

echo "== idle"
"$build/bench/bench_sound_latency" idle 10
