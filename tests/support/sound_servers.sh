# SPDX-License-Identifier: GPL-3.0-or-later
# Private sound servers for the tests and the benchmarks, sourced by both: a PulseAudio, or a
# PipeWire with WirePlumber and its pulse server (Debian 12's desktop default), each with one
# null sink named "lesson" as its default output, whose monitor ("lesson.monitor") records what
# a child would hear. Each lives in a folder of its own: its own HOME, runtime folder, sockets
# and, for PipeWire, session bus; no configuration script, no X display, nothing of the user's
# sound set-up. They run as any user, root included.
#
#   . tests/support/sound_servers.sh
#   server_start KIND FOLDER    KIND is pulseaudio or pipewire; returns once the sink is the
#                               default output. Sets server_env (what a client needs, for
#                               env), server_pids (the server's processes) and server_kind.
#   server_kill [SIGNAL]        ends the server's processes at once (TERM, or KILL as a crash)
#                               and waits for them; the session bus stays
#   server_start_again          the same server again, in the same folder, as after a restart
#   server_stop                 ends everything server_start started
#   server_pid                  the process that mixes the sink (pulseaudio, or pipewire)
#
# With server_awake=1 set before server_start, PulseAudio's sink is kept as a card keeps it: an
# idle null sink renders up to two seconds ahead of time, and a stream that joins it then waits
# that long for its first request, which a card's sink would take back at once. A recording of
# its monitor at a short latency (the client's own stays unchanged) keeps it close to time.
# Leave it off to measure an idle server.
#
# The caller ends what it started with server_stop (a trap on EXIT is the usual place).

server_kind=
server_folder=
server_env=()
server_pids=()
server_bus_pid=
server_awake=${server_awake:-0}
server_awake_pid=

# Runs a server process with nothing of the caller's environment but what it needs.
server_run() { # LOG COMMAND...
  local log=$1
  shift
  env -i PATH="$PATH" HOME="$server_folder/home" XDG_RUNTIME_DIR="$server_folder/runtime" \
    XDG_CONFIG_HOME="$server_folder/home/.config" XDG_STATE_HOME="$server_folder/home/.state" \
    ${server_bus:+DBUS_SESSION_BUS_ADDRESS="$server_bus"} "$@" >>"$server_folder/$log" 2>&1 &
  server_pids+=($!)
}

server_pactl() { env "${server_env[@]}" pactl "$@"; }

# Runs COMMAND (a check that the server just started answers) every 0.1 s until it succeeds,
# TRIES times at most; on a busy machine a server can take seconds to listen, and the next one
# started before it answers gives up at once.
server_wait() { # WHAT TRIES COMMAND...
  local what=$1 tries=$2 _
  shift 2
  for _ in $(seq "$tries"); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "server_start: $what did not answer within $((tries / 10)) s; the logs:" >&2
  tail -n 20 "$server_folder"/*.log >&2
  return 1
}
# PipeWire's own tools, as a client of the private server sees it.
server_pw() { env -i PATH="$PATH" XDG_RUNTIME_DIR="$server_folder/runtime" timeout 5 "$@"; }
server_has_wireplumber() { server_pw pw-cli ls Client | grep -q 'application.name = "WirePlumber"'; }
server_pactl_background() {
  env "${server_env[@]}" "$@" 2>/dev/null &
  server_awake_pid=$!
}

server_start() { # KIND FOLDER
  server_kind=$1
  server_folder=$2
  mkdir -p "$server_folder/home" "$server_folder/client"
  [ -d "$server_folder/runtime" ] || mkdir -m 700 "$server_folder/runtime"
  echo "autospawn = no" >"$server_folder/client.conf"
  server_bus=
  case $server_kind in
    pulseaudio)
      # The client's runtime folder is empty: no PipeWire there for SDL to find.
      [ -d "$server_folder/client" ] && chmod 700 "$server_folder/client"
      server_env=(PULSE_SERVER="unix:$server_folder/runtime/native"
        PULSE_CLIENTCONFIG="$server_folder/client.conf" XDG_RUNTIME_DIR="$server_folder/client")
      ;;
    pipewire)
      dbus-daemon --session --address="unix:path=$server_folder/runtime/bus" --nofork \
        --nopidfile >>"$server_folder/dbus.log" 2>&1 &
      server_bus_pid=$!
      server_bus="unix:path=$server_folder/runtime/bus"
      server_env=(PULSE_SERVER="unix:$server_folder/runtime/pulse/native"
        PULSE_CLIENTCONFIG="$server_folder/client.conf" XDG_RUNTIME_DIR="$server_folder/runtime"
        DBUS_SESSION_BUS_ADDRESS="$server_bus")
      ;;
    *)
      echo "server_start: unknown kind $server_kind" >&2
      return 2
      ;;
  esac
  server_start_again
}

server_start_again() {
  local _
  server_pids=()
  case $server_kind in
    pulseaudio)
      server_run server.log pulseaudio -n --daemonize=no --use-pid-file=no --exit-idle-time=-1 \
        --log-target=stderr -L "module-null-sink sink_name=lesson rate=48000" \
        -L "module-native-protocol-unix socket=$server_folder/runtime/native auth-anonymous=1"
      ;;
    pipewire)
      # Each server answers before the next one, which connects to it, starts: a socket left
      # by a killed PipeWire is there before the new one listens on it.
      server_wait "the session bus" 100 env DBUS_SESSION_BUS_ADDRESS="$server_bus" dbus-send \
        --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.GetId ||
        return 1
      server_run server.log pipewire
      server_wait PipeWire 300 server_pw pw-cli info 0 || return 1
      server_run wireplumber.log wireplumber
      server_wait WirePlumber 300 server_has_wireplumber || return 1
      server_run pulse.log pipewire-pulse
      ;;
  esac
  server_wait "the $server_kind pulse server" 300 server_pactl info || return 1
  if [ $server_kind = pipewire ]; then
    server_pactl load-module module-null-sink sink_name=lesson >/dev/null || return 1
  fi
  # The sink is the default output once the server (or WirePlumber) says so.
  for _ in $(seq 100); do
    if [ "$(server_pactl get-default-sink 2>/dev/null)" = lesson ]; then
      if [ "$server_awake" = 1 ] && [ "$server_kind" = pulseaudio ]; then
        server_pactl_background parec -d lesson.monitor --latency-msec=5 --raw >/dev/null
        # Ready once what the sink rendered ahead while idle has played out.
        for _ in $(seq 50); do
          server_pactl list sinks | awk '/^[[:space:]]*Latency:/ { exit !($2 < 50000) }' && break
          sleep 0.1
        done
      fi
      return 0
    fi
    sleep 0.1
  done
  echo "server_start: no default sink on $server_kind; its log:" >&2
  tail -n 20 "$server_folder"/*.log >&2
  return 1
}

server_pid() { echo "${server_pids[0]}"; }

server_kill() { # [SIGNAL]
  local pid
  for pid in "${server_pids[@]}"; do kill "-${1:-TERM}" "$pid" 2>/dev/null || true; done
  for pid in "${server_pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  server_pids=()
  if [ -n "$server_awake_pid" ]; then
    kill "$server_awake_pid" 2>/dev/null || true
    wait "$server_awake_pid" 2>/dev/null || true
    server_awake_pid=
  fi
}

server_stop() {
  server_kill TERM
  if [ -n "$server_bus_pid" ]; then
    kill "$server_bus_pid" 2>/dev/null || true
    wait "$server_bus_pid" 2>/dev/null || true
    server_bus_pid=
  fi
}
