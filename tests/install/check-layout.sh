#!/usr/bin/env bash
# Checks an installed tree (PREFIX as `cmake --install --prefix` or an
# unpacked package lays it out): every file a user's system needs is there,
# the menu entry and metainfo validate where the validators exist, and the
# installed command-line tool finds the stock-image module from another
# folder, with no build tree around.
#
#   check-layout.sh PREFIX
#   check-layout.sh --install BUILD     cmake --install BUILD into a temporary
#                                       prefix first, then check that
set -euo pipefail
fail() { echo "check-layout: $*" >&2; exit 1; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
if [ "${1:-}" = "--install" ]; then
  cmake --install "${2:?--install needs a build folder}" --prefix "$scratch/prefix" >/dev/null ||
    fail "cmake --install $2 failed"
  set -- "$scratch/prefix"
fi
prefix=$(realpath "${1:?usage: check-layout.sh PREFIX}")

for path in bin/vantrelle bin/vantrelle-cli bin/vantrelle-boxsim share/vantrelle/vntres.dll \
            share/doc/vantrelle/guide.html share/doc/vantrelle/README share/doc/vantrelle/copyright \
            share/applications/org.vantrelle.Vantrelle.desktop \
            share/metainfo/org.vantrelle.Vantrelle.metainfo.xml share/mime/packages/vantrelle.xml \
            share/icons/hicolor/scalable/apps/vantrelle.svg \
            share/man/man1/vantrelle.1.gz share/man/man1/vantrelle-cli.1.gz share/man/man1/vantrelle-boxsim.1.gz; do
  [ -s "$prefix/$path" ] || fail "$prefix/$path is missing"
done
for size in 16 32 48 64 128 256; do
  png=$prefix/share/icons/hicolor/${size}x${size}/apps/vantrelle.png
  [ -s "$png" ] || fail "$png is missing"
  # The PNG header holds width and height, 32-bit big-endian, at bytes 16..23.
  read -r -a b < <(od -An -tu1 -j16 -N8 "$png")
  width=$(( (b[0] << 24) | (b[1] << 16) | (b[2] << 8) | b[3] ))
  height=$(( (b[4] << 24) | (b[5] << 16) | (b[6] << 8) | b[7] ))
  [ "$width" = "$size" ] && [ "$height" = "$size" ] || fail "$png is ${width}x${height}, not ${size}x${size}"
done
[ -x "$prefix/bin/vantrelle" ] && [ ! -e "$prefix/bin/vntres.dll" ] || fail "bin/ is not as installed"

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/org.vantrelle.Vantrelle.desktop" || fail "the menu entry does not validate"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$prefix/share/metainfo/org.vantrelle.Vantrelle.metainfo.xml" >/dev/null ||
    fail "the metainfo does not validate"
fi
if command -v man >/dev/null; then
  for page in vantrelle vantrelle-cli vantrelle-boxsim; do
    warnings=$(MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/$page.1.gz" 2>&1 >/dev/null) || true
    [ -z "$warnings" ] || fail "$page.1: $warnings"
    for option in --help --version; do
      MANWIDTH=80 man -l "$prefix/share/man/man1/$page.1.gz" 2>/dev/null | grep -Eq -- "^ *$option(,|$)" ||
        fail "$page.1 does not list $option"
    done
  done
fi

# The programs run from any folder: here an empty one far from the tree.
elsewhere=$scratch/elsewhere
mkdir "$elsewhere"
(cd "$elsewhere" && "$prefix/bin/vantrelle-cli" stock 105 out.bin) || fail "the installed vantrelle-cli stock 105 failed"
[ "$(stat -c %s "$elsewhere/out.bin")" = 32768 ] || fail "the stock image is not 32768 bytes"
(cd "$elsewhere" && "$prefix/bin/vantrelle-cli" extract out.bin out.vnt) || fail "the installed vantrelle-cli extract failed"
"$prefix/bin/vantrelle-boxsim" --help | grep -q -- --stock || fail "the installed vantrelle-boxsim does not run"
QT_QPA_PLATFORM=offscreen "$prefix/bin/vantrelle" --help 2>/dev/null | grep -q -- --sim-daq || fail "the installed vantrelle does not run"
# Every program names its version, the application without a display.
for program in vantrelle vantrelle-cli vantrelle-boxsim; do
  shown=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/$program" --version) ||
    fail "the installed $program --version failed"
  [[ $shown =~ ^$program\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "the installed $program --version says '$shown'"
done
echo "check-layout: $prefix ok"
