#!/usr/bin/env bash
# The bash completion, sourced as bash-completion does and asked as the shell asks at a Tab:
# options from the program's --help (and from its own list when the program cannot be run),
# file names for INPUT, OUTPUT and the option arguments that take a file.
#   bash_completion_test.sh COMPLETION_FILE QEL2BR
set -uo pipefail
completion=$1
program=$(realpath "$2")
# shellcheck source=/dev/null
source "$completion" || { echo "sourcing $completion failed"; exit 1; }
[[ "$(complete -p qel2br)" == "complete -F _qel2br qel2br" ]] ||
  { echo "not registered for qel2br: $(complete -p qel2br 2>&1)"; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
mkdir sub
touch platform.inp plan.txt groups.txt

failed=0
passed=0
# expect WANTED WORD...: completes the last word of the command line WORD... (the first is the
# program) and compares the sorted replies, joined by blanks, with WANTED.
expect() {
  local wanted=$1
  shift
  COMP_WORDS=("$@")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMP_LINE="$*"
  COMP_POINT=${#COMP_LINE}
  COMPREPLY=()
  _qel2br
  local got
  got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd' ')
  if [[ "$got" == "$wanted" ]]; then
    passed=$((passed + 1))
  else
    echo "completing '$*': wanted '$wanted', got '$got'"
    failed=$((failed + 1))
  fi
}

for p in "$program" "$work/no-such-qel2br"; do
  expect "--groups" "$p" --gr
  expect "--groups" "$p" platform.inp out.txt --gr
  expect "--elements" "$p" --el
  expect "--report" "$p" --re
  expect "--check" "$p" --ch
  expect "groups.txt" "$p" platform.inp out.txt --groups gr
  expect "plan.txt platform.inp" "$p" --check pla
  expect "plan.txt platform.inp" "$p" platform.inp pla
  expect "sub" "$p" platform.inp out.txt --report su
  # After an option without an argument: file names again.
  expect "plan.txt platform.inp" "$p" --quiet pl
done
# Every option --help shows is offered for a lone "-".
mapfile -t shown < <("$program" --help | grep -oE '^  (-[a-z], )?--[a-z][-a-z]*' | grep -oE -- '--[a-z][-a-z]*' | sort)
COMP_WORDS=("$program" -)
COMP_CWORD=1
_qel2br
for option in "${shown[@]}"; do
  if printf '%s\n' "${COMPREPLY[@]}" | grep -qx -- "$option"; then
    passed=$((passed + 1))
  else
    echo "'$option' of --help is not offered after '-'"
    failed=$((failed + 1))
  fi
done
((${#shown[@]} >= 5)) || { echo "--help shows only ${#shown[@]} options"; failed=$((failed + 1)); }

echo "$passed passed, $failed failed"
((failed == 0))
