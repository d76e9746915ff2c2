#!/usr/bin/env bash
# The level diagram as a screen reader reads it: checks the diagram's
# children over AT-SPI (atspi_diagram.py) against the running program.
#   atspi-diagram.sh PATH/TO/phonolith
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
exec "$here/atspi-run.sh" "$1" "$here/atspi_diagram.py"
