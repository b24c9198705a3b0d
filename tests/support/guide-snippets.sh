#!/bin/sh
# Runs the VBScript and JScript snippets of the usage guide, so that the guide cannot drift from
# what the library does: each block marked "<!-- snippet: run by the test command -->" is written
# to a script of its own, which must run to its end in cscript (run-example.sh).
# usage: guide-snippets.sh <wine loader> <usage.md> <work folder>
set -eu
loader=$1
guide=$2
work=$3
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$work"
mkdir -p "$work"
python3 - "$guide" "$work" <<'PY'
import re, sys
guide, work = sys.argv[1:]
text = open(guide, encoding="utf-8").read()
blocks = re.findall(r"<!-- snippet: run by the test command -->\n```(vb|js)\n(.*?)```", text, re.S)
if not blocks:
    sys.exit("no marked snippets in " + guide)
for n, (kind, body) in enumerate(blocks, 1):
    ext, done = {"vb": ("vbs", 'WScript.Echo "All done."'), "js": ("js", 'WScript.Echo("All done.");')}[kind]
    open("%s/snippet_%d.%s" % (work, n, ext), "w", encoding="utf-8").write(body + done + "\n")
PY
run=0
failed=0
for snippet in "$work"/snippet_*; do
    run=$((run + 1))
    sh "$here/run-example.sh" "$loader" "$snippet" "$work/out" > "$snippet.out" 2>&1 || true
    sed 's/^/    /' "$snippet.out"
    if grep -q '^All done\.' "$snippet.out"; then
        echo "ok   $(basename "$snippet")"
    else
        echo "FAIL $(basename "$snippet") did not run to its end"
        failed=$((failed + 1))
    fi
done
echo "snippets: $run run, $failed failed"
[ "$failed" = 0 ]
