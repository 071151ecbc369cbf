#!/usr/bin/env bash
# Fails when a source file includes a folder above its own: each layer may
# include its own folder and those of lower layers only. A test (*_test.cpp)
# may also include the fakes and fixtures of testing/. Prints file:line of
# every upward include. The layers, lowest first, as in README's layout table.
# Usage: scripts/check-layers.sh [repository]
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}

# folder rank; a longer folder wins over its parent.
layers='
resources 0
platform 1
engine 2
results 3
display 4
setup 5
plugin 6
report 6
testing 7
readers 8
replay 9
bench 12
fuzz 10
tools 10
check 10
robot 11
'

cd "$root"
find . -path './.*' -prune -o -path './build*' -prune -o \( -name '*.cpp' -o -name '*.h' \) -print |
  sed 's#^\./##' | sort | awk -v layers="$layers" '
  BEGIN {
    n = split(layers, rows, "\n")
    for (i = 1; i <= n; i++)
      if (split(rows[i], f, " ") == 2) rank[f[1]] = f[2]
  }
  # The rank of a path: its longest folder prefix that has one, else -1.
  function rank_of(path,    best, len, dir) {
    best = -1; len = 0
    for (dir in rank)
      if (index(path, dir "/") == 1 && length(dir) > len) {
        best = rank[dir]; len = length(dir)
      }
    return best
  }
  {
    file = $0; own = rank_of(file); line_no = 0
    if (own < 0) {
      # Sources outside every layer escape the check: a new folder must be ranked.
      if (file ~ /\//) { printf "%s: its folder has no layer\n", file; bad++ }
      next
    }
    is_test = file ~ /_test\.cpp$/
    while ((getline text < file) > 0) {
      line_no++
      if (text !~ /^[ \t]*#[ \t]*include[ \t]*"/) continue
      target = text
      sub(/^[^"]*"/, "", target); sub(/".*$/, "", target)
      if (index(target, "/") == 0) continue          # beside the file
      their = rank_of(target)
      if (their < 0) {
        printf "%s:%d: includes %s, which is in no layer\n", file, line_no, target
        bad++
        continue
      }
      if (their <= own) continue
      if (is_test && index(target, "testing/") == 1) continue
      printf "%s:%d: includes %s, a layer above its own\n", file, line_no, target
      bad++
    }
    close(file)
  }
  END {
    if (bad) { printf "%d include(s) against the layers\n", bad > "/dev/stderr"; exit 1 }
  }'
