#!/usr/bin/env bash
# Builds the part of Qt 6 the Windows window needs (Core, Gui, Widgets, Network, Test, PrintSupport
# and the Windows, offscreen and style plugins) for x86_64-w64-mingw32, static and release, from
# Debian's own qt6-base source: the very version the Linux build uses, whose host tools (moc, rcc,
# uic) the cross build runs. Debian packages no Qt for MinGW.
#
#   build-windows/qt6-source/   the source, fetched once with apt-get source
#   build-windows/qt6-build/    Qt's build folder (its objects also go through ccache)
#   build-windows/qt6/          the installed Qt: CMAKE_PREFIX_PATH of the Windows window
#
# Does nothing when build-windows/qt6 holds a finished install. Each step prints its wall time.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
windows_build="$root/build-windows"
source_parent="$windows_build/qt6-source"
qt_build="$windows_build/qt6-build"
qt_prefix="$windows_build/qt6"
done_mark="$qt_prefix/.zr250pro-qt-complete"

# The finished install is marked with this script's own fingerprint: a changed recipe builds again
# (incrementally, in the kept build folder).
recipe=$(sha256sum "$0" | cut -d' ' -f1)
if [ -f "$done_mark" ] && [ "$(cat "$done_mark")" = "$recipe" ]; then
  echo "qt for windows: already built in $qt_prefix"
  exit 0
fi

step_start=$SECONDS
step() { echo "qt for windows: $1 ($((SECONDS - step_start)) s)"; step_start=$SECONDS; }
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

# The source of the installed Qt, not whatever version the archive carries today.
qt_version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
source_dir=$(find "$source_parent" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*' 2>/dev/null | head -n 1 || true)
if [ -z "$source_dir" ] || [ ! -f "$source_parent/.complete-$qt_version" ]; then
  # apt-get source needs a deb-src entry for this Debian release; add one beside the deb entries.
  if ! grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    $sudo tee /etc/apt/sources.list.d/zr250pro-debian-src.sources >/dev/null <<SOURCES
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $codename $codename-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
    $sudo apt-get update -qq
  fi
  rm -rf "$source_parent"
  mkdir -p "$source_parent"
  (cd "$source_parent" && apt-get source -qq "qt6-base=$qt_version")
  source_dir=$(find "$source_parent" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1)
  touch "$source_parent/.complete-$qt_version"
  step "fetched qt6-base $qt_version"
fi
# This Qt compiles its DirectWrite font engine only together with Direct2D, which is left out here,
# while the Windows platform plugin and the printing code use the engine whenever DirectWrite is on:
# the engine and the font databases' DirectWrite parts are built without Direct2D.
sed -i 's/CONDITION QT_FEATURE_direct2d AND QT_FEATURE_directwrite AND/CONDITION QT_FEATURE_directwrite AND/' \
  "$source_dir/src/gui/CMakeLists.txt"
sed -i 's/QT_CONFIG(directwrite) && QT_CONFIG(direct2d)/QT_CONFIG(directwrite)/' \
  "$source_dir/src/gui/text/windows/qwindowsfontdatabasebase.cpp" "$source_dir/src/gui/text/windows/qwindowsfontdatabase.cpp"

# Qt's build adds some parts whatever the features say; none of them is linked into the window or
# its tests, so they are left out to keep the build short: the OpenGL widget module, the minimal
# platform, the network information and TLS plugins, and the framebuffer and device discovery
# helpers of embedded Linux platforms.
sed -i -e 's/^\( *\)add_subdirectory(openglwidgets)$/\1# openglwidgets left out/' "$source_dir/src/CMakeLists.txt"
sed -i -e 's/^\( *\)add_subdirectory(\(networkinformation\|tls\))$/\1# \2 left out/' "$source_dir/src/plugins/CMakeLists.txt"
sed -i -e 's/^\( *\)add_subdirectory(minimal)$/\1# minimal left out/' "$source_dir/src/plugins/platforms/CMakeLists.txt"
sed -i -e 's/^add_subdirectory(\(devicediscovery\|fbconvenience\))$/# \1 left out/' "$source_dir/src/platformsupport/CMakeLists.txt"

# Configured against the host's Qt tools of the same version. Left out: what neither the window nor
# its tests use (SQL, D-Bus, XML, Concurrent, TLS, images beyond PNG, pen tablets, touch servers,
# Vulkan, FreeType and HarfBuzz: Windows draws text with its own font engine, and the window's
# texts are Latin, which Qt lays out without HarfBuzz). Debian's source also leaves out the pen
# tablet header (wintab.h). OpenGL stays, as the Windows platform plugin of this version does not
# compile without it. zlib, PNG and PCRE2 are built from Qt's bundled copies, so the window needs
# no DLL.
if [ ! -f "$qt_build/build.ninja" ]; then
  launcher=()
  if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  fi
  rm -rf "$qt_build"
  nice -n 19 cmake -S "$source_dir" -B "$qt_build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" "${launcher[@]}" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DCMAKE_INSTALL_PREFIX="$qt_prefix" \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_xml=OFF -DFEATURE_concurrent=OFF \
    -DFEATURE_tabletevent=OFF -DFEATURE_vulkan=OFF -DFEATURE_direct2d=OFF \
    -DFEATURE_openssl=OFF -DFEATURE_zstd=OFF -DFEATURE_icu=OFF -DFEATURE_glib=OFF \
    -DFEATURE_freetype=OFF -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_ico=OFF \
    -DFEATURE_tuiotouch=OFF -DFEATURE_harfbuzz=OFF -DFEATURE_ssl=OFF \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_pcre2=OFF \
    -DFEATURE_system_doubleconversion=OFF \
    >"$windows_build/qt6-configure.log" 2>&1 || {
    tail -n 40 "$windows_build/qt6-configure.log" >&2
    echo "qt for windows: configure failed; see $windows_build/qt6-configure.log" >&2
    rm -f "$qt_build/build.ninja"
    exit 1
  }
  step "configured"
fi

# Niced: the Qt build is long and must leave the machine to whatever else runs. Qt compiles with
# precompiled headers, which ccache caches only when told to be lenient about them.
CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime \
  nice -n 19 cmake --build "$qt_build" -j2
step "built"
rm -rf "$qt_prefix"
cmake --install "$qt_build" >/dev/null
echo "$recipe" >"$done_mark"
step "installed in $qt_prefix"
