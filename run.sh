#!/usr/bin/env bash
# Installs what is missing, builds, and starts Quillmark.
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
"$top/scripts/setup.sh"
exec "${QM_BUILD_DIR:-$top/build}/bin/quillmark" "$@"
