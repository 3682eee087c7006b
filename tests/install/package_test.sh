#!/usr/bin/env bash
# make package's Debian package, built into a folder of the test's own: it
# holds the programs, the desktop entry, the icon, the manual pages and the
# copyright and changelog, all under /usr, nothing of the build folder,
# depends on the runtime packages scripts/runtime-packages names, and lintian
# (where installed) accepts it.
# usage: package_test.sh BUILD_DIR SOURCE_DIR; exits 77 (skipped) without dpkg-deb.
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
command -v dpkg-deb >/dev/null || { echo "no dpkg-deb: the package is not built here"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAILED: $*" >&2
  exit 1
}

(cd "$work" && cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work") >"$work/cpack.log" 2>&1 || fail "cpack: $(cat "$work/cpack.log")"
debs=("$work"/package/tavelo_*_amd64.deb)
[ -f "${debs[0]}" ] || fail "no package in $work/package: $(cat "$work/cpack.log")"
deb=${debs[0]}
# Debian's own checker finds no error or warning; packaging/lintian-overrides
# names the findings that are so by design, with the reason.
if command -v lintian >/dev/null; then
  lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1 || fail "lintian: $(cat "$work/lintian.log")"
fi

# Names as dpkg lists them, links without their targets.
names=$(dpkg-deb -c "$deb" | awk '{print $6}')
for needed in ./usr/bin/tavelo ./usr/bin/tavelo-catalogue ./usr/bin/tavelo-demo-server \
  ./usr/lib/tavelo/TaveloMain ./usr/lib/tavelo/tavelo-launcher ./usr/lib/tavelo/uninstall \
  ./usr/lib/tavelo/tavelo-catalogue ./usr/lib/tavelo/tavelo-catalogue-net ./usr/lib/tavelo/tavelo-demo-server \
  ./usr/lib/tavelo/installed \
  ./usr/lib/tavelo/data/main.htm ./usr/share/applications/tavelo.desktop \
  ./usr/share/icons/hicolor/128x128/apps/tavelo.png ./usr/share/icons/hicolor/128x128@2/apps/tavelo.png \
  ./usr/share/man/man1/tavelo.1.gz ./usr/share/man/man1/tavelo-catalogue.1.gz \
  ./usr/share/man/man1/tavelo-demo-server.1.gz ./usr/share/doc/tavelo/copyright \
  ./usr/share/doc/tavelo/changelog.gz; do
  grep -qxF "$needed" <<<"$names" || fail "the package lacks $needed"
done
outside=$(grep -v '^\./usr/' <<<"$names" || true)
[ -z "$outside" ] || fail "files outside /usr: $outside"
# A portable run's own files (lists, caches, update copies) never ship.
personal=$(grep -E '/(myfavo\.dat|myvisited\.dat|videonew\.ini|p2pnew\.ini|update\.lock)$|^\./usr/lib/tavelo/(tavelo|script)/' <<<"$names" || true)
[ -z "$personal" ] || fail "the package holds a portable run's own files: $personal"

dpkg-deb -x "$deb" "$work/root"
# Nothing may lead back to the build machine's folders. Sanitizer builds
# keep the paths of source files for their reports; those name no file the
# programs open, so a string that ends in a source file's name is let be.
naming() {
  local folder=$1 file
  while IFS= read -r -d '' file; do
    if strings -a -n 4 "$file" | grep -F "$folder" | grep -qvE '\.(c|cc|cpp|h|hpp)$'; then
      printf '%s ' "$file"
    fi
  done < <(find "$work/root" -type f -print0)
}
for folder in "$build" "$source"; do
  found=$(naming "$folder")
  [ -z "$found" ] || fail "files naming $folder: $found"
done
[ "$(readlink "$work/root/usr/bin/tavelo")" == "../lib/tavelo/tavelo-launcher" ] || fail "bin/tavelo is no link to the launcher"
desktop-file-validate "$work/root/usr/share/applications/tavelo.desktop" || fail "the desktop entry is not valid"
grep -qx "Exec=/usr/bin/tavelo" "$work/root/usr/share/applications/tavelo.desktop" || fail "the entry does not start /usr/bin/tavelo"
grep -qx "StartupWMClass=tavelo" "$work/root/usr/share/applications/tavelo.desktop" ||
  fail "the entry does not name the windows' class"

expected=$(grep -v '^#' "$source/scripts/runtime-packages" | grep . | paste -sd, | sed 's/,/, /g')
depends=$(dpkg-deb -f "$deb" Depends)
[ "$depends" == "$expected" ] || fail "Depends: $depends; expected $expected"
echo "package: $(basename "$deb"), $(wc -l <<<"$names") entries"
