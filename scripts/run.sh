#!/usr/bin/env bash
# Installs what the project needs, builds it and runs the notification server.
# Without arguments it runs the demo (scripts/demo.sh): a demo hotel, a local mail sandbox
# and a headless server sending the demo's mail. With arguments they go to the program
# (for example --dir SITE --headless).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
# Paths relative to the checkout let ccache reuse objects compiled in another clone.
export CCACHE_BASEDIR="$PWD"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target quarvelt-mailserver qvtable quarvelt-demo
if (($#)); then
  exec build/src/startup/quarvelt-mailserver "$@"
fi
exec bash scripts/demo.sh
