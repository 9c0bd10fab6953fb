#!/usr/bin/env bash
# Runs a Windows program under Wine on a virtual X display of its own and exits with the
# program's exit code.
#
#   run_under_wine.sh --prefix DIR [--timeout SECONDS] PROGRAM.exe [ARGUMENT...]
#
# The Wine prefix DIR is made once (wineboot) and reused by later runs. Arguments that are
# absolute Linux paths are handed to the program as paths of Wine's drive Z:, which maps the
# Linux root. The display is an Xvfb started on a free display number and stopped at the end,
# after every Wine process of the prefix has ended. A run that does not end within the time
# limit is killed and fails.
set -uo pipefail

prefix=""
limit=120
while [ $# -gt 0 ]; do
  case "$1" in
    --prefix) prefix="$2"; shift 2 ;;
    --timeout) limit="$2"; shift 2 ;;
    --) shift; break ;;
    *) break ;;
  esac
done
if [ -z "$prefix" ] || [ $# -lt 1 ]; then
  echo "usage: run_under_wine.sh --prefix DIR [--timeout SECONDS] PROGRAM.exe [ARGUMENT...]" >&2
  exit 2
fi

export WINEPREFIX="$prefix"
export WINEARCH=win32
export WINEDEBUG=-all
# No .NET or HTML engine installers, no desktop menu entries: the tests need none of them.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset WINELOADER WINESERVER

say() { echo "run_under_wine: $*" >&2; }

xvfb_pid=""
display_number=""

stop_everything() {
  if [ -n "$xvfb_pid" ]; then
    # Wine's processes must be gone before their display goes away.
    timeout 30 wineserver -w >/dev/null 2>&1 || wineserver -k >/dev/null 2>&1
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=""
  fi
}
trap stop_everything EXIT
trap 'exit 130' INT TERM

# Wine's loader and server are 32-bit programs; a kernel that runs none of them makes every
# later step fail in obscure ways, so say it plainly.
if ! wine --version >/dev/null 2>&1; then
  say "wine does not start on this machine: $(wine --version 2>&1 | head -n 1)"
  say "a kernel without 32-bit program support needs scripts/i386-emulation first (scripts/setup runs it)"
  exit 1
fi

display_taken() {
  [ -e "/tmp/.X11-unix/X$1" ] || [ -e "/tmp/.X$1-lock" ]
}

display_ready() {
  if command -v xdpyinfo >/dev/null 2>&1; then
    xdpyinfo -display ":$1" >/dev/null 2>&1
  else
    [ -S "/tmp/.X11-unix/X$1" ]
  fi
}

# Starts Xvfb on the first free display number from a random start, so that runs side by
# side do not meet; gives up after a few numbers.
start_display() {
  local number=$((100 + RANDOM % 400)) attempt waited
  for attempt in 1 2 3 4 5 6 7 8; do
    number=$((number + 1))
    display_taken "$number" && continue
    Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
    xvfb_pid=$!
    for waited in $(seq 1 100); do
      if display_ready "$number"; then
        display_number=$number
        return 0
      fi
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=""
  done
  return 1
}

# Makes the prefix once. Runs that share it wait for each other while it is being made.
prepare_prefix() {
  mkdir -p "$(dirname "$prefix")"
  (
    flock 9
    if [ ! -f "$prefix/system.reg" ]; then
      say "making the Wine prefix $prefix"
      timeout 300 wineboot -i >"$prefix.boot.log" 2>&1 &&
        timeout 120 wineserver -w
      if [ ! -f "$prefix/system.reg" ]; then
        say "wineboot could not make the prefix; its output:"
        tail -n 20 "$prefix.boot.log" >&2
        exit 1
      fi
    fi
  ) 9>"$prefix.lock"
}

# Absolute Linux paths become paths of drive Z:. A switch such as /c holds no second slash
# and stays as it is.
windows_arguments=()
for argument in "$@"; do
  case "$argument" in
    /*/*) windows_arguments+=("Z:$(printf '%s' "$argument" | tr '/' '\\')") ;;
    *) windows_arguments+=("$argument") ;;
  esac
done

if ! start_display; then
  say "no X display could be started"
  exit 1
fi
export DISPLAY=":$display_number"
prepare_prefix || exit 1

started=$(date +%s)
timeout -k 10 "$limit" wine "${windows_arguments[@]}"
status=$?
if [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
  say "the program did not end within $limit seconds and was killed"
  wineserver -k >/dev/null 2>&1
  status=124
fi
say "exit code $status after $(( $(date +%s) - started )) s"
exit "$status"
