#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and packaging Quorvel II need.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y --no-install-recommends \
  build-essential cmake pkg-config ca-certificates \
  nlohmann-json3-dev googletest libgtest-dev libgmock-dev \
  libgtk2.0-dev xvfb xauth valgrind \
  g++-multilib qemu-user \
  dpkg-dev fakeroot file man-db \
  clang libclang-rt-14-dev libfuzzer-14-dev \
  prometheus prometheus-node-exporter curl
