#!/usr/bin/env bash
# The desktop's side of paintings, from a scratch install (DESTDIR, no root
# needed; nothing of the system's databases is touched):
#   - the file type: its XML builds a scratch MIME database, through which
#     a painting is known by its name and by its bytes, and a zip that is
#     not a painting stays a zip;
#   - the menu entry opens the type (and validates);
#   - the thumbnailer entry names the installed thumbnailer, which turns a
#     painting into a picture of the asked size and refuses what it cannot
#     read with one line, leaving no file;
#   - the package's build compiles no test, and the Debian package holds
#     these files.
#   desktop_test.sh CMAKE CPACK BUILD_DIR MAKE_TEST_PAINTING
set -uo pipefail
cmake=$1
cpack=$2
build=$(realpath "$3")
make_painting=$4
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
source "$(dirname "$0")/../support/x_session.sh"  # fail, needs
# size_of PICTURE: "PNG WIDTH x HEIGHT" for a PNG.
size_of() { identify -format '%m %w x %h' "$1" 2>/dev/null; }
for tool in update-mime-database update-desktop-database desktop-file-validate gio dpkg-deb ninja identify; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/ensure_packages.sh)"
done
# quiet WHAT COMMAND...: COMMAND succeeds and says nothing.
quiet() { report=$("${@:2}" 2>&1) && [ -z "$report" ] || fail "$1: $report"; }

DESTDIR=$tmp/root "$cmake" --install "$build" --prefix /usr >"$tmp/install.log" 2>&1 ||
  fail "install failed: $(tail -n 5 "$tmp/install.log")"
usr=$tmp/root/usr
files="$tmp/my files"
mkdir -p "$files"
"$make_painting" "$files/a painting.kelvra" 200 100 || fail "no painting made"

# ---- The entries
desktop=$usr/share/applications/kelvra.desktop
quiet desktop-file-validate desktop-file-validate "$desktop"
# holds FILE LINE...: FILE has every LINE, whole.
holds() { for line in "${@:2}"; do grep -qxF -- "$line" "$1" || return 1; done; }
mime="MimeType=application/x-kelvra-painting;"
holds "$desktop" "Exec=kelvra %f" "Icon=kelvra" "$mime" ||
  fail "the menu entry does not hand kelvra paintings, with its icon"
thumbnailer=$usr/share/thumbnailers/kelvra.thumbnailer
holds "$thumbnailer" "[Thumbnailer Entry]" "TryExec=kelvra-thumbnailer" \
  "Exec=kelvra-thumbnailer %i %o %s" "$mime" ||
  fail "the thumbnailer entry does not start kelvra-thumbnailer for paintings: $(cat "$thumbnailer")"
[ -x "$usr/bin/kelvra-thumbnailer" ] || fail "the thumbnailer is not in bin"

# Every icon is a PNG of its folder's size.
for size in 16 32 48 64 128 256; do
  [ "$(size_of "$usr/share/icons/hicolor/${size}x${size}/apps/kelvra.png")" = "PNG $size x $size" ] ||
    fail "the ${size}px icon is no PNG of that size"
done

# ---- The file type and the program for it, through scratch databases
data=$tmp/data
mkdir -p "$data" "$tmp/home"
cp -r "$usr/share/mime" "$usr/share/applications" "$data/"
# Run as where the databases are searched, it says nothing unless the XML
# is wrong.
export XDG_DATA_HOME=$tmp/home XDG_DATA_DIRS=$data:/usr/share GIO_USE_VFS=local
quiet update-mime-database update-mime-database "$data/mime"
[ -f "$data/mime/application/x-kelvra-painting.xml" ] || fail "the type is not in the database"
update-desktop-database "$data/applications" || fail "update-desktop-database failed"
grep -qx "application/x-kelvra-painting=kelvra.desktop;" "$data/applications/mimeinfo.cache" ||
  fail "paintings do not open with Kelvra: $(cat "$data/applications/mimeinfo.cache")"
info() { gio info -a "standard::$2" "$1" | sed -n "s/^ *standard::$2: //p"; }
cp "$files/a painting.kelvra" "$files/renamed"
# A name of another type wins over the bytes, as the README says.
cp "$files/a painting.kelvra" "$files/renamed.zip"
# The same bytes with the entry's type changed: a zip, but no painting.
cp "$files/a painting.kelvra" "$files/other"
printf 'x-other-thing' | dd of="$files/other" bs=1 seek=50 conv=notrunc status=none
for expected in "a painting.kelvra=application/x-kelvra-painting" \
  "renamed=application/x-kelvra-painting" "renamed.zip=application/zip" "other=application/zip"; do
  found=$(info "$files/${expected%%=*}" content-type)
  [ "$found" = "${expected#*=}" ] || fail "${expected%%=*} is of type '$found', not ${expected#*=}"
