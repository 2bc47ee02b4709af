#!/bin/sh
# The Debian package made by cpack from the build tree: its control fields,
# the libraries it says it needs, and the files it holds.
# Usage: package_test.sh CPACK BUILD_DIR VERSION
set -u
cpack=$1 build=$2 version=$3
app_id=io.github.permoroplus.PermoroPlus

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack"; }
set -- "$work"/permoroplus_"$version"_*.deb
if [ $# -ne 1 ] || [ ! -f "$1" ]; then
    ls "$work"
    fail "no permoroplus_${version}_<arch>.deb"
fi
deb=$1

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = permoroplus ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture: $(field Architecture)"
case $(field Section) in games|education) ;; *) fail "Section: $(field Section)" ;; esac
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ "$(field Description | wc -l)" -gt 1 ] || fail "no long description"

# Every Qt library the program links, with the version it was built against.
depends=$(field Depends)
for lib in libqt6core6 libqt6gui6 libqt6widgets6 libc6 'libstdc\+\+6'; do
    printf '%s\n' "$depends" | grep -q -E "(^|, )$lib \(>= [0-9]" || fail "Depends lacks $lib: $depends"
done

dpkg-deb -c "$deb" | awk '{print $NF}' >"$work/contents"
for f in ./usr/bin/permoroplus ./usr/share/applications/$app_id.desktop ./usr/share/metainfo/$app_id.metainfo.xml \
         ./usr/share/icons/hicolor/32x32/apps/$app_id.png ./usr/share/icons/hicolor/128x128/apps/$app_id.png \
         ./usr/share/doc/permoroplus/copyright; do
    grep -q -x -F "$f" "$work/contents" || fail "the package lacks $f"
done
# Only the program: no tests, helpers or benchmarks.
[ "$(grep -c '^\./usr/bin/.' "$work/contents")" -eq 1 ] || fail "more than the program in /usr/bin: $(grep '^\./usr/bin/' "$work/contents")"
echo "PASS: $(basename "$deb"), $(wc -c <"$deb") bytes, Depends: $depends"
