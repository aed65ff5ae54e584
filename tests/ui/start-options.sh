#!/usr/bin/env bash
# The options zanfeld takes on its command line: --version and --help print
# and leave, a wrong --lang or an unknown option is refused with status 2,
# naming the option, and --self-check reports (0 or 1) even where no display
# can be reached.
set -u
zanfeld=$1
fail=0

out=$("$zanfeld" --version 2>&1); status=$?
if [ $status -ne 0 ] || ! grep -qx 'zanfeld [0-9][0-9.]*' <<<"$out"; then
    echo "--version: status $status, printed: $out"; fail=1
fi
out=$("$zanfeld" --help 2>&1); status=$?
if [ $status -ne 0 ] || ! grep -q -- '--lang zh|en' <<<"$out"; then
    echo "--help: status $status, printed: $out"; fail=1
fi
for bad in "--lang fr" "--lang=xx" "--lang"; do
    # shellcheck disable=SC2086
    out=$("$zanfeld" $bad 2>&1 </dev/null); status=$?
    if [ $status -ne 2 ] || ! grep -q -- "--lang" <<<"$out"; then
        echo "$bad: status $status, printed: $out"; fail=1
    fi
done
out=$("$zanfeld" --no-such-option 2>&1 </dev/null); status=$?
if [ $status -ne 2 ] || ! grep -q -- "--no-such-option" <<<"$out"; then
    echo "--no-such-option: status $status, printed: $out"; fail=1
fi
for display in "" ":97"; do
    out=$(env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY DISPLAY="$display" \
        "$zanfeld" --self-check 2>/dev/null); status=$?
    if [ $status -gt 1 ] || ! grep -q "^ok" <<<"$out"; then
        echo "--self-check with DISPLAY='$display': status $status, printed: $out"; fail=1
    fi
done
exit $fail
