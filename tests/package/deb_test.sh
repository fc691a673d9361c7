#!/usr/bin/env bash
# The Debian package as a user gets it: built by CPack from a product build
# (no tests), installed with apt-get, which pulls its dependencies; the
# installed /usr/bin/ravuone started offscreen from an empty folder with its
# own HOME and XDG folders finds its skins in /usr/share/ravuone/skin (its
# window comes up: the hand-over socket appears, and a second copy started
# with a record file hands it over and ends with 0), ends on SIGTERM as
# 終了 ends it, and writes its settings to $XDG_CONFIG_HOME/ravuone/ravuone.ini
# and nothing into the start folder.  The desktop entry, the file types and
# the manual pages are checked too.  The package is removed at the end.
#
#   deb_test.sh SOURCE_DIR WORK_DIR [CMAKE_GENERATOR] [COMPILER_LAUNCHER]
#
# Exits 77 (CTest: skipped) when it cannot install packages: not root, or no
# apt-get.
set -uo pipefail
src=$1
work=$2
generator=${3:-}
launcher=${4:-}
SKIPPED=77

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

if [ "$(id -u)" -ne 0 ] || ! command -v apt-get >/dev/null; then
    echo "SKIPPED: installing the package needs root and apt-get"
    exit $SKIPPED
fi
if dpkg-query -W -f='${Status}' ravuone 2>/dev/null | grep -q "install ok installed"; then
    echo "SKIPPED: a ravuone package is installed already, and this test would remove it"
    exit $SKIPPED
fi

