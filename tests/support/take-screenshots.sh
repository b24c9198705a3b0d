#!/bin/sh
# Runs the Screenshot.* client tests inside a Wine desktop (which draws title bars, unlike the
# bare X display) and turns the windows they saved into PNG files for the documentation.
# usage: take-screenshots.sh <wine loader> <build folder> <images folder>
set -eu
loader=$1
build=$2
images=$3
cd "$build"
rm -rf screens
"$loader" explorer /desktop=kroshots,1024x768 client_tests.exe --gtest_filter='Screenshot.*' --gtest_brief=1 > screenshots.log 2>&1 || true
cat screenshots.log
# Every Screenshot test must have passed: "[  PASSED  ] 0 tests." alone is a failure too.
if grep -q '^\[  FAILED  \]' screenshots.log || ! grep -q '^\[  PASSED  \] [1-9]' screenshots.log; then
    echo "screenshot tests failed"
    exit 1
fi
mkdir -p "$images"
for f in screens/*.bmp; do
    [ -f "$f" ] || continue
    # Without dates in the file, an unchanged window gives an unchanged PNG.
    convert "$f" -strip -define png:exclude-chunks=date,time "$images/$(basename "$f" .bmp).png"
    echo "saved $images/$(basename "$f" .bmp).png"
done
