#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the application need. Safe to run again.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev
    zlib1g-dev libpng-dev libjpeg62-turbo-dev libfreetype-dev fonts-dejavu-core
)
# Later subsystems add theirs here.
if [[ -f "$(dirname "$0")/packages.txt" ]]; then
    while read -r extra; do
        [[ -n "$extra" && "$extra" != \#* ]] && packages+=("$extra")
    done <"$(dirname "$0")/packages.txt"
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
if [[ ${#missing[@]} -eq 0 ]]; then
    exit 0
fi
if [[ $(id -u) -eq 0 ]]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
else
    echo "Missing packages; install them with:" >&2
    echo "  sudo apt-get install -y ${missing[*]}" >&2
    exit 1
fi