# 1. The package, from a build folder of its own.
rm -rf "$work"
mkdir -p "$work"
configure=(cmake -S "$src" -B "$work/build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF)
[ -n "$generator" ] && configure+=(-G "$generator")
[ -n "$launcher" ] && configure+=(-DCMAKE_CXX_COMPILER_LAUNCHER="$launcher")
"${configure[@]}" >"$work/configure.log" 2>&1 || { tail -30 "$work/configure.log"; fail "configure"; }
cmake --build "$work/build" -j "${CMAKE_BUILD_PARALLEL_LEVEL:-2}" >"$work/build.log" 2>&1 ||
    { tail -40 "$work/build.log"; fail "product build"; }
(cd "$work/build" && cpack -G DEB) >"$work/cpack.log" 2>&1 || { tail -30 "$work/cpack.log"; fail "cpack"; }

shopt -s nullglob
debs=("$work"/build/ravuone_*.deb)
[ ${#debs[@]} -eq 1 ] || fail "expected one ravuone_*.deb, found ${#debs[*]}"
deb=${debs[0]}
version=$(dpkg-deb -f "$deb" Version)
arch=$(dpkg --print-architecture)
[ "$(basename "$deb")" = "ravuone_${version}_${arch}.deb" ] || fail "file name $(basename "$deb")"
[ "$(dpkg-deb -f "$deb" Package)" = ravuone ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "section"
depends=$(dpkg-deb -f "$deb" Depends)
# dpkg-shlibdeps found the libraries the programs link.
for lib in libqt6widgets6 libqt6network6 libc6; do
    [[ "$depends" == *"$lib"* ]] || fail "Depends lacks $lib: $depends"
done
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"
echo "Depends: $depends"

# The manual pages, as packed (a minimal system may leave /usr/share/man out
# when installing).
dpkg-deb -x "$deb" "$work/root"
for page in ravuone ravuone-kif ravuone-peer; do
    file=$work/root/usr/share/man/man1/$page.1
    [ -f "$file" ] || fail "no manual page $page.1 in the package"
    warnings=$(groff -man -Tutf8 -ww -z "$file" 2>&1)
    [ -z "$warnings" ] || fail "$page.1: $warnings"
    man -l "$file" >/dev/null 2>&1 || fail "man -l $page.1"
done

# 2. Installed with its dependencies; removed again whatever happens.
run=$(mktemp -d)
pid=""
cleanup() {
    [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
    DEBIAN_FRONTEND=noninteractive apt-get remove -y -o DPkg::Lock::Timeout=600 ravuone >"$work/remove.log" 2>&1 ||
        echo "could not remove the package: see $work/remove.log" >&2
    rm -rf "$run"
}
trap cleanup EXIT
install=(apt-get install -y -o DPkg::Lock::Timeout=600 "$deb")
if ! DEBIAN_FRONTEND=noninteractive "${install[@]}" >"$work/install.log" 2>&1; then
    # The package lists may be older than the dependencies' versions.
    apt-get update >>"$work/install.log" 2>&1
    DEBIAN_FRONTEND=noninteractive "${install[@]}" >>"$work/install.log" 2>&1 ||
        { tail -30 "$work/install.log"; fail "apt-get install"; }
fi

for f in /usr/bin/ravuone /usr/bin/ravuone-kif /usr/bin/ravuone-peer; do
    [ -x "$f" ] || fail "$f not installed"
done
for f in BackBmp.bmp Waku.bmp Koma01.bmp; do
    [ -f "/usr/share/ravuone/skin/$f" ] || fail "skin $f not installed"
done
for size in 16 24 32 48 64 128 256; do
    [ -f "/usr/share/icons/hicolor/${size}x${size}/apps/ravuone.png" ] || fail "icon ${size}x${size} not installed"
done
desktop=/usr/share/applications/ravuone.desktop
mime=/usr/share/mime/packages/ravuone.xml
desktop-file-validate "$desktop" || fail "desktop-file-validate"
grep -qx 'Exec=ravuone %f' "$desktop" || fail "Exec line"
xmllint --noout "$mime" || fail "$mime is not well-formed"
# Every type the entry opens is defined, with its extension.
types=$(sed -n 's/^MimeType=//p' "$desktop" | tr ';' ' ')
for ext in kif kifu ki2 csa; do
    [[ " $types " == *" application/x-$ext "* ]] || fail "the desktop entry does not open .$ext"
    grep -q "<mime-type type=\"application/x-$ext\">" "$mime" || fail "application/x-$ext not defined"
    grep -q "<glob pattern=\"\*\.$ext\"/>" "$mime" || fail "*.$ext not in $mime"
done

# 3. The installed program, from an empty folder, with folders of its own.
start=$run/start
other=$run/other
config=$run/config
runtime=$run/runtime
mkdir -p "$start" "$other" "$config/ravuone" "$run/home" "$run/data" "$runtime"
chmod 700 "$runtime"
# A port of its own and the router left alone; the program keeps what it
# read and adds the rest (the chat log's place) when it writes the file.
port=$((20000 + RANDOM % 20000))
printf '[プロパティ]\r\nポート番号=%d\r\nポート自動開放=0\r\n' "$port" | iconv -f UTF-8 -t CP932 \
    >"$config/ravuone/ravuone.ini" || fail "iconv"
printf '手合割：平手\r\n   1 ７六歩(77)\r\n   2 ３四歩(33)\r\n' | iconv -f UTF-8 -t CP932 >"$other/game.kif"
program_env=(env -i PATH=/usr/bin:/bin LANG=C.UTF-8 HOME="$run/home" XDG_CONFIG_HOME="$config"
             XDG_DATA_HOME="$run/data" XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=offscreen
             RAVUONE_INSTANCE_KEY="ravu-deb-test-$$")
(cd "$start" && exec "${program_env[@]}" /usr/bin/ravuone) >"$run/first.txt" 2>&1 &
pid=$!
# The window is up once its hand-over socket is there; a copy that misses
# its skins stops at the message before that.
for _ in $(seq 600); do
    compgen -G "$runtime/ravuone-*.sock" >/dev/null && break
    kill -0 "$pid" 2>/dev/null || { cat "$run/first.txt"; fail "the program ended at start"; }
    sleep 0.1
done
compgen -G "$runtime/ravuone-*.sock" >/dev/null || { cat "$run/first.txt"; fail "no window after 60 s"; }
(cd "$other" && exec "${program_env[@]}" /usr/bin/ravuone game.kif) >"$run/second.txt" 2>&1
second=$?
[ $second -eq 0 ] || { cat "$run/second.txt"; fail "the second copy ended with $second"; }
grep -q "did not take" "$run/second.txt" && fail "the running copy did not take the file"
kill -TERM "$pid"
for _ in $(seq 300); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && { cat "$run/first.txt"; fail "still running 30 s after SIGTERM"; }
wait "$pid"
status=$?
pid=""
[ $status -eq 0 ] || { cat "$run/first.txt"; fail "the program ended with $status"; }
settings=$(iconv -f CP932 -t UTF-8 "$config/ravuone/ravuone.ini") || fail "settings not Shift-JIS"
[[ "$settings" == *"ポート番号=$port"* && "$settings" == *"left=3"* ]] ||
    fail "settings not written to $config/ravuone/ravuone.ini: $settings"
[ -z "$(ls -A "$start")" ] || fail "the start folder holds $(ls -A "$start")"
echo "installed program: skins found, settings in \$XDG_CONFIG_HOME/ravuone/ravuone.ini, start folder empty"
