#!/bin/sh
# Install from Debian's archive the packages the Python package and its
# tests need, when they are missing; nothing is fetched from anywhere else.
# Run before configuring: without them the build leaves the package out.
set -e
missing=""
for p in pybind11-dev python3-dev python3-numpy python3-pandas python3-pytest \
         python3-dask python3-distributed; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null 2>&1; then
    echo "flowsum: missing Debian packages:$missing (install them as root)" >&2
    exit 1
  fi
  SUDO=sudo
fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $missing
