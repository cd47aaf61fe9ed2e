#!/usr/bin/env bash
# Installs a built tree into a throw-away prefix and checks that each format lands where Linux
# hosts look for it, complete and runnable.
set -euo pipefail

build=${1:?usage: check-install.sh <build folder> <source folder> [program...]}
source=${2:?usage: check-install.sh <build folder> <source folder> [program...]}
shift 2
programs=("Brimstack3" "$@")
stage=$(mktemp -d /tmp/brimstack3-install-XXXXXX)
trap 'rm -rf "$stage"' EXIT

cmake --install "$build" --prefix "$stage" > "$stage.log" 2>&1 || { cat "$stage.log"; rm -f "$stage.log"; exit 1; }
rm -f "$stage.log"

fail=0
expect() {
    if [ ! -e "$stage/$1" ]; then
        echo "missing after install: <prefix>/$1"
        fail=1
    fi
}

expect .vst3/Brimstack3.vst3/Contents/x86_64-linux/Brimstack3.so
expect .lv2/Brimstack3.lv2/manifest.ttl
expect .lv2/Brimstack3.lv2/dsp.ttl
expect .lv2/Brimstack3.lv2/libBrimstack3.so
for program in "${programs[@]}"; do
    expect ".local/bin/$program"
done

# The factory set goes next to the programs, where brimstack3-render --install-presets looks.
if [ -d "$source/presets" ]; then
    expect .local/share/brimstack3/presets
fi

# Nothing lands in the documents folder: that is the user's.
[ ! -e "$stage/Documents" ] || { echo "install wrote into <prefix>/Documents"; fail=1; }

for program in "$stage"/.local/bin/*; do
    [ -x "$program" ] || { echo "not executable: $program"; fail=1; }
done

# The installed LV2 bundle is found by lilv where hosts look.
if command -v lv2ls > /dev/null; then
    listed=$(LV2_PATH="$stage/.lv2" lv2ls)
    [ "$listed" = "urn:quillforge:brimstack3" ] || { echo "lv2ls in the installed folder: '$listed'"; fail=1; }
fi

[ "$fail" -eq 0 ] && echo "installed: $(cd "$stage" && find . -maxdepth 3 -mindepth 2 | sort | tr '\n' ' ')"
exit "$fail"
