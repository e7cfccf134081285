#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing, and makes
# sure the Russian locale the tests run under exists. Sourced by run.sh and test.sh.
set -euo pipefail

# The DejaVu fonts draw the help window's picture of the problem's form (serif, upright and
# italic) the same on every machine. The windows were laid out in a font of Arial's widths:
# Liberation Sans and Mono have them (a fresh Debian has only DejaVu, which runs a sixth wider).
# GMP gives the exact arithmetic and QSopt_ex the exact solve; Qt's translations say its own dialogs in Russian;
# dpkg-dev finds the Debian package's library dependencies; Qt SVG writes the graph window's
# pictures as SVG.
KVADO_PACKAGES=(build-essential cmake pkg-config qt6-base-dev libgl-dev libjpeg62-turbo-dev
                libgtest-dev qt6-svg-dev locales unrtf fonts-dejavu-core fonts-dejavu-extra
                fonts-liberation2 libgmp-dev libqsopt-ex-dev libglpk-dev qt6-translations-l10n dpkg-dev)
# The tests' tools: clang for the fuzz targets, glpsol and esolver (QSopt_ex's exact solver of
# LP files) as independent solvers to compare with, Xvfb for the screenshots, Python for the
# check of the includes (tools/check_includes.py).
if [ "${KVADO_WITH_TEST_TOOLS:-0}" = 1 ]; then
    KVADO_PACKAGES+=(clang libclang-rt-14-dev glpk-utils qsopt-ex xvfb xauth python3)
fi

as_root() {
    if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

missing=()
for p in "${KVADO_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if ! locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$'; then
    echo "Generating the ru_RU.UTF-8 locale"
    if [ -f /etc/locale.gen ]; then
        as_root sed -i 's/^# *\(ru_RU.UTF-8 UTF-8\)/\1/' /etc/locale.gen
        grep -q '^ru_RU.UTF-8 UTF-8' /etc/locale.gen || echo 'ru_RU.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
        as_root locale-gen >/dev/null
    else
        as_root localedef -i ru_RU -f UTF-8 ru_RU.UTF-8
    fi
fi
