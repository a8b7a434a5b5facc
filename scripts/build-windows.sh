#!/usr/bin/env bash
# The Windows programs, built on Linux: installs what is missing (when run as
# root), cross-builds libxml2, GoogleTest and both programs with mingw-w64 into
# build-windows/, runs every Windows test under Wine, and packs
# dist/CEDXM-win64.zip.
#   scripts/build-windows.sh            install, build, test, pack
#   scripts/build-windows.sh --no-test  install, build, pack
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=$root/build-windows
deps=$out/deps
jobs=$(nproc 2>/dev/null || echo 2)
toolchain=$root/cmake/toolchains/mingw-w64.cmake
run_tests=1
[ "${1:-}" = "--no-test" ] && run_tests=0

launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

# --- what a fresh Debian machine lacks --------------------------------------
packages=(cmake make dpkg-dev zip locales g++-mingw-w64-x86-64-posix mingw-w64-tools
          wine64 wine xvfb xdotool fonts-noto-cjk googletest nlohmann-json3-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# libxml2 is built from Debian's own source package, which needs a deb-src
# entry for the same archive as the machine's binary packages.
has_deb_src() {
  grep -Eqs '^(deb-src |Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/*.list \
    /etc/apt/sources.list.d/*.sources
}
need_src=0
[ -d "$deps/src" ] && ls -d "$deps"/src/libxml2-*/ >/dev/null 2>&1 || need_src=1
if [ ${#missing[@]} -gt 0 ] || { [ $need_src = 1 ] && ! has_deb_src; }; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "missing: ${missing[*]:-}${missing[*]:+ }$([ $need_src = 1 ] && ! has_deb_src && echo 'a deb-src entry')" \
         "(run as root, or install them with apt-get)" >&2
    exit 1
  fi
  if [ $need_src = 1 ] && ! has_deb_src; then
    src=/etc/apt/sources.list.d/cedxm-deb-src.sources
    for f in /etc/apt/sources.list.d/*.sources; do
      [ -f "$f" ] && { sed 's/^Types:.*/Types: deb-src/' "$f"; echo; }
    done >"$src"
    grep -q '^Types: deb-src' "$src" || rm -f "$src"
    if [ -f /etc/apt/sources.list ] && grep -q '^deb ' /etc/apt/sources.list; then
      sed -n 's/^deb /deb-src /p' /etc/apt/sources.list >/etc/apt/sources.list.d/cedxm-deb-src.list
    fi
  fi
  echo "installing: ${missing[*]:-} (and updating the package lists)"
  apt-get update -qq
  [ ${#missing[@]} -eq 0 ] || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
fi
# Japanese texts (code page 932 ini files, dialogs) need the Japanese locale.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  if [ "$(id -u)" -eq 0 ]; then
    localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
  else
    echo "the ja_JP.UTF-8 locale is missing (run as root, or: localedef -i ja_JP -f UTF-8 ja_JP.UTF-8)" >&2
    exit 1
  fi
fi

# --- libxml2, GoogleTest and nlohmann-json for Windows ----------------------
mkdir -p "$deps/src"
if [ ! -f "$deps/lib/libxml2.a" ]; then
  if ! ls -d "$deps"/src/libxml2-*/ >/dev/null 2>&1; then
    (cd "$deps/src" && apt-get source -qq libxml2 >/dev/null)
  fi
  xml_src=$(ls -d "$deps"/src/libxml2-*/ | head -1)
  # Our code decodes every code page itself, so the parser needs no iconv;
  # nothing is ever fetched or loaded from outside the one file read.
  cmake -S "$xml_src" -B "$deps/build-libxml2" -DCMAKE_TOOLCHAIN_FILE="$toolchain" "${launcher[@]}" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$deps" -DBUILD_SHARED_LIBS=OFF \
    -DLIBXML2_WITH_ICONV=OFF -DLIBXML2_WITH_ZLIB=OFF -DLIBXML2_WITH_LZMA=OFF -DLIBXML2_WITH_ICU=OFF \
    -DLIBXML2_WITH_HTTP=OFF -DLIBXML2_WITH_FTP=OFF -DLIBXML2_WITH_PYTHON=OFF -DLIBXML2_WITH_TESTS=OFF \
    -DLIBXML2_WITH_PROGRAMS=OFF -DLIBXML2_WITH_CATALOG=OFF -DLIBXML2_WITH_MODULES=OFF \
    -DLIBXML2_WITH_LEGACY=OFF -DLIBXML2_WITH_DEBUG=OFF >/dev/null
  cmake --build "$deps/build-libxml2" -j"$jobs" >/dev/null
  cmake --install "$deps/build-libxml2" >/dev/null
fi
if [ ! -f "$deps/lib/libgtest.a" ]; then
  cmake -S /usr/src/googletest -B "$deps/build-googletest" -DCMAKE_TOOLCHAIN_FILE="$toolchain" "${launcher[@]}" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$deps" -DBUILD_SHARED_LIBS=OFF \
    -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON >/dev/null
  cmake --build "$deps/build-googletest" -j"$jobs" >/dev/null
  cmake --install "$deps/build-googletest" >/dev/null
fi
# nlohmann-json is headers only: its Debian copy serves the cross build too,
# copied into the prefix so that no Linux header folder enters the build.
if [ ! -f "$deps/share/cmake/nlohmann_json/nlohmann_jsonConfig.cmake" ]; then
  mkdir -p "$deps/include" "$deps/share/cmake"
  cp -r /usr/include/nlohmann "$deps/include/"
  cp -r /usr/share/cmake/nlohmann_json "$deps/share/cmake/"
fi

# --- both programs and their tests ------------------------------------------
# Every Windows test program runs under Wine in the session of
# scripts/windows-session.sh (the Wine prefix of this build folder).
wine_env=("WINEPREFIX=$out/wine" WINEARCH=win64 WINEDEBUG=-all "WINEDLLOVERRIDES=mscoree,mshtml="
          LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8)
emulator="env"
for v in "${wine_env[@]}"; do emulator+=";$v"; done
emulator+=";wine"
cmake -S . -B "$out/cedxm" -DCMAKE_TOOLCHAIN_FILE="$toolchain" "${launcher[@]}" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_FIND_ROOT_PATH="$deps" -DCMAKE_FIND_PACKAGE_PREFER_CONFIG=ON \
  -DCEDXM_BUILD_BENCH=OFF "-DCMAKE_CROSSCOMPILING_EMULATOR=$emulator" \
  -DCEDXM_LINUX_BUILD_DIR="$root/build" >/dev/null
cmake --build "$out/cedxm" -j"$jobs"

if [ $run_tests = 1 ]; then
  # One Wine session for every test, the dialogs' keyboard runs included.
  source scripts/windows-session.sh
  trap windows_session_stop EXIT
  windows_session_start "$out"
  ctest --test-dir "$out/cedxm" --output-on-failure -j"$jobs"
  bash scripts/windows-dialog-tests.sh "$out/cedxm" "$out/dialog-tests"
fi

# --- the package a user copies beside the host ------------------------------
# Both programs share one folder beside the host; each finds its ini file,
# read-me and (the importer) the placeholder fitting models beside itself.
stage=$out/package
rm -rf "$stage" && mkdir -p "$stage" "$root/dist"
# The build keeps its debugging information; the user gets the programs
# without it (a tenth of the size).
x86_64-w64-mingw32-strip -o "$stage/DM2CDX.exe" "$out/cedxm/exporter/DM2CDX.exe"
x86_64-w64-mingw32-strip -o "$stage/CDX2DM.exe" "$out/cedxm/importer/CDX2DM.exe"
# The plan viewer, a console program for whoever wants to see a file.
x86_64-w64-mingw32-strip -o "$stage/CDXVIEW.exe" "$out/cedxm/viewer/CDXVIEW.exe"
cp resources/exporter/* resources/importer/* "$stage/"
for ini in "$stage"/*.ini; do
  readme=$(sed -n 's/^ReadMeFile[[:space:]]*=[[:space:]]*//p' "$ini" | tr -d '\r' | head -1)
  [ -z "$readme" ] || [ -f "$stage/$readme" ] || { echo "$ini names a missing read-me file: $readme" >&2; exit 1; }
done
rm -f "$root/dist/CEDXM-win64.zip"
(cd "$stage" && zip -q -X -UN=UTF8 "$root/dist/CEDXM-win64.zip" ./*)
echo "packed dist/CEDXM-win64.zip"
