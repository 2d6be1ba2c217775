#!/usr/bin/env bash
# Installs what is missing, builds the given preset (release by default, or asan) and runs every
# test, the end-to-end tests on their own virtual displays included.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
source scripts/setup.sh

preset=${1:-release}
case "$preset" in
release | asan) ;;
*)
    echo "usage: ./test.sh [release|asan]" >&2
    exit 2
    ;;
esac

install_missing_packages
build_preset "$preset"
ctest --preset "$preset" --output-on-failure -j2
