# How the shell tests say what they found: one line per check and, at the
# end, "N passed, N failed" (checks_done). Sourced by tests/ds/*.sh and
# tests/package/test_package.sh.

passed=0
failed=0

ok() {
    passed=$((passed + 1))
    printf 'ok    %s\n' "$1"
}

# bad NAME [FILE]: a failed check, with the file that tells why.
bad() {
    failed=$((failed + 1))
    printf 'FAIL  %s\n' "$1"
    if [ -n "${2:-}" ] && [ -f "$2" ]; then sed 's/^/      | /' "$2"; fi
}

# check NAME FILE-TO-SHOW-ON-FAILURE COMMAND...
check() {
    name=$1 show=$2
    shift 2
    if "$@"; then ok "$name"; else bad "$name" "$show"; fi
}

has() { grep -q -e "$2" -- "$1"; }
lacks() { ! grep -q -e "$2" -- "$1"; }
is() { [ "$1" = "$2" ]; }
isnt() { [ "$1" != "$2" ]; }

checks_done() {
    echo "$passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}
