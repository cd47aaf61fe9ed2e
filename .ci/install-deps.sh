#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the training need, and only those missing.
set -euo pipefail

packages=(
  # toolchain and build
  build-essential cmake pkg-config ccache
  # JUCE and what its modules link on Linux
  juce-modules-source juce-tools
  libasound2-dev libjack-jackd2-dev libfreetype-dev libfontconfig1-dev
  libx11-dev libxrandr-dev libxinerama-dev libxcursor-dev libxext-dev libxcomposite-dev
  # model loading and tests
  nlohmann-json3-dev googletest libgtest-dev libgmock-dev
  # training pipeline (Debian's Python, not a pyenv one)
  python3 python3-torch libopenblas0-pthread python3-numpy python3-scipy python3-pytest
  # editor artwork generator (tools/art; the generated PNGs are committed)
  python3-cairo python3-pil fonts-urw-base35
  # hosts and tools for the end-to-end checks
  xvfb xauth lilv-utils jalv jackd2 lv2-dev sox
  # window lookup and screenshots in the host tests (xwininfo, import)
  x11-utils imagemagick
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "deps: all ${#packages[@]} Debian packages present"
  exit 0
fi

echo "deps: installing ${missing[*]}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
# jackd2 asks about real-time priority; answer it up front.
echo "jackd2 jackd/tweak_rt_limits boolean false" | $SUDO debconf-set-selections
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
