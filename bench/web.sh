#!/usr/bin/env bash
# The WebAssembly build side by side with the native one: the simulator on
# bench/cpu.cpp's exerciser loop in headless Chromium against the native
# Simulator (Release), assembling a 3,000-line source in Chromium, and the
# site's compressed size.
#
#   bash bench/web.sh     (STEPS=N instructions per run, ROUNDS=N; figures in bench/README.md)
#
# Needs what make web needs (Emscripten, Node, npm) and Debian's chromium;
# playwright-core comes from web/'s lock file and drives /usr/bin/chromium:
# nothing downloads a browser. Results are kept in build-bench-web/results.txt.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=$root/build-bench-web

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j 2 --target Simulator >/dev/null
make --no-print-directory web >/dev/null
if [ ! -d web/node_modules/playwright-core ]; then
    echo "bench/web.sh: web/node_modules/playwright-core is missing (make web runs npm ci in web/)" >&2
    exit 2
fi
{
    echo "== Machine"
    echo "date:   $(date -u '+%Y-%m-%d %H:%M UTC')"
    echo "cpu:    $(nproc) x $(lscpu | sed -n 's/^Model name: *//p' | head -1)"
    echo "load:   $(cut -d' ' -f1-3 /proc/loadavg) (1, 5, 15 min) before the runs"
    echo
    node bench/web/driver.mjs "$root/build-web/site" "$build/Simulator"
    echo "load:   $(cut -d' ' -f1-3 /proc/loadavg) (1, 5, 15 min) after the runs"
} 2>&1 | tee "$build/results.txt"
