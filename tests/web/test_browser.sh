#!/bin/sh
# The exported sample in the system's chromium, headless, driven by
# puppeteer-core (installed into the build folder from the pinned
# package.json and package-lock.json). Skipped (77) without chromium, node
# and npm, or without the web engine.
#   test_browser.sh STUDIO SAMPLE.lvk WORK [SCREENSHOT]
set -e
studio=$1 sample=$2 work=$3
screenshot=${4:-$work/page.png}
here=$(cd "$(dirname "$0")" && pwd)
chromium=$(command -v chromium || command -v chromium-browser || true)
[ -n "$chromium" ] || { echo "chromium is not installed: skipped"; exit 77; }
command -v node >/dev/null 2>&1 && command -v npm >/dev/null 2>&1 || { echo "node or npm is not installed: skipped"; exit 77; }
mkdir -p "$work"
# The page first: a program built without the web engine says so (status 3).
status=0
"$studio" --export-web "$sample" --output "$work/Sample.html" 2>"$work/export.err" || status=$?
cat "$work/export.err"
if grep -q "without the web engine" "$work/export.err"; then
  echo "this build has no web engine: skipped"; exit 77
fi
[ "$status" -eq 0 ] || { echo "--export-web ended with $status"; exit 1; }
# The driver, once per lock file.
if ! cmp -s "$here/package-lock.json" "$work/package-lock.json" || [ ! -d "$work/node_modules/puppeteer-core" ]; then
  cp "$here/package.json" "$here/package-lock.json" "$work/"
  (cd "$work" && npm ci --no-audit --no-fund --ignore-scripts --loglevel=error)
fi
cp "$here/browser.mjs" "$work/"
node "$work/browser.mjs" "$work/Sample.html" "$chromium" "$screenshot"
