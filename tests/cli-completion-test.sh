#!/usr/bin/env bash
# What bash completes after penmorph-cli: commands, each command's options, folders after
# --dest, settings and ini files after --settings and --ini, jw_cad files (any case) and folders
# for FILE. With a file argument it tries that completion script; without one, the one
# bash-completion finds for penmorph-cli (the installed one). Exits 77 (skipped) without
# bash-completion.
set -euo pipefail
script="${1:+$(realpath "$1")}"
[ -f /usr/share/bash-completion/bash_completion ] || {
  echo "bash-completion is not installed"
  exit 77
}

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir "a folder" drawings
touch plan.jww SYMBOL.JWK chair.jws old.jwc notes.txt pens.set penmorph.ini

# Completes LINE (the cursor at its end) in a fresh bash and prints the candidates sorted, one
# per line.
complete_line() {
  SCRIPT="$script" LINE="$1" bash -c '
    source /usr/share/bash-completion/bash_completion
    if [ -n "$SCRIPT" ]; then
      source "$SCRIPT" || exit 1
    else
      __load_completion penmorph-cli || exit 1
    fi
    spec=$(complete -p penmorph-cli) || exit 1
    # The words as readline splits them: at blanks, and "=" a word of its own.
    COMP_LINE=$LINE
    COMP_POINT=${#LINE}
    read -ra COMP_WORDS <<<"${LINE//=/ = }"
    [[ $LINE == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    function=${spec#*-F }
    "${function%% *}" penmorph-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD-1]}"
    printf "%s\n" "${COMPREPLY[@]}" | sort'
}

failures=0
expect() {
  local line="$1" expected="$2" got
  got="$(complete_line "$line" | paste -sd' ')" || {
    echo "FAIL: no completion for penmorph-cli"
    exit 1
  }
  if [ "$got" != "$expected" ]; then
    echo "FAIL: '$line' completes to '$got', expected '$expected'"
    failures=$((failures + 1))
  fi
}

expect "penmorph-cli " "--help --version check convert info inventory render survey"
expect "penmorph-cli in" "info inventory"
expect "penmorph-cli inf" "info"
expect "penmorph-cli convert --" "--dest --dry-run --help --ini --jobs --json --lang --recursive --settings --type"
expect "penmorph-cli inventory --" "--help --ini --json --lang --recursive --settings --type"
expect "penmorph-cli check --" "--help --ini --json --lang --recursive --settings --type"
expect "penmorph-cli render --" "--after --black --help --ini --lang --out --settings"
expect "penmorph-cli survey --" "--csv --help --json --lang --recursive --type"
expect "penmorph-cli convert -j " "1 2 4 8"
expect "penmorph-cli convert --type jw" "jwc jwc,jwk jwk jws jww jww,jws"
expect "penmorph-cli info --" "--help --lang"
expect "penmorph-cli check --lang " "en ja"
expect "penmorph-cli info --lang=j" "ja"
expect "penmorph-cli convert --dest " "a folder drawings"
expect "penmorph-cli convert --dest=dr" "drawings"
expect "penmorph-cli convert --settings " "a folder drawings pens.set"
expect "penmorph-cli convert --ini " "a folder drawings penmorph.ini"
expect "penmorph-cli convert --dest out " "SYMBOL.JWK a folder chair.jws drawings old.jwc plan.jww"
expect "penmorph-cli info pl" "plan.jww"
expect "penmorph-cli info -- " "SYMBOL.JWK a folder chair.jws drawings old.jwc plan.jww"
expect "penmorph-cli frobnicate " ""

[ "$failures" -eq 0 ] || exit 1
echo "completion: every case as expected"
