#!/bin/sh
# The demo companion program: it only shows that it was started, in a small
# window of the portal's own web window program (found beside the program
# that started it, or beside the companion's folder), else with zenity.
msg="奇洛播放器(演示版)已启动。"
here=$(cd "$(dirname "$0")" && pwd)
echo "$msg $(date) $*" >> "$here/started.log"

page="$here/started.htm"
printf '<html><head><meta charset="utf-8"><title>奇洛播放器</title></head><body><h3>%s</h3><p>%s</p></body></html>\n' \
  "$msg" "这是演示用的伙伴程序,关闭本窗口即可。" > "$page"

parent=$(dirname "$(readlink "/proc/$PPID/exe" 2>/dev/null)")
for webwindow in "$parent/tavelo-webwindow" "$here/../tavelo-webwindow" "$(command -v tavelo-webwindow)"; do
  if [ -x "$webwindow" ]; then
    "$webwindow" "file://$page" >/dev/null 2>&1 &
    exit 0
  fi
done
if command -v zenity >/dev/null 2>&1; then
  zenity --info --title="奇洛播放器" --text="$msg" 2>/dev/null &
fi