done
[[ $(info "$files/renamed" icon) == kelvra,* ]] || fail "a painting is not shown with Kelvra's icon"

# ---- The thumbnailer
run_thumbnailer() { "$usr/bin/kelvra-thumbnailer" "$@" >"$tmp/stdout" 2>"$tmp/stderr"; }
out=$tmp/thumbnails
mkdir -p "$out"
# Fitted into the square with its proportions; never enlarged.
for expected in "64=PNG 64 x 32" "1024=PNG 200 x 100"; do
  size=${expected%%=*}
  run_thumbnailer "$files/a painting.kelvra" "$out/$size.png" "$size" && [ ! -s "$tmp/stdout" ] &&
    [ ! -s "$tmp/stderr" ] || fail "no quiet thumbnail of size $size: $(cat "$tmp/stderr")"
  [ "$(size_of "$out/$size.png")" = "${expected#*=}" ] || fail "size $size gave no ${expected#*=} PNG"
done
rm -f "$out"/*

# Refused with one line naming the file and the reason, and no file left.
"$make_painting" "$files/bare.kelvra" none || fail "no painting made"
head -c 300 "$files/a painting.kelvra" >"$files/broken.kelvra"
refused() {  # refused INPUT REASON [SIZE [OUTPUT]]
  local input=$1 reason=$2 size=${3:-128}
  run_thumbnailer "$input" "${4:-$out/picture.png}" "$size" && fail "a thumbnail of $input with size $size"
  [ "$(wc -l <"$tmp/stderr")" -eq 1 ] && grep -qF "kelvra-thumbnailer: " "$tmp/stderr" &&
    grep -qF "$reason" "$tmp/stderr" || fail "for $input: '$(cat "$tmp/stderr")' is not one line saying '$reason'"
  [ -z "$(ls -A "$out")" ] || fail "files left after $input: $(ls -A "$out")"
}
refused "$files/broken.kelvra" "$files/broken.kelvra: the file is cut short or damaged"
refused "$files/bare.kelvra" "$files/bare.kelvra: it holds no thumbnail"
refused "$files/other" "$files/other: entry \"mimetype\" is damaged"
mkfifo "$files/pipe.kelvra"
refused "$files/pipe.kelvra" "cannot open $files/pipe.kelvra: not a regular file"
refused "$files/missing.kelvra" "cannot open $files/missing.kelvra: No such file or directory"
refused "$files/a painting.kelvra" "SIZE 0 is not a whole number from 1 up" 0
refused "$files/a painting.kelvra" "cannot write $tmp/no folder/picture.png: No such file or directory" 64 \
  "$tmp/no folder/picture.png"

# ---- The package's build as the README's Install section has a person run
# it: configured with the options of its cmake line, it builds the programs
# and no test or benchmark, which would only lengthen that build.
root=$(realpath "$(dirname "$0")/../..")
read -r -a options <<<"$(grep -m 1 'cpack -G DEB' "$root/README.md" | grep -oE -- '-D[A-Z_]+=[A-Z]+' | tr '\n' ' ')"
"$cmake" -S "$root" -B "$tmp/build" -G Ninja "${options[@]}" >"$tmp/configure.log" 2>&1 ||
  fail "configuring with ${options[*]} failed: $(tail -n 5 "$tmp/configure.log")"
targets=$(ninja -C "$tmp/build" -t targets all | cut -d: -f1)
for program in app/kelvra play/kelvra-play tools/thumbnailer/kelvra-thumbnailer; do
  grep -qxF "$program" <<<"$targets" || fail "$program is not built"
done
! grep -E '^(tests|bench)/' <<<"$targets" || fail "with ${options[*]:-no options} the build compiles tests or benchmarks"

# ---- The package holds them, and no scripts: dpkg's triggers update the
# databases.
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/package" >"$tmp/cpack.log" 2>&1 ||
  fail "cpack failed: $(tail -n 5 "$tmp/cpack.log")"
package=$(ls "$tmp"/package/kelvra_*.deb) || fail "no package made"
contents=$(dpkg-deb -c "$package" | awk '{print $NF}')
for file in ./usr/bin/kelvra-thumbnailer ./usr/share/thumbnailers/kelvra.thumbnailer \
  ./usr/share/mime/packages/kelvra-painting.xml ./usr/share/applications/kelvra.desktop; do
  grep -qxF "$file" <<<"$contents" || fail "the package lacks $file"
done
dpkg-deb -e "$package" "$tmp/control"
! ls "$tmp/control" | grep -E '^(pre|post)(inst|rm)$' || fail "the package has maintainer scripts"
echo "PASS"
