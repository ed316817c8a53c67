#!/usr/bin/env bash
# Sets up and builds the workstation, then starts it on the bundled demo
# tests with a demo profile of its own and a simulated instrument unit
# attached, so "Он-лайн" shows a live test without hardware.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/setup.sh
bash scripts/build.sh

demo="$root/build/demo"
tests="$demo/tests"
profile="$demo/profile"
mkdir -p "$tests" "$profile/Veltrask"
if [ -x build/bin/lekta_make_samples ]; then
  build/bin/lekta_make_samples --demo "$tests" >/dev/null
fi

# The demo profile: settings that point at the demo tests, and the simulated
# unit as an extra port for the port-lookup library.
conf="$profile/Veltrask/LEKTA.conf"
if [ ! -f "$conf" ]; then
  cat > "$conf" <<CONF
[1.0]
WorkDir=$tests/
Default_dir=$demo
Color_F=255
Color_Ft=16711680
CONF
fi
unit_link="$demo/unit"
echo "$unit_link" > "$profile/Veltrask/getnumcom.conf"

sim_pid=""
if [ -x build/bin/lekta_unit_sim ]; then
  build/bin/lekta_unit_sim --link "$unit_link" --type Y >/dev/null 2>"$demo/unit.log" &
  sim_pid=$!
fi
cleanup() { [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null || true; }
trap cleanup EXIT

export XDG_CONFIG_HOME="$profile"
cd "$demo"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: starting on a virtual screen (xvfb-run)."
  xvfb-run -a -s "-screen 0 1600x900x24" "$root/build/bin/lekta"
else
  "$root/build/bin/lekta"
fi
