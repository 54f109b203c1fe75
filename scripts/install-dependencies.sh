#!/usr/bin/env bash
# Installs the Debian packages that building and testing Tarvelin need (run as root;
# Python 3 writes the crafted fuzz inputs at build time):
# the sanitizer build takes Clang 14 with its sanitizer and libFuzzer runtimes,
# lld to link and llvm-symbolizer for readable reports; the display tests take
# the virtual display, xdotool for X input and x11-apps for screen grabs (xwd);
# the real-host test takes JACK and jalv, a window manager (openbox) to run jalv
# under as users do, and the accessibility bus (in a D-Bus session) through
# which it reads jalv's controls.
set -euo pipefail

export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y --no-install-recommends \
    build-essential cmake ninja-build pkg-config ccache python3 \
    juce-modules-source juce-tools \
    libgtest-dev libgmock-dev libbenchmark-dev \
    xvfb xauth xdotool x11-apps fontconfig-config fonts-dejavu-core \
    clang-14 libclang-rt-14-dev lld llvm \
    jackd2 jalv openbox dbus dbus-bin at-spi2-core python3-gi gir1.2-atspi-2.0
