# Sourced by the Windows scripts: what running the cross-built programs under Wine needs.
#
#   . scripts/wine-env.sh BUILD_DIR    sets up a private Wine prefix in BUILD_DIR/wineprefix
#   mox_wine_run PROGRAM.exe ARGS...   runs one program (inside mox_with_display)
#   mox_with_display COMMAND...        runs COMMAND with an X display (xvfb-run when none is set)
#                                      and one Wine server for everything COMMAND starts
#
# No Wine Mono or Gecko installation prompts, no crash dialog waiting for a click, no debug
# chatter; a 24-bit screen, as GDI's window surfaces would otherwise be palettised.

mox_wine_setup() {
  export WINEPREFIX="$(cd "$1" && pwd)/wineprefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEARCH=win64
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mox_with_display sh -c 'wineboot -i >/dev/null 2>&1; wine reg add "HKCU\\Software\\Wine\\WineDbg" /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1; wineserver -w'
  fi
  # Every Windows has Arial, Times New Roman and Courier New; the prefix gets their
  # metric-compatible Liberation fonts (fonts-liberation2) under those names.
  if [ ! -f "$WINEPREFIX/.mox-core-fonts" ]; then
    mox_with_display sh -c 'for f in "Arial:Liberation Sans" "Times New Roman:Liberation Serif" "Courier New:Liberation Mono"; do wine reg add "HKCU\\Software\\Wine\\Fonts\\Replacements" /v "${f%%:*}" /t REG_SZ /d "${f#*:}" /f >/dev/null 2>&1; done; wineserver -w' &&
      touch "$WINEPREFIX/.mox-core-fonts"
  fi
}

mox_wine_run() {
  wine "$@"
}

# Starts a persistent Wine server and Wine's background services with their output going
# nowhere. Otherwise the first program run starts the services, which inherit its standard output
# and keep it open: whoever reads that output (CTest, a pipe) waits for them to exit.
mox_wine_start() {
  wineserver -p
  wine wineboot </dev/null >/dev/null 2>&1
}

mox_with_display() {
  if [ -n "${MOX_HAVE_DISPLAY:-}" ]; then
    "$@"
  else
    MOX_HAVE_DISPLAY=1 xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
  fi
}

mox_wine_setup "$1"
