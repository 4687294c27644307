#!/usr/bin/env bash
# The window's costs, measured in one run on a private X server (Xvfb) and the project's private
# sound server, each against a yardstick doing the same work:
#   - CPU of the open, idle window over 60 s (goal: below 0.5% of a core);
#   - CPU of a 60 s recording with the level meter shown, against the headless recorder
#     (`orvel-rec run`) recording the same line (goal: the window adds less than 2% of a core);
#   - launch to the first painted face, against a bare Qt window shown by a ten-line program
#     (goal: at most 1.5 times, under 300 ms), median of seven starts; and against the same bare
#     window linked to the libraries the recorder loads, which shows the dynamic loader's share;
#   - resident memory while recording MP3, against the headless recorder and the linked bare
#     window (goal: under 60 MB), with the part that is the process's own (anonymous pages).
#
#   bench/face.sh [seconds]     the measuring time (default 60)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${root}/build/bench"
seconds="${1:-60}"

cmake -S "${root}" -B "${build}" -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVEL_TESTS=OFF \
      -DORVEL_BENCH=ON -DORVEL_SANITIZE=OFF -DORVEL_FUZZ=OFF > /dev/null
cmake --build "${build}" --target orvel orvel-rec bench_bare_window bench_bare_window_linked \
  > /dev/null

work="$(mktemp -d)"
xvfb_pid=""
cleanup() {
  [ -n "${xvfb_pid}" ] && kill "${xvfb_pid}" 2>/dev/null || true
  "${root}/tools/soundserver.sh" stop "${work}/sound" > /dev/null 2>&1 || true
  rm -rf "${work}"
}
trap cleanup EXIT

export "$("${root}/tools/soundserver.sh" start "${work}/sound")"
display=":$((90 + RANDOM % 100))"
Xvfb "${display}" -screen 0 1280x1024x24 -nolisten tcp > /dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY="${display}"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
export XDG_CONFIG_HOME="${work}/config" XDG_DATA_HOME="${work}/data"
export QT_LOGGING_RULES="orvel.face.debug=true"
sleep 1

# The steady tone line of the private server is the recording line; the numeric meter shows.
mkdir -p "${XDG_CONFIG_HOME}/Orvel" "${work}/rec"
"${build}/src/orvel-rec" devices | awk '
  /^device / { device = $2; sub(":", "", device) }
  /Tone line/ && !found { line = $2; sub(":", "", line); found = 1 }
  END { printf "[General]\nDevice=%s\nAudoLine=%s\nShowSwitch=1\n", device, line }' \
  > "${XDG_CONFIG_HOME}/Orvel/Parameters.conf"

python3 - "${build}" "${work}/rec" "${seconds}" <<'EOF'
import os, signal, statistics, subprocess, sys, time

build, folder, seconds = sys.argv[1], sys.argv[2], float(sys.argv[3])
orvel = [f"{build}/src/orvel"]
headless = [f"{build}/src/orvel-rec", "run"]
bare = [f"{build}/bench/bench_bare_window"]
linked = [f"{build}/bench/bench_bare_window_linked"]
tick = os.sysconf("SC_CLK_TCK")

def cpu_seconds(pid):
    fields = open(f"/proc/{pid}/stat").read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / tick  # utime + stime, all threads

def start(command):
    return subprocess.Popen(command, cwd=folder, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)

def stop(process):
    process.send_signal(signal.SIGTERM)
    process.wait(timeout=30)

def cpu_share(command, settle=5.0):
    """Percent of one core over the measuring time, after the start has settled."""
    process = start(command)
    time.sleep(settle)
    c0, t0 = cpu_seconds(process.pid), time.monotonic()
    time.sleep(seconds)
    c1, t1 = cpu_seconds(process.pid), time.monotonic()
    stop(process)
    return 100.0 * (c1 - c0) / (t1 - t0)

def resident_mb(command, settle=10.0):
    """Resident memory and the anonymous part of it (not shared library pages), in MB."""
    process = start(command)
    time.sleep(settle)
    status = {}
    for line in open(f"/proc/{process.pid}/status"):
        key, _, value = line.partition(":")
        if key in ("VmRSS", "RssAnon"):
            status[key] = int(value.split()[0]) / 1024.0
    stop(process)
    return status["VmRSS"], status["RssAnon"]

def launch_ms(command):
    """From the start of the process to its first painted window, as seen from outside."""
    t0 = time.monotonic()
    process = subprocess.Popen(command, cwd=folder, stdout=subprocess.DEVNULL,
                               stderr=subprocess.PIPE, text=True)
    for line in process.stderr:
        if "first paint" in line:
            break
    elapsed = 1000.0 * (time.monotonic() - t0)
    stop(process)
    return elapsed

print(f"face bench: {seconds:.0f} s per measure, Xvfb, private sound server")
bare_ms = statistics.median(launch_ms(bare) for _ in range(7))
linked_ms = statistics.median(launch_ms(linked) for _ in range(7))
face_ms = statistics.median(launch_ms(orvel) for _ in range(7))
print(f"launch to first paint: window {face_ms:.0f} ms, bare Qt window {bare_ms:.0f} ms, "
      f"ratio {face_ms / bare_ms:.2f} (goal <= 1.5 and < 300 ms); bare window linked to the "
      f"recorder's libraries {linked_ms:.0f} ms, ratio {face_ms / linked_ms:.2f}")

idle = cpu_share(orvel)
print(f"idle window CPU: {idle:.2f}% of a core (goal < 0.5%)")

window = cpu_share(orvel + ["/r", "-filename", "window.wav"])
alone = cpu_share(headless + ["/r", "-filename", "headless.wav"])
print(f"recording CPU: window {window:.2f}%, headless {alone:.2f}% of a core, "
      f"the window adds {window - alone:.2f}% (goal < 2%), ratio {window / max(alone, 1e-9):.2f}")

face_mb, face_own = resident_mb(orvel + ["/r", "-filename", "window.mp3"])
alone_mb, alone_own = resident_mb(headless + ["/r", "-filename", "headless.mp3"])
linked_mb, linked_own = resident_mb(linked)
print(f"resident memory recording MP3: window {face_mb:.1f} MB ({face_own:.1f} MB its own), "
      f"headless {alone_mb:.1f} MB ({alone_own:.1f}), ratio {face_mb / alone_mb:.2f} "
      f"(goal < 60 MB); bare window linked to the same libraries {linked_mb:.1f} MB "
      f"({linked_own:.1f})")
EOF
