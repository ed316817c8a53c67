#!/usr/bin/env bash
# The checks the tools keep, one at a time or all in turn:
#
#   bash scripts/check.sh includes   no folder includes one later in the order below
#   bash scripts/check.sh format     every source as .clang-format writes it
#   bash scripts/check.sh cppcheck   cppcheck finds nothing (warnings, style, performance)
#   bash scripts/check.sh tidy       the clang-tidy checks of .clang-tidy find nothing
#                                    (needs build/compile_commands.json: scripts/build.sh)
#   bash scripts/check.sh all        all four
#
# A check that finds something prints what and where, and fails.
set -euo pipefail
cd "$(dirname "$0")/.."

# The source folders in the order of docs/architecture.md, bottom first: a
# folder includes its own headers and those of the folders before it, never
# one after it. A folder of src/ that is not listed fails the check.
folder_order=(
  common
  testfile
  analysis
  ui
  chart
  app
  online
  graph
  series
  output
  main
)

# What the format, cppcheck and clang-tidy checks read.
code_dirs=(src tests bench tools getnumcom)
lint_dirs=(src tools getnumcom)

sources() {
  git ls-files -- "$@" | grep -E '\.(cpp|h)$'
}

check_includes() {
  echo "== include order"
  declare -A rank
  local i
  for i in "${!folder_order[@]}"; do
    rank[${folder_order[$i]}]=$i
  done
  local bad=0 dir folder file line target
  for dir in src/*/; do
    folder=$(basename "$dir")
    if [ -z "${rank[$folder]+x}" ]; then
      echo "src/$folder/ is not in the folder order (scripts/check.sh, docs/architecture.md)"
      bad=1
      continue
    fi
    while IFS= read -r line; do
      file=${line%%:*}
      target=$(sed -E 's/^[^:]*:[0-9]+:[[:space:]]*#[[:space:]]*include[[:space:]]+"([^/"]+)\/.*/\1/' <<<"$line")
      [ -n "${rank[$target]+x}" ] || continue
      if [ "${rank[$target]}" -gt "${rank[$folder]}" ]; then
        echo "$(cut -d: -f1,2 <<<"$line"): $folder/ includes $target/, which comes after it"
        bad=1
      fi
    done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]+"[^/"]+/' "$dir"*.cpp "$dir"*.h 2>/dev/null || true)
  done
  [ $bad -eq 0 ] && echo "every folder includes only itself and the folders before it"
  return $bad
}

check_format() {
  echo "== format (.clang-format)"
  mapfile -t files < <(sources "${code_dirs[@]}")
  clang-format --dry-run -Werror "${files[@]}"
  echo "${#files[@]} files as .clang-format writes them"
}

check_cppcheck() {
  echo "== cppcheck"
  mapfile -t files < <(sources "${lint_dirs[@]}" | grep -E '\.cpp$')
  # useStlAlgorithm: a taste, not a fault. The curve analysis reads its
  # fit's last point through std::optional, which cppcheck does not follow.
  cppcheck -q --std=c++20 --language=c++ --library=qt -I src -I tools \
           --enable=warning,style,performance,portability --inline-suppr \
           --suppress=missingIncludeSystem --suppress=useStlAlgorithm \
           --suppress=unusedStructMember:src/analysis/curve_analysis.cpp \
           --error-exitcode=1 -j"$(nproc)" \
           --template='{file}:{line}: {severity} ({id}): {message}' "${files[@]}"
  echo "${#files[@]} files, nothing found"
}

check_tidy() {
  echo "== clang-tidy (.clang-tidy)"
  if [ ! -f build/compile_commands.json ]; then
    echo "build/compile_commands.json is missing: run scripts/build.sh first"
    return 1
  fi
  mapfile -t files < <(sources "${lint_dirs[@]}" | grep -E '\.cpp$')
  local tidy=clang-tidy
  command -v clang-tidy-14 >/dev/null && tidy=clang-tidy-14
  # -Wshadow: a name that hides another in an enclosing scope.
  printf '%s\n' "${files[@]}" |
    xargs -P"$(nproc)" -n4 "$tidy" -p build --quiet --extra-arg=-Wshadow 2>/dev/null
  echo "${#files[@]} files, nothing found"
}

what=${1:-all}
case "$what" in
  includes) check_includes ;;
  format) check_format ;;
  cppcheck) check_cppcheck ;;
  tidy) check_tidy ;;
  all)
    failed=0
    for c in check_includes check_format check_cppcheck check_tidy; do
      $c || failed=1
    done
    exit $failed
    ;;
  *) echo "usage: $0 [includes|format|cppcheck|tidy|all]" >&2; exit 2 ;;
esac
