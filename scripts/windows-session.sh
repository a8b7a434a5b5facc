# One Wine session for the Windows tests, sourced by scripts/build-windows.sh
# and usable by hand (bash: `source scripts/windows-session.sh build-windows`,
# then ctest --test-dir build-windows/cedxm ..., then `windows_session_stop`).
#
# The session: the Wine prefix of the build folder (about 700 MB, made once),
# quiet, without the .NET and HTML engines (their installers would ask), in
# the Japanese locale (Wine takes the ANSI code page 932 from it, as a
# Japanese Windows has it), on a private X display (a wineserver started
# without one breaks later windows), with a persistent wineserver and one
# warm-up run before anything reads Wine's output through a pipe (else the
# pipe stalls), and without a crash debugger (else a crash opens a dialog
# that blocks, or even ends with status 0).
windows_session_start() {  # BUILD_FOLDER
  local out
  out=$(cd "$1" && pwd)
  export WINEPREFIX=$out/wine WINEARCH=win64 WINEDEBUG=-all "WINEDLLOVERRIDES=mscoree,mshtml=" \
         LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
  local n
  windows_session_display=
  for n in $(seq 90 140); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then windows_session_display=$n; break; fi
  done
  [ -n "$windows_session_display" ] || { echo "no free X display number" >&2; return 1; }
  Xvfb ":$windows_session_display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  windows_session_xvfb=$!
  export DISPLAY=":$windows_session_display"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$windows_session_display" ] && break; sleep 0.1; done
  mkdir -p "$WINEPREFIX"
  wineserver -p
  wine cmd /c exit </dev/null >/dev/null 2>&1
  local key
  for key in 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
             'HKLM\Software\Wow6432Node\Microsoft\Windows NT\CurrentVersion\AeDebug'; do
    wine reg add "$key" /v Debugger /t REG_SZ /d '' /f </dev/null >/dev/null 2>&1
    wine reg add "$key" /v Auto /t REG_SZ /d 1 /f </dev/null >/dev/null 2>&1
  done
}

windows_session_stop() {
  wineserver -k >/dev/null 2>&1 || true
  [ -z "${windows_session_xvfb:-}" ] || kill "$windows_session_xvfb" 2>/dev/null || true
  windows_session_xvfb=
}
