#!/bin/sh
# Lighthouse's mobile run (its default: a phone's screen, a slow network and
# processor simulated) of the game's page and the teacher's page, three runs
# each, in Debian's Chromium, the site served from 127.0.0.1 only. Prints
# each run's performance score and cumulative layout shift.
# Usage: bench/lighthouse.sh   (Lighthouse as bench/lighthouse/package-lock.json pins it)
set -eu
cd "$(dirname "$0")/.."
tools/setup.sh --web
cmake --preset web >/dev/null
cmake --build --preset web >/dev/null
# npm ci refuses this lock file (npm 11 counts one of its nested packages as
# missing); install keeps to it all the same.
[ -d bench/lighthouse/node_modules/lighthouse ] || npm install --prefix bench/lighthouse --no-audit --no-fund
port=${PERMORO_PORT:-8614}
node tools/serve_web.mjs build/web/site "$port" >/dev/null &
server=$!
trap 'kill $server' EXIT
sleep 1
out=$(mktemp -d)
for page in "" teacher.html; do
    for run in 1 2 3; do
        CHROME_PATH=/usr/bin/chromium bench/lighthouse/node_modules/.bin/lighthouse "http://127.0.0.1:$port/$page" \
            --only-categories=performance --chrome-flags="--headless=new --no-sandbox" \
            --output=json --output-path="$out/run.json" --quiet
        node -e "const r = require('$out/run.json');
            console.log(['${page:-index.html}', 'run $run', 'Lighthouse ' + r.lighthouseVersion,
                'performance ' + r.categories.performance.score,
                'CLS ' + r.audits['cumulative-layout-shift'].numericValue.toFixed(3)].join('  '))"
    done
done
rm -r "$out"
