#!/bin/sh
# Starts or stops the private Wine prefix in which the Windows build's tests run.
#   prefix.sh start PREFIX   create the prefix when it is new, start a lasting wineserver
#   prefix.sh stop PREFIX    stop that wineserver
#   prefix.sh locale DIR     make the ja_JP.UTF-8 locale in DIR: run with LOCPATH=DIR and
#                            LC_ALL=ja_JP.UTF-8, Wine has code page 932
# SystemRoot is stored in the prefix as %IVX_SR%, so that each run can choose its own:
# Wine gives every program SystemRoot from the registry, whatever the Linux environment says.
set -eu
action=$1
if [ "$action" = locale ]; then
  # Made from Debian's locale sources, so that the machine needs no Japanese locale of its own.
  [ -f "$2/ja_JP.UTF-8/LC_CTYPE" ] && exit 0
  mkdir -p "$2"
  # localedef ends with 1 when the sources give warnings; the locale is made all the same.
  localedef -i ja_JP -c -f UTF-8 "$2/ja_JP.UTF-8" || true
  test -f "$2/ja_JP.UTF-8/LC_CTYPE"
  exit
fi
export WINEPREFIX="$2"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

case "$action" in
  start)
    mkdir -p "$WINEPREFIX"
    # The server outlives this script: it must not hold the test runner's output open.
    wineserver -p </dev/null >/dev/null 2>&1 || true
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      wineboot --init </dev/null >/dev/null 2>&1
    fi
    wine reg add 'HKCU\Environment' /v SystemRoot /t REG_EXPAND_SZ /d '%IVX_SR%' /f \
      </dev/null >/dev/null 2>&1
    wine reg query 'HKCU\Environment' /v SystemRoot </dev/null 2>/dev/null | grep -q IVX_SR
    # S: is a folder that nobody can write to, not even an administrator.
    ln -sfn /sys "$WINEPREFIX/dosdevices/s:"
    ;;
  stop)
    wineserver -k </dev/null >/dev/null 2>&1 || true
    ;;
  *)
    echo "usage: prefix.sh start|stop PREFIX, or prefix.sh locale DIR" >&2
    exit 2
    ;;
esac
