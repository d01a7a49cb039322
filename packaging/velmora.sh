#!/bin/sh
# Starts the installed program on the user's own installation: its DATA,
# LISTA, KULD and TEMP folders live in VELMORA_HOME (by default ~/Velmora),
# which is made on the first start. The fund's contract tables go into its
# DATA folder before the first real start. The program itself is found
# beside this launcher's folder, wherever the package was installed.
set -e
program="$(dirname "$(readlink -f "$0")")/../lib/velmora/velmora"
home="${VELMORA_HOME:-$HOME/Velmora}"
mkdir -p "$home"
cd "$home"
VELMORA_HOME="$home" exec "$program" "$@"
