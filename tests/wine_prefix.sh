#!/bin/sh
# The Wine prefix the Windows tests run in.
#   wine_prefix.sh make  WINE WINESERVER  - made once: the prefix, and a crash
#       ends its program at once instead of starting Wine's debugger (the
#       death tests crash on purpose); returns once Wine has settled.
#   wine_prefix.sh serve WINE WINESERVER  - made if need be, then a server that
#       stays up for the whole run, so no test's program starts while the
#       last one's server is going down.
#   wine_prefix.sh stop  WINE WINESERVER  - the server and all it started end.
# WINEPREFIX names the prefix. What Wine says goes to a log beside it, shown
# when something fails: the server and the prefix's services outlive this
# script and must not hold the test's output open.
set -u
mode=$1 wine=$2 server=$3
log=$WINEPREFIX.log
ready=$WINEPREFIX/tm650-ready
failed() { cat "$log" >&2; echo "wine_prefix.sh: $1" >&2; exit 1; }

if [ "$mode" = stop ]; then
  "$server" -k 2>/dev/null
  "$server" -w
  exit 0
fi
if [ ! -e "$ready" ]; then
  {
    "$wine" wineboot -i &&
      "$wine" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d '' /f
  } </dev/null >"$log" 2>&1 || failed "the prefix could not be made"
  "$server" -w
  touch "$ready"
fi
if [ "$mode" = serve ]; then
  "$server" -w
  "$server" -p </dev/null >>"$log" 2>&1 || failed "the server did not start"
  # Up and answering before the first test.
  "$wine" reg query 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger </dev/null >>"$log" 2>&1 ||
    failed "the prefix does not answer"
fi
exit 0
