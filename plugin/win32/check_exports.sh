#!/usr/bin/env bash
# Checks the built i686 DLL against the host's expectations.
#   check_exports.sh names DLL DEF PROTOTYPES_CPP
#     The decorated names that clang gives the host's prototypes (MSVC, i686)
#     are exactly those of the .def; the DLL exports the .def's 22 names and
#     no other, each decorated name on the address of its plain twin.
#   check_exports.sh imports DLL LIST
#     The DLL imports no MinGW runtime DLL (the runtime is linked in), and
#     exactly the functions of LIST (lines "DLL FUNCTION REASON...", each with
#     a reason; "#" starts a comment): a new import or one gone fails.
#   check_exports.sh pe DLL VERSION
#     ASLR (dynamic base) and DEP (NX compatible) are on, no section is both
#     writable and executable, and the version resource holds VERSION.
set -euo pipefail

fail() { echo "FAIL: $*" >&2; exit 1; }

check_names() {
  local dll=$1 def=$2 prototypes=$3
  local work
  work=$(mktemp -d)
  trap 'rm -rf "$work"' RETURN

  # Decorated names from the prototypes, as MSVC would form them.
  clang++ --target=i686-pc-windows-msvc -std=c++20 -S -o "$work/prototypes.s" "$prototypes"
  sed -n 's/^[[:space:]]*\.long[[:space:]]*"\(?[^"]*\)"$/\1/p' "$work/prototypes.s" |
    sort >"$work/clang.txt"
  [[ $(wc -l <"$work/clang.txt") -eq 11 ]] || fail "clang gave $(wc -l <"$work/clang.txt") names, not 11"
  while read -r name; do
    [[ $(llvm-undname "$name") == *__cdecl* ]] || fail "llvm-undname cannot read $name"
  done <"$work/clang.txt"

  # The .def: "DECORATED" = PLAIN, PLAIN = PLAIN2, or PLAIN alone.
  awk '
    /^[[:space:]]*(;|$)/ || /^(LIBRARY|EXPORTS)/ { next }
    { gsub(/"/, ""); if ($2 == "=") print $1, $3; else print $1, $1 }
  ' "$def" | sort >"$work/def.txt"
  [[ $(wc -l <"$work/def.txt") -eq 22 ]] || fail ".def lists $(wc -l <"$work/def.txt") names, not 22"
  grep '^?' "$work/def.txt" | cut -d' ' -f1 | sort >"$work/def_decorated.txt"
  diff -u "$work/clang.txt" "$work/def_decorated.txt" ||
    fail "decorated names of the .def differ from clang's"

  # The export table: ordinal index -> RVA, and name -> ordinal index.
  i686-w64-mingw32-objdump -p "$dll" >"$work/dump.txt"
  grep -q 'file format pei-i386' "$work/dump.txt" || fail "$dll is not an i686 DLL"
  awk '/^Export Address Table -- Ordinal Base/ { on = 1; next }
       on && /Export RVA/ { gsub(/[][+]/, " "); print $1, $4; next }
       on && NF == 0 { on = 0 }' "$work/dump.txt" | sort >"$work/rva.txt"
  awk '/^\[Ordinal\/Name Pointer\] Table/ { on = 1; next }
       on && NF == 0 { on = 0 }
       on { gsub(/[][]/, " "); print $2, $1 }' "$work/dump.txt" | sort >"$work/names.txt"
  cut -d' ' -f1 "$work/def.txt" >"$work/def_names.txt"
  cut -d' ' -f1 "$work/names.txt" >"$work/dll_names.txt"
  diff -u "$work/def_names.txt" "$work/dll_names.txt" ||
    fail "the DLL's exported names differ from the .def"

  rva_of() {
    local index
    index=$(awk -v n="$1" '$1 == n { print $2 }' "$work/names.txt")
    awk -v i="$index" '$1 == i { print $2 }' "$work/rva.txt"
  }
  local name target a b
  while read -r name target; do
    a=$(rva_of "$name")
    b=$(rva_of "$target")
    [[ -n $a && $a == "$b" ]] || fail "$name is at '$a', $target at '$b'"
  done <"$work/def.txt"
  echo "22 names, each on the address of its plain twin"
}

# "dll function" per import of the DLL, the DLL's name in lower case.
imported_functions() {
  i686-w64-mingw32-objdump -p "$1" | awk '
    /^[[:space:]]*DLL Name:/ { dll = tolower($3); next }
    /^[[:space:]]*vma:/ { next }
    dll && /^\t[0-9a-f]+\t +[0-9]+ +[^ ]+$/ { print dll, $NF; next }
    NF == 0 { dll = "" }' | sort -u
}

check_imports() {
  local dll=$1 list=$2 imports
  imports=$(i686-w64-mingw32-objdump -p "$dll" | sed -n 's/^[[:space:]]*DLL Name: //p')
  echo "imports: $(echo $imports)"
  if grep -Ei 'libgcc|libstdc\+\+|libwinpthread|mingw' <<<"$imports" >/dev/null; then
    fail "the DLL imports a MinGW runtime DLL"
  fi
  local unexplained
  unexplained=$(awk '!/^[[:space:]]*(#|$)/ && NF < 3 { print FILENAME ":" FNR ": " $0 }' "$list")
  [[ -z $unexplained ]] || fail "imports without a reason: $unexplained"
  local actual listed
  actual=$(imported_functions "$dll")
  listed=$(awk '!/^[[:space:]]*(#|$)/ { print tolower($1), $2 }' "$list" | sort -u)
  local new gone
  new=$(comm -23 <(echo "$actual") <(echo "$listed"))
  gone=$(comm -13 <(echo "$actual") <(echo "$listed"))
  [[ -z $new ]] || echo "imported, not in $list (add each with the reason it is needed):"$'\n'"$new" >&2
  [[ -z $gone ]] || echo "in $list, no longer imported (take it out):"$'\n'"$gone" >&2
  [[ -z $new && -z $gone ]] || fail "the DLL's imports differ from $list"
  echo "$(wc -l <<<"$actual") imports, each in the reviewed list"
}

check_pe() {
  local dll=$1 version=$2 dump
  dump=$(i686-w64-mingw32-objdump -p "$dll")
  grep -q 'DYNAMIC_BASE' <<<"$dump" || fail "$dll is not marked for ASLR (dynamic base)"
  grep -q 'NX_COMPAT' <<<"$dump" || fail "$dll is not marked NX compatible (DEP)"
  # objdump marks a section that cannot be written READONLY; CODE is executable.
  local both
  both=$(i686-w64-mingw32-objdump -h "$dll" | awk '
    /^ *[0-9]+ / { name = $2; next }
    /CODE/ && !/READONLY/ { print name }')
  [[ -z $both ]] || fail "sections both writable and executable: $both"
  local resource
  resource=$(strings -el "$dll" | grep -A1 -xE 'FileVersion|ProductVersion' | grep -vxE 'FileVersion|ProductVersion|--')
  [[ $(grep -cx "$version.0" <<<"$resource") -eq 2 ]] ||
    fail "the version resource holds '$(echo $resource)', not $version.0"
  echo "ASLR and DEP on, no writable code, version $version.0"
}

case ${1:-} in
  names) check_names "$2" "$3" "$4" ;;
  imports) check_imports "$2" "$3" ;;
  pe) check_pe "$2" "$3" ;;
  *) echo "usage: $0 names DLL DEF PROTOTYPES_CPP | imports DLL LIST | pe DLL VERSION" >&2; exit 2 ;;
esac
