#!/usr/bin/env bash
# The Debian package made by cpack, unpacked into a scratch root: the
# launcher, the program with its help, the desktop entry and icon, the
# tools, and the dependencies the package declares; the unpacked tools read
# a demo installation and the unpacked program finds every library.
# Usage: package_test.sh BUILD_DIR DEMO_TOOL
set -euo pipefail
build=$1
demo_tool=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" >/dev/null
deb=$(ls "$scratch"/out/velmora_*.deb)
root="$scratch/root"
dpkg -x "$deb" "$root"

for f in usr/bin/velmora usr/bin/velmora-sql usr/bin/velmora-batch usr/lib/velmora/velmora usr/lib/velmora/help/index.html \
         usr/share/applications/velmora.desktop usr/share/icons/hicolor/scalable/apps/velmora.svg; do
  [[ -e "$root/$f" ]] || fail "$f is not in the package"
done
[[ -x "$root/usr/bin/velmora" ]] || fail "the launcher is not executable"
grep -q '/../lib/velmora/velmora"$' "$root/usr/bin/velmora" || fail "the launcher does not start lib/velmora/velmora beside it"
grep -q '^Exec=velmora$' "$root/usr/share/applications/velmora.desktop" || fail "the desktop entry does not start velmora"

depends=$(dpkg-deb -f "$deb" Depends)
for p in arj fonts-liberation libqt6widgets6 libqt6webenginewidgets6 libsqlite3-0; do
  [[ ",$depends," == *", $p"* || "$depends" == "$p"* ]] || fail "Depends lacks $p: $depends"
done

if ldd "$root/usr/lib/velmora/velmora" | grep -q 'not found'; then
  fail "libraries missing: $(ldd "$root/usr/lib/velmora/velmora" | grep 'not found')"
fi

"$demo_tool" --out "$scratch/demo" --program "$root/usr/lib/velmora/velmora" >/dev/null
sheets=$("$root/usr/bin/velmora-sql" --data "$scratch/demo/DATA" "select count(*) from hlapa" | tail -1)
[[ "$sheets" =~ ^[0-9]+$ && "$sheets" -gt 0 ]] || fail "the unpacked velmora-sql read no sheets from the demo: $sheets"
# The data check from the unpacked root: the demo is clean, and the check
# changes nothing.
before=$(cd "$scratch/demo" && find . -type f -exec md5sum {} + | sort)
report=$(cd "$scratch/demo" && "$root/usr/bin/velmora-batch" check) || fail "velmora-batch check failed ($?): $report"
[[ "$report" == "Az adatok rendben vannak"* ]] || fail "velmora-batch check: $report"
[[ "$(cd "$scratch/demo" && find . -type f -exec md5sum {} + | sort)" == "$before" ]] || fail "the check changed the demo"
# A report from the unpacked tool: Qt's painting and the fonts the package
# depends on, with no display.
(cd "$scratch/demo" && env -u DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/velmora-batch" report doctors --pdf lista/orvosok.pdf 2>/dev/null) \
  || fail "velmora-batch report failed ($?)"
pdftotext "$scratch/demo/lista/orvosok.pdf" - | grep -q "Orvosok listája" || fail "the unpacked tool's report lacks its title"
# The first start from the desktop menu: an empty home, the unpacked
# launcher, no display. The program names the first window it shows (and
# closes every window), which is the first-start window, not an error.
mkdir "$scratch/home"
shown=$(cd "$scratch" && env -u DISPLAY -u VELMORA_HOME HOME="$scratch/home" QT_QPA_PLATFORM=offscreen \
          VELMORA_SHOW_AND_QUIT=1 timeout 120 "$root/usr/bin/velmora" 2>"$scratch/first.log") \
  || fail "the first start ended with $?: $(tail -5 "$scratch/first.log")"
[[ "$(head -1 <<<"$shown")" == "Elsoind" ]] || fail "the first start showed \"$shown\" instead of the first-start window"
[[ -d "$scratch/home/Velmora/DATA" ]] || fail "the first start made no data directory in ~/Velmora"
echo "ok: $(basename "$deb"), $sheets demo sheets read by the unpacked tool; $report"
