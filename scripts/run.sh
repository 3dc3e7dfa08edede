#!/usr/bin/env bash
# Installs what the project needs, builds it and runs the notification server.
# Extra arguments go to the program (for example --dir SITE).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target quarvelt-mailserver qvtable
exec build/src/startup/quarvelt-mailserver "$@"
