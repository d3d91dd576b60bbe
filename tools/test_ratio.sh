#!/usr/bin/env bash
# Prints how large the tests are against the code they test: non-blank lines
# that are not only a comment, of the C++, assembly, Python and shell files
# git tracks; tests are the files under tests/, code is everything else.
set -euo pipefail
cd "$(dirname "$0")/.."
git rev-parse --is-inside-work-tree >/dev/null

# Counted lines of the tracked source files whose path matches (or, with -v,
# does not match) the pattern.
count() {
  git ls-files -z | grep -zE '\.(cpp|cc|h|hpp|s|S|asm|inc|py|sh)$' | grep -z "$@" '^tests/' |
    xargs -0 -r awk 1 | grep -cvE '^\s*(//.*|;.*|#.*)?$' || true
}

tests=$(count -e)
code=$(count -v)
awk -v t="$tests" -v c="$code" 'BEGIN { printf "tests %d lines, code %d lines, ratio %.3f\n", t, c, c ? t / c : 0 }'
