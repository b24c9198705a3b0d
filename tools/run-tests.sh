#!/bin/sh
# Runs every test under virtual displays. Where this machine runs 32-bit programs, the x86 tree
# runs at the same time as the x64 tree: each has its own prefix (so its own wineserver) and its
# own X server (so no window of one takes the focus from the other), and both spend most of their
# time waiting for Wine. Inside each tree two test programs run at a time, one in each of the
# tree's two prefixes (tests/tests.cmake). The x86 log is printed first, then the x64 one, so that CTest's summary
# of the x64 tree is the last thing printed.
set -u
build=$1
status=0
x86=""
if sh tools/can-run-x86.sh; then
    xvfb-run -a ctest --test-dir "$build/x86" -j 2 --output-on-failure > "$build/x86-tests.log" 2>&1 &
    x86=$!
    sleep 5  # xvfb-run -a picks the first free display: let the first one take its own
fi
xvfb-run -a ctest --test-dir "$build/x64" -j 2 --output-on-failure > "$build/x64-tests.log" 2>&1 || status=1
if [ -n "$x86" ]; then
    wait "$x86" || status=1
    cat "$build/x86-tests.log"
else
    echo "x86: built; its tests cannot run here (this kernel runs no 32-bit programs: ia32 emulation is off)"
fi
cat "$build/x64-tests.log"
exit $status
