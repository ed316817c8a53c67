#!/usr/bin/env bash
# Runs a test program on a virtual X display under a real window manager
# (Xvfb and openbox), on the X11 platform whatever QT_QPA_PLATFORM says.
# Exit 77 (skipped) when any of the three tools is missing.
#
#   run_under_wm.sh PROGRAM [ARGS...]
set -u
for tool in Xvfb openbox xprop; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "skipped: $tool is not installed (scripts/setup.sh installs xvfb, openbox and x11-utils)"
    exit 77
  fi
done

scratch=$(mktemp -d)
xvfb=""
wm=""
cleanup() {
  [ -n "$wm" ] && kill "$wm" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT

# Xvfb picks a free display and writes its number once it accepts clients.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$scratch/display" >"$scratch/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 200); do
  [ -s "$scratch/display" ] && break
  kill -0 "$xvfb" 2>/dev/null || break
  sleep 0.05
done
if [ ! -s "$scratch/display" ]; then
  echo "Xvfb did not start:"; cat "$scratch/xvfb.log"
  exit 1
fi
export DISPLAY=":$(head -n1 "$scratch/display")"

# openbox with its system configuration only, and no session manager.
HOME="$scratch" XDG_CONFIG_HOME="$scratch/config" openbox --sm-disable >"$scratch/openbox.log" 2>&1 &
wm=$!
ready=""
for _ in $(seq 200); do
  if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
    ready=1
    break
  fi
  kill -0 "$wm" 2>/dev/null || break
  sleep 0.05
done
if [ -z "$ready" ]; then
  echo "openbox did not start:"; cat "$scratch/openbox.log"
  exit 1
fi

QT_QPA_PLATFORM=xcb "$@"
