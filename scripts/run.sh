#!/usr/bin/env bash
# Sets up, builds and starts Tavolin on the default data folder
# (or on $TAVOLIN_HOME when it is set).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup.sh" "$here/build"
exec "$here/build/bin/tavolin" "$@"
