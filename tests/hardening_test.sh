#!/bin/sh
# Reads the built program and checks that it was built hardened:
# position-independent, relocations read-only and bound at start (full
# RELRO), stack protector, and _FORTIFY_SOURCE with optimisation.
# Usage: hardening_test.sh PROGRAM
set -u
program=$1
failed=0
check() {
    if eval "$2"; then echo "ok: $1"; else echo "FAIL: $1"; failed=1; fi
}
macros=$(readelf --debug-dump=macro "$program" 2>/dev/null)
defined() { printf '%s\n' "$macros" | grep -q "DW_MACRO_define[_a-z]* - lineno : 0 macro : $1"; }

check "position-independent executable" \
    "readelf -h '$program' | grep -q 'Type: *DYN (Position-Independent Executable'"
check "read-only relocations (GNU_RELRO)" "readelf -lW '$program' | grep -q GNU_RELRO"
check "bound at start (BIND_NOW)" "readelf -d '$program' | grep -Eq 'BIND_NOW|FLAGS_1.*NOW'"
check "stack protector (strong) in use" \
    "readelf --dyn-syms -W '$program' | grep -q __stack_chk_fail && defined '__SSP_STRONG__'"
check "_FORTIFY_SOURCE with optimisation" "defined '_FORTIFY_SOURCE [23]' && defined '__OPTIMIZE__'"
[ "$failed" -eq 0 ] && echo "PASS (hardening)"
exit "$failed"
