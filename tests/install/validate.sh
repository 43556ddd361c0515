#!/usr/bin/env bash
# validate.sh TOOL ARGS...: runs a validator; exit 77 (skipped) when the tool
# is not installed.
if ! command -v "$1" >/dev/null; then
  echo "SKIPPED: $1 is not installed (scripts/bootstrap installs it)"
  exit 77
fi
exec "$@"
