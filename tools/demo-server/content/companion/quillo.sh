#!/bin/sh
# The demo companion program: it only shows that it was started.
msg="奇洛播放器(演示版)已启动。"
if command -v zenity >/dev/null 2>&1; then
  zenity --info --title="奇洛播放器" --text="$msg" 2>/dev/null &
fi
echo "$msg $(date) $*" >> "$(dirname "$0")/started.log"
