# Sourced by the tools: one private Wine world under a scratch folder.
#   zyn_wine_env DIR         set HOME, TMPDIR, WINEPREFIX (DIR/prefix), WINEDEBUG, overrides
#   zyn_wine_template DIR    make (once) the template prefix DIR, ready to copy
#   zyn_wine_prefix SRC DST  copy the template to a fresh prefix
#   zyn_wine_start [KEEPALIVE_EXE] / zyn_wine_stop   the pre-started server and a keep-alive desktop program

zyn_wine_env() {
  local scratch="$1"
  mkdir -p "$scratch/home" "$scratch/tmp"
  export HOME="$scratch/home" TMPDIR="$scratch/tmp"
  export WINEPREFIX="${WINEPREFIX_OVERRIDE:-$scratch/prefix}"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
}

zyn_wine_template() {
  local tpl="$1"
  if [ -f "$tpl/.ready" ] && [ -z "$(find "$tpl/drive_c/users" -maxdepth 2 -type l -print -quit)" ]; then return 0; fi
  rm -rf "$tpl"
  WINEPREFIX="$tpl" wine wineboot -i </dev/null >/dev/null 2>&1
  # Without a window manager every window close waits 2 s unless windows are unmanaged.
  WINEPREFIX="$tpl" wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
  WINEPREFIX="$tpl" wineserver -w
  # The profile's Desktop, Documents and the like are links to $HOME, which every copy of the
  # template would share: what one run leaves on the desktop would meet the next, unseen by
  # the snapshots. Each copy gets folders of its own.
  local folder
  for folder in "$tpl"/drive_c/users/*/*; do
    if [ -L "$folder" ]; then rm "$folder" && mkdir "$folder"; fi
  done
  touch "$tpl/.ready"
}

zyn_wine_prefix() {
  local tpl="$1" dst="$2"
  rm -rf "$dst"
  cp -a "$tpl" "$dst"
}

zyn_wine_start() {
  # Pre-start the server detached, or Wine's services keep a test's stderr pipe open.
  wineserver -p </dev/null >/dev/null 2>&1 || true
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
  # A window of our own keeps Wine's desktop up between tests: restarting it stalls
  # the next program for seconds in some runs. Wait until it is up: the desktop
  # process inherits the output of whichever program starts it, and must not hold
  # a test's pipes. wineserver -k ends it.
  if [ -n "${1:-}" ] && [ -f "$1" ]; then
    local ready="$WINEPREFIX/drive_c/keepalive.ready" i
    rm -f "$ready"
    wine "$1" 7200 'C:\keepalive.ready' </dev/null >/dev/null 2>&1 &
    for i in $(seq 1 150); do
      [ -f "$ready" ] && return 0
      sleep 0.1
    done
    echo "keep-alive window did not come up" >&2
  fi
}

zyn_wine_stop() {
  wineserver -k </dev/null >/dev/null 2>&1 || true
  wineserver -w </dev/null >/dev/null 2>&1 || true
}

# A virtual display of our own for the whole run; ZYN_XVFB_PID is killed by zyn_xvfb_stop.
zyn_xvfb_start() {
  local n
  for n in $(seq 91 140); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
      Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
      ZYN_XVFB_PID=$!
      export DISPLAY=":$n"
      local i
      for i in $(seq 1 50); do
        if [ -e "/tmp/.X11-unix/X$n" ]; then return 0; fi
        sleep 0.1
      done
      kill "$ZYN_XVFB_PID" 2>/dev/null
    fi
  done
  echo "cannot start Xvfb" >&2
  return 1
}

zyn_xvfb_stop() {
  if [ -n "${ZYN_XVFB_PID:-}" ]; then
    kill "$ZYN_XVFB_PID" 2>/dev/null || true
    wait "$ZYN_XVFB_PID" 2>/dev/null || true
    ZYN_XVFB_PID=
  fi
}
