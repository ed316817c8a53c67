# Shared by the installation checks (sourced): starting an installed copy of
# the program on sample tests and checking what it found.

fail() { echo "FAIL: $*" >&2; exit 1; }

need_file() { [ -f "$1" ] || fail "missing $1"; }

# Every picture the help page shows is there, relative to the page.
check_help_pictures() {
  local page=$1 dir src
  dir=$(dirname "$page")
  for src in $(grep -o '<img [^>]*src="[^"]*"' "$page" | sed 's/.*src="\([^"]*\)"/\1/'); do
    need_file "$dir/$src"
  done
}

# start_installed PREFIX_ROOT LIBRARY_DIR HELP_DIR SAMPLE_MAKER WORK
# Starts PREFIX_ROOT/bin/lekta offscreen, away from the build folder, with a
# demo profile whose WorkDir holds the sample tests, and checks that it
# loaded its library and help from PREFIX_ROOT and listed every test.
start_installed() {
  local root=$1 libdir=$2 helpdir=$3 samples=$4 work=$5
  mkdir -p "$work/tests" "$work/profile/Veltrask"
  "$samples" --demo "$work/tests" >/dev/null
  local count
  count=$(find "$work/tests" -maxdepth 1 -iname '*.bmd' | wc -l)
  [ "$count" -gt 0 ] || fail "no sample tests"
  printf '[1.0]\nWorkDir=%s/\nDefault_dir=%s\n' "$work/tests" "$work" >"$work/profile/Veltrask/LEKTA.conf"

  echo "== starting $root/bin/lekta on $count sample tests"
  local out
  out=$(cd "$work" && env -u LD_LIBRARY_PATH QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/profile" \
        XDG_RUNTIME_DIR="$work" LEKTA_QUIT_AFTER_START=1 timeout 90 "$root/bin/lekta" 2>"$work/stderr") || {
    cat "$work/stderr" >&2
    fail "the installed program did not start and quit by itself (a message box waiting?): $out"
  }
  echo "$out"
  local expected
  expected=$(printf 'port library: %s\nhelp: %s\ncatalogue rows: %s' \
             "$root/$libdir/libgetnumcom.so" "$root/$helpdir/index.html" "$count")
  [ "$out" = "$expected" ] || fail "expected:
$expected"
}
