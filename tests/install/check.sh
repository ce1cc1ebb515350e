# Shared by the install tests: one line per check, failures counted.
failures=0
check() {  # check NAME EXPECTED ACTUAL
  [ "$2" = "$3" ] && echo "ok   $1" && return
  echo "FAIL $1: expected '$2', got '$3'" && failures=$((failures + 1))
}
# A table on standard input, "NAME|EXPECTED|COMMANDS" a row (# and blank lines skipped): what the
# commands print (what they change on disk stays for the next rows) against EXPECTED, expanded.
rows() {
  while IFS='|' read -r name expected commands; do
    case $name in '' | '#'*) continue ;; esac
    eval "expected=\"$expected\""
    check "$name" "$expected" "$(eval "$commands" </dev/null)"
  done
}
same() { cmp -s "$1" "$2" && echo same || echo differs; }
has() { [ -e "$1" ] || [ -L "$1" ] && echo yes || echo no; }
