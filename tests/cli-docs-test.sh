#!/usr/bin/env bash
# Every command and option that `penmorph-cli --help` names has its entry in the manual page
# and its word in the bash completion, so that neither falls behind the program.
#
#   cli-docs-test.sh PENMORPH-CLI MANUAL-SOURCE COMPLETION
set -euo pipefail
cli="$1" manual="$2" completion="$3"

usage="$("$cli" --help)"
commands="$(sed -n 's/^  penmorph-cli \([a-z][a-z-]*\).*/\1/p' <<<"$usage" | sort -u)"
options="$(grep -oE '(^|[ [|])--?[a-z][a-z-]*' <<<"$usage" | sed 's/^[ [|]//' | sort -u)"
[ -n "$commands" ] && [ -n "$options" ] || {
  echo "FAIL: no commands or options found in the usage:"
  echo "$usage"
  exit 1
}

# The manual's entries: the lines after each .TP, roff's escapes undone.
entries="$(sed 's/\\-/-/g' "$manual" | awk 'previous == ".TP" { print } { previous = $0 }')"
failures=0
for word in $commands $options; do
  if ! grep -qE -- "(^|[ ,])${word}([ ,\"]|$)" <<<"$entries"; then
    echo "FAIL: the manual has no entry for $word"
    failures=$((failures + 1))
  fi
  if ! grep -qE -- "[\" ]${word}[\" ]" "$completion"; then
    echo "FAIL: the completion does not offer $word"
    failures=$((failures + 1))
  fi
done
[ "$failures" -eq 0 ] || exit 1
echo "manual and completion cover:" $commands $options
