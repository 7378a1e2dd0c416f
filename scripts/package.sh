#!/usr/bin/env bash
# Builds the Debian package zorvan-config_<version>_<arch>.deb in build/ (or $BUILD_DIR) and
# checks it with lintian. It shares the build tree of build.sh, builds only the three programs
# (not the tests) and strips them; extra CMake arguments are passed on.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
"$root/scripts/setup.sh" dpkg-dev file lintian
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} \
  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON "$@" >/dev/null
cmake --build "$build" -j "$(nproc)" --target zorvan-config zorvan-cli zorvan-vpanel zorvan_dist_files
rm -f "$build"/zorvan-config_*.deb
(cd "$build" && cpack -G DEB)
deb=$(ls "$build"/zorvan-config_*.deb)
echo "package: $deb"
lintian --fail-on error "$deb"
