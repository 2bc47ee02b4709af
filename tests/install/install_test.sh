#!/bin/sh
# The installed program: `cmake --install` into a fresh prefix, the files a
# desktop reads checked by their validators and against each other, and the
# program started from where it was installed.
# Usage (under xvfb-run): install_test.sh CMAKE BUILD_DIR WM_CLOSE
set -u
cmake=$1 build=$2 wm_close=$3

# The program's identity on the desktop: software centres and menus know it
# by this name, so it must never change by accident.
app_id=io.github.permoroplus.PermoroPlus
opening_title='オープニング'

work=$(mktemp -d)
pid=
cleanup() {
    [ -z "$pid" ] || kill "$pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

"$cmake" --install "$build" --prefix "$work/staged" >"$work/install.log" 2>&1 ||
    { cat "$work/install.log"; fail "cmake --install"; }
# The prefix moves after the install: nothing may depend on where it was made.
mv "$work/staged" "$work/prefix"
prefix=$work/prefix

program=$prefix/bin/permoroplus
desktop=$prefix/share/applications/$app_id.desktop
metainfo=$prefix/share/metainfo/$app_id.metainfo.xml
[ -x "$program" ] || fail "no program in bin/"
for f in "$desktop" "$metainfo" "$prefix/share/doc/permoroplus/copyright"; do
    [ -s "$f" ] || fail "not installed: ${f#"$prefix"/}"
done

# The desktop entry: valid, and pointing at the installed files. Of the
# validator's hints only one is expected: the game is listed both under
# Education and under Games, on purpose.
out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
out=$(printf '%s\n' "$out" | grep -v 'hint: value "[^"]*" for key "Categories" .* contains more than one main category')
[ -z "$out" ] || fail "desktop-file-validate: $out"
key() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(key Name)" = 'ペルモロプラス' ] || fail "Name=$(key Name)"
[ -n "$(key 'Name\[en\]')" ] || fail "no English name"
[ "$(key Icon)" = "$app_id" ] || fail "Icon=$(key Icon)"
[ "$(key Exec)" = permoroplus ] || fail "Exec=$(key Exec) is not the installed program"
[ "$(key Terminal)" = false ] || fail "Terminal=$(key Terminal)"

# The AppStream metadata: valid alone and together with the tree it
# describes, and naming this program's desktop entry and binary.
# Only pedantic remarks are let through, not even informational ones.
for check in "validate $metainfo" "validate-tree $prefix"; do
    # shellcheck disable=SC2086
    out=$(appstreamcli $check --no-net 2>&1) || fail "appstreamcli $check: $out"
    printf '%s\n' "$out" | grep -q 'Validation was successful' || fail "appstreamcli $check: $out"
    ! printf '%s\n' "$out" | grep -q -E 'errors:|warnings:|infos:' || fail "appstreamcli $check: $out"
done
grep -q "<id>$app_id</id>" "$metainfo" || fail "metadata id"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
    fail "metadata does not launch $app_id.desktop"
grep -q "<binary>permoroplus</binary>" "$metainfo" || fail "metadata does not provide bin/permoroplus"

# The icons of the hicolor theme, each of the size its folder says.
for size in 32 64 128 256; do
    icon=$prefix/share/icons/hicolor/${size}x${size}/apps/$app_id.png
    [ -f "$icon" ] || fail "no ${size}x${size} icon"
    kind=$(file -b "$icon")
    case $kind in
    "PNG image data, $size x $size, "*) ;;
    *) fail "${size}x${size} icon is: $kind" ;;
    esac
done

# The installed program starts, away from the source and build trees, and
# ends with status 0 when its window is closed.
now() { date +%s%3N; }
cd "$work" || fail "cd"
"$program" &
pid=$!
deadline=$(( $(now) + 5000 ))
opening=
while [ -z "$opening" ] && [ "$(now)" -lt "$deadline" ]; do
    opening=$(xdotool search --onlyvisible --name "^$opening_title\$" 2>/dev/null | head -n 1)
    [ -n "$opening" ] || sleep 0.02
done
[ -n "$opening" ] || fail "no opening window"
# The desktop matches the window to its entry by the window's class.
class=$(xprop -id "$opening" WM_CLASS | sed -n 's/.*", "\(.*\)"$/\1/p')
[ "$class" = "$(key StartupWMClass)" ] || fail "window class '$class' is not StartupWMClass=$(key StartupWMClass)"

"$wm_close" "$opening"
deadline=$(( $(now) + 2000 ))
while kill -0 "$pid" 2>/dev/null; do
    [ "$(now)" -lt "$deadline" ] || fail "still running 2 s after the close"
    sleep 0.02
done
wait "$pid"
status=$?
pid=
[ "$status" -eq 0 ] || fail "exit status $status"
echo "PASS: installed into a prefix, validated, started and closed"
