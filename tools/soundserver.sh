#!/usr/bin/env bash
# A private PulseAudio server for tests and for machines without a sound card.
#
#   soundserver.sh start  [DIR]   start it (idempotent); prints the environment to use
#   soundserver.sh stop   [DIR]   end the daemon this script started in DIR, nothing else
#   soundserver.sh status [DIR]   exit 0 and print the environment when it answers
#   soundserver.sh env    [DIR]   print the environment without checking
#
# DIR (default $ORVEL_SOUND_DIR, else /tmp/orvel-sound-$UID) holds the socket, the pid file,
# the daemon's log and its private home. The server offers:
#   speakers          null sink, the default sink; speakers.monitor is the playback mix
#   tone              a steady 440 Hz line (a second null sink playing a sine, remapped)
#   silence           a silent line
set -euo pipefail

cmd=${1:-status}
dir=${2:-${ORVEL_SOUND_DIR:-/tmp/orvel-sound-$(id -u)}}
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
socket="$dir/native"
pidfile="$dir/daemon.pid"
export PULSE_SERVER="unix:$socket"

print_env() {
  echo "PULSE_SERVER=unix:$socket"
}

answers() {
  # The server is ready when every line the tests rely on is listed.
  local sinks sources
  sinks=$(env -u PULSE_COOKIE PULSE_SERVER="unix:$socket" HOME="$dir/home" \
    pactl list short sinks 2>/dev/null) || return 1
  sources=$(env PULSE_SERVER="unix:$socket" HOME="$dir/home" \
    pactl list short sources 2>/dev/null) || return 1
  grep -qw speakers <<<"$sinks" && grep -qw tone <<<"$sources" && grep -qw silence <<<"$sources"
}

daemon_pid() {
  [ -s "$pidfile" ] || return 1
  local pid
  pid=$(cat "$pidfile")
  [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null || return 1
  # A zombie counts as stopped.
  [ "$(ps -o stat= -p "$pid" 2>/dev/null | cut -c1)" != "Z" ] || return 1
  echo "$pid"
}

start() {
  if daemon_pid >/dev/null && answers; then
    print_env
    return 0
  fi
  stop_daemon
  command -v pulseaudio >/dev/null || { echo "soundserver: pulseaudio is not installed" >&2; return 1; }
  mkdir -p "$dir/home" "$dir/runtime" "$dir/config" "$dir/state"
  chmod 700 "$dir/runtime"
  rm -f "$socket" "$dir/runtime/pid"
  cat >"$dir/server.pa" <<PA
load-module module-native-protocol-unix socket=$socket auth-anonymous=1
load-module module-null-sink sink_name=speakers rate=44100 channels=2 sink_properties="device.description='Speakers'"
load-module module-null-sink sink_name=tones rate=44100 channels=2 sink_properties="device.description='Tone generator'"
load-module module-sine sink=tones frequency=440
load-module module-remap-source source_name=tone master=tones.monitor source_properties="device.description='Tone line'"
load-module module-null-source source_name=silence rate=44100 channels=2 max_latency_msec=100 description=Silence
set-default-sink speakers
set-default-source tone
PA
  (
    cd "$dir"
    env -i PATH="$PATH" HOME="$dir/home" XDG_RUNTIME_DIR="$dir/runtime" \
      XDG_CONFIG_HOME="$dir/config" PULSE_RUNTIME_PATH="$dir/runtime" PULSE_STATE_PATH="$dir/state" \
      setsid pulseaudio -n -F "$dir/server.pa" --daemonize=no --system=no --exit-idle-time=-1 \
      --disallow-exit=yes --realtime=no --high-priority=no --use-pid-file=yes \
      --log-target=stderr </dev/null >"$dir/daemon.log" 2>&1 &
    echo $! >"$pidfile"
  )
  local i
  for i in $(seq 1 100); do
    if answers; then
      print_env
      return 0
    fi
    if ! daemon_pid >/dev/null; then
      break
    fi
    sleep 0.1
  done
  echo "soundserver: the daemon did not come up; its log:" >&2
  tail -n 20 "$dir/daemon.log" >&2 || true
  stop_daemon
  return 1
}

stop_daemon() {
  local pid i
  if pid=$(daemon_pid); then
    kill -TERM "$pid" 2>/dev/null || true
    for i in $(seq 1 50); do
      daemon_pid >/dev/null || break
      sleep 0.1
    done
    if daemon_pid >/dev/null; then
      kill -KILL "$pid" 2>/dev/null || true
    fi
  fi
  rm -f "$pidfile" "$dir/runtime/pid" "$socket"
}

exec 9>"$dir/lock"
flock 9
case "$cmd" in
  start) start ;;
  stop) stop_daemon ;;
  status) daemon_pid >/dev/null && answers && print_env ;;
  env) print_env ;;
  *) echo "usage: $0 start|stop|status|env [DIR]" >&2; exit 2 ;;
esac
