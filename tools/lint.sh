#!/usr/bin/env bash
# `make lint`: checks the GitHub workflows and the Markdown with the
# validators that tools/lint/package-lock.json pins, installed from npm
# into tools/lint.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

if ! command -v node >/dev/null 2>&1 || ! command -v npm >/dev/null 2>&1; then
  "$root/tools/install-deps.sh" nodejs npm
fi
npm ci --prefix "$root/tools/lint" --no-audit --no-fund --loglevel=error
# Both checks run and report even when the first fails.
status=0
node "$root/tools/lint/lint-workflows.mjs" "$root" || status=1
node "$root/tools/lint/lint-markdown.mjs" "$root" || status=1
exit "$status"
