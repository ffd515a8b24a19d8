#!/usr/bin/env bash
# Checks the installed package the way an application team meets it: installs the build into a
# temporary prefix, builds examples/ from there with find_package(Core) (not from the build tree),
# draws a curve stored in a data.db upgraded by the installed dbupdate, and checks the picture's
# size. Also checks the pkg-config file by compiling and running a small program with it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
cmake -S . -B build -G Ninja
cmake --build build

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/prefix
cmake --install build --prefix "$prefix" > "$tmp/install.log"

fail() {
    echo "check-install: $*" >&2
    exit 1
}

libdir=$(cmake -LA -N build | sed -n 's/^CMAKE_INSTALL_LIBDIR:PATH=//p')
echo "== installed files"
for file in "$libdir/libCore.so" "$libdir/libCore.so.1" include/Core/profile.h \
    include/Core/analysisresult.h include/Core/cgglobal.h include/Core/serial.h \
    include/Core/core_export.h bin/dbupdate share/Core/translations/core_en.qm \
    share/Core/translations/dbupdate_en.qm "$libdir/cmake/Core/CoreConfig.cmake" \
    "$libdir/cmake/Core/CoreConfigVersion.cmake" "$libdir/pkgconfig/core.pc"; do
    [ -e "$prefix/$file" ] || fail "$file is not installed"
    echo "  $file"
done
readelf -d "$prefix/$libdir/libCore.so" | grep -q 'SONAME.*\[libCore\.so\.1\]' \
    || fail "libCore.so has no SONAME libCore.so.1"

echo "== examples built against $prefix"
cmake -S examples -B "$tmp/examples" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" > "$tmp/examples.log"
core_dir=$(cmake -LA -N "$tmp/examples" | sed -n 's/^Core_DIR:PATH=//p')
[ "$core_dir" = "$prefix/$libdir/cmake/Core" ] || fail "examples found Core in '$core_dir'"
cmake --build "$tmp/examples"
curveview=$tmp/examples/curveview/curveview

# A working directory as the application leaves it, upgraded by the installed tool, with one
# clotting curve stored the way ClotCurve::save stores it: a PT curve of 300 readings.
work=$tmp/work
bash tools/make-legacy-fixtures.sh "$work" 0
(cd "$work" && "$prefix/bin/dbupdate") || fail "dbupdate failed on the fixture"
record=$(python3 - <<'PY'
import math, struct
values = [round(3000 - 900 / (1 + math.exp(-(0.1 * i - 11.0))) + 5 * math.sin(i)) for i in range(300)]
print((struct.pack('>iI', 0, 1) + struct.pack('>ddI', 0.0, 0.1, len(values))
       + struct.pack('>%dd' % len(values), *values)).hex())
PY
)
sqlite3 "$work/data.db" "insert into curve (patientId, item, curve) values (2, 'PT', x'$record')"

# The PNG header's first chunk holds the width and height, big-endian, at bytes 16 to 23.
png_size() {
    od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d", $1*16777216 + $2*65536 + $3*256 + $4,
                                                     $5*16777216 + $6*65536 + $7*256 + $8 }'
}
check_png() {
    [ -s "$1" ] || fail "$1 was not written"
    [ "$(od -An -tx1 -N8 "$1" | tr -d ' ')" = 89504e470d0a1a0a ] || fail "$1 is not a PNG"
    [ "$(png_size "$1")" = 1000x600 ] || fail "$1 is $(png_size "$1"), not 1000x600"
    echo "  $1: PNG 1000x600"
}

echo "== curveview"
# The offscreen platform wants a runtime directory of the user's own.
export XDG_RUNTIME_DIR=$tmp/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
"$curveview" "$work/data.db" 2 PT -o "$tmp/pt.png"
check_png "$tmp/pt.png"
(cd "$tmp" && "$curveview" > /dev/null)
check_png "$tmp/curve.png"
# Bad input: a damaged record (the fixture's patient 1), a key without a curve, a missing file.
for args in "$work/data.db 1 PT" "$work/data.db 2 APTT" "$tmp/missing.db 1 PT"; do
    status=0
    # shellcheck disable=SC2086
    "$curveview" $args -o "$tmp/bad.png" 2> "$tmp/err" || status=$?
    [ "$status" -eq 1 ] || fail "curveview $args exited with $status, not 1"
    [ ! -e "$tmp/bad.png" ] || fail "curveview $args wrote a picture"
    echo "  curveview $args: exit 1, $(tail -n 1 "$tmp/err")"
done
# curveview reads data.db through a link in a directory of its own: the user's file must stay.
"$curveview" "$work/data.db" 2 PT -o "$tmp/again.png" > /dev/null
cmp -s "$tmp/pt.png" "$tmp/again.png" || fail "a second picture of the same curve differs"

echo "== pkg-config core"
export PKG_CONFIG_PATH=$prefix/$libdir/pkgconfig
cflags=$(pkg-config --cflags core)
libs=$(pkg-config --libs core)
echo "  --cflags: $cflags"
echo "  --libs:   $libs"
# The .pc file finds the prefix from where it lies, so its paths hold "..".
has_dir() {
    local option=$1 dir=$2 flag
    shift 2
    for flag in "$@"; do
        [[ "$flag" == "$option"* && "$(realpath -m "${flag#"$option"}")" == "$dir" ]] && return 0
    done
    return 1
}
# shellcheck disable=SC2086
has_dir -I "$prefix/include/Core" $cflags || fail "--cflags lacks $prefix/include/Core"
# shellcheck disable=SC2086
has_dir -L "$prefix/$libdir" $libs || fail "--libs lacks $prefix/$libdir"
[[ " $libs " == *" -lCore "* ]] || fail "--libs lacks -lCore"
cat > "$tmp/app.cpp" <<'CPP'
#include <analysisresult.h>
#include <profile.h>
#include <serial.h>

int main()
{
    const AnalysisResult result(12.5);
    return result.isValid() && result.value() == 12.5 ? 0 : 1;
}
CPP
# Qt's headers ask for position-independent code from the programs that include them.
# shellcheck disable=SC2086
g++ -std=c++17 -fPIC $cflags "$tmp/app.cpp" -o "$tmp/app" $libs
LD_LIBRARY_PATH=$prefix/$libdir "$tmp/app" || fail "the pkg-config program failed"
echo "  a program built with its flags runs"
echo "== the installed package works"
