#!/usr/bin/env bash
# Makes the sample pictures of the help file's report chapter
# (docs/help/minta/*.png) from a fresh demo installation: the reports are
# written by velmora-batch, the month 2026.04 shipped and the fund's answer
# for it read back first, and each report's first page drawn by pdftoppm.
# The pictures of windows (the register made larger, the help window) are
# drawn by their window tests, offscreen.
# Usage: scripts/help-samples.sh   (after a build in build/)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build
out=$root/docs/help/minta
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$build/tools/velmora-demo" --out "$work/demo" --program "$build/velmora" --until 2026.04 >/dev/null
cd "$work/demo"
batch() { "$build/tools/velmora-batch" --data DATA "$@" 2>/dev/null; }

batch ship 2026.04 --yes
# The fund's answer for the month: every visit day of two sheets paid.
mkdir -p RUV
fund() { /usr/bin/python3 "$root/tests/support/python/fund_files.py" "RUV/$1" "$2" "$3"; }
fund HEa4711.dbf "KABKOD C(4)" '[["4711"]]'
fund HEc4711.dbf "KABKOD C(4)" '[["4711"]]'
paid=$("$build/tools/velmora-sql" --data DATA \
  "select b.sorsz, b.resz, b.apdat1, b.apdat2, b.apdat3 from hlapb b where b.idoszak='2026.04' and b.apdat1 is not null limit 2" \
  | tail -n +2 | awk -F'\t' '{ for (i = 3; i <= NF; ++i) if ($i != "") { gsub(/\./, "-", $i);
      printf "%s[\"4711\",%d,\"202604\",\"%s\",\"%s\",\"A1\"]", (n++ ? "," : ""), $1, $2, $i } }')
fund HEb4711.dbf "KABKOD C(4); SORSZAM N(5,0); IDOSZAK C(6); RESZ C(1); APDATUM D; ELSZIDO C(7)" "[$paid]"
fund HRuv4711.dbf "IDOSZAK C(7); ALAPDIJ N(10,2); ELOLEG N(12,1)" '[["2026.04",7150.00,350000.0]]'
batch import-billed RUV --period 2026.04 --yes

draw() {  # name, then the report's arguments
  local name=$1
  shift
  batch "$@" --pdf "lista/$name.pdf"
  pdftoppm -r 60 -png -singlefile -f 1 -l 1 "lista/$name.pdf" "$out/$name"
}
draw elszamolasi-lap --period 2026.04 report sheets --sheets 2026.04/00013C
draw havi-osszesito --period 2026.04 report monthly-summary --orders 3
draw havonkenti-elszamolas --period 2026.04 report monthly-accounting
draw dolgozok-napjai --period 2026.04 report employee-days
draw taj-lista --period 2026.04 report taj-list
draw bno-lista report bno-chapter --chapter C00-D48
shots() {  # test program, test class, test function
  VELMORA_SHOTS=$out QT_QPA_PLATFORM=offscreen "$build/tests/$1" "$2" "$3" >/dev/null
}
shots test_register_ui RegisterWindowTest theRegisterGrowsAndOpensAgainAsItWasLeft
shots test_widgets HelpWindowTest showsTheInstalledHelpWithChaptersAndPictures
echo "A minták elkészültek: $out"
