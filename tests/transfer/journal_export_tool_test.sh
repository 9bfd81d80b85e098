#!/usr/bin/env bash
# marivent-convert journal2gpx and journal2csv as a user runs them: the offset of the settings
# beside the journal or --decalage, output names, the refusal to replace, errors and exit codes;
# the GPX read by an XML parser and the CSV by Python's csv module.
set -u
tool="$1"
work="$(mktemp -d)"
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
py=/usr/bin/python3
[ -x "$py" ] || fail "python3 is missing (scripts/install-deps.sh installs it)"

"$tool" --help | grep -q "journal2gpx JOURNAL" || fail "--help journal2gpx"
"$tool" --help | grep -q -- "--format-date" || fail "--help --format-date"

# A journal as the program writes it (CR LF, Windows-1252), the clock 2 h ahead of UTC: the entry
# at 22:10 UTC was written at 00:10 local under the date line of the 8th; one entry from before
# the GPS was valid and a note typed by hand.
crlf() { printf '%s\r\n' "$@"; }
{
  crlf "Heure        Position        Vi. Cap  Vers" "" "07/12/2026" ":        "
  printf '21:30 N4752.2720 W00355.0140  5,2 54  Les Gl\xe9nan \r\n'
  crlf "08/12/2026" "22:10 N4750.0000 W00354.0000  6, 180  Ile \"Verte\", nord "
  printf 'Escale \xe0 Groix\r\n'
  crlf "23:30 S4740.5000 E00350.2500  ,5 200   "
} > "$work/journal.txt"

# The settings beside it: five records of 128 bytes, a length (16 bits, little-endian) then the
# text; record 2 is the offset.
record() { printf "\\x$(printf %02x ${#1})\\x00%s" "$1"; head -c $((126 - ${#1})) /dev/zero; }
{ record 30; record 2; record 'c:\oziexplorer\data\'; record 'c:\cmap'; printf '\x02\x00\x01\x00'; head -c 124 /dev/zero; } > "$work/journlog.txt"
[ "$(stat -c %s "$work/journlog.txt")" -eq 640 ] || fail "settings file size"

# GPX beside the journal, the offset of the settings.
out="$("$tool" journal2gpx "$work/journal.txt" 2>"$work/err")" || fail "journal2gpx: $(cat "$work/err")"
[ "$out" = "écrit : $work/journal.gpx (3 points, décalage 2 h, pris dans $work/journlog.txt)" ] || fail "report: $out"
[ "$(wc -l < "$work/err")" -eq 1 ] || fail "not one line on stderr: $(cat "$work/err")"
grep -qx "marivent-convert : 1 entrée sans position et 1 ligne non reconnue (ligne 8) laissées hors de la trace." "$work/err" \
  || fail "count line: $(cat "$work/err")"
"$py" - "$work/journal.gpx" <<'EOF' || fail "GPX read back"
import sys, xml.etree.ElementTree as ET
ns = {"g": "http://www.topografix.com/GPX/1/1"}
root = ET.parse(sys.argv[1]).getroot()
assert root.get("version") == "1.1"
pts = root.findall("g:trk/g:trkseg/g:trkpt", ns)
got = [(p.get("lat"), p.get("lon"), p.find("g:time", ns).text, p.find("g:desc", ns).text) for p in pts]
want = [("47.8712", "-3.9169", "2026-12-07T21:30:00Z", "vitesse 5.2 nd, cap 54°, vers Les Glénan"),
        ("47.833333333", "-3.9", "2026-12-07T22:10:00Z", 'vitesse 6 nd, cap 180°, vers Ile "Verte", nord'),
        ("-47.675", "3.8375", "2026-12-07T23:30:00Z", "vitesse 0.5 nd, cap 200°")]
assert got == want, got
EOF

# A record 2 that is there but empty is an offset of 0 taken from the settings; a file that ends
# before record 2 holds no offset.
mkdir "$work/empty-offset" "$work/no-offset"
cp "$work/journal.txt" "$work/empty-offset/" && cp "$work/journal.txt" "$work/no-offset/"
{ record 30; record ''; } > "$work/empty-offset/journlog.txt"
record 30 > "$work/no-offset/journlog.txt"
out="$("$tool" journal2gpx "$work/empty-offset/journal.txt" 2>/dev/null)" || fail "empty record 2"
[ "$out" = "écrit : $work/empty-offset/journal.gpx (3 points, décalage 0 h, pris dans $work/empty-offset/journlog.txt)" ] \
  || fail "empty record 2: $out"
out="$("$tool" journal2gpx "$work/no-offset/journal.txt" 2>/dev/null)" || fail "no record 2"
[ "$out" = "écrit : $work/no-offset/journal.gpx (3 points, décalage 0 h, pas de décalage dans $work/no-offset/journlog.txt)" ] \
  || fail "no record 2: $out"

# A non-empty file is replaced only with --force.
before="$(md5sum < "$work/journal.gpx")"
"$tool" journal2gpx "$work/journal.txt" --decalage 0 >/dev/null 2>"$work/err" && fail "replaced without --force"
grep -q "n'est pas remplacé (--force pour le remplacer)" "$work/err" || fail "refusal message"
[ "$(md5sum < "$work/journal.gpx")" = "$before" ] || fail "changed without --force"
"$tool" journal2gpx "$work/journal.txt" --decalage 0 --force >"$work/out" 2>/dev/null || fail "--force"
grep -q "décalage 0 h, --decalage" "$work/out" || fail "offset of the option: $(cat "$work/out")"
grep -q "<time>2026-12-08T22:10:00Z</time>" "$work/journal.gpx" || fail "--decalage 0 not used"
# -o names the file; an empty file is replaced without --force.
: > "$work/empty.gpx"
"$tool" journal2gpx "$work/journal.txt" -o "$work/empty.gpx" --decalage -5,5 >/dev/null 2>&1 || fail "-o empty file"
grep -q "<time>2026-12-08T22:10:00Z</time>" "$work/empty.gpx" || fail "--decalage -5,5"
# -o may name a folder: the journal's name with .csv in it.
mkdir "$work/exports"
"$tool" journal2csv "$work/journal.txt" -o "$work/exports" 2>/dev/null | grep -q "^écrit : $work/exports/journal.csv (5 lignes," \
  || fail "-o folder"

# CSV read back by Python's csv module; the same from a journal with LF line ends.
"$tool" journal2csv "$work/journal.txt" >/dev/null 2>"$work/err" || fail "journal2csv"
grep -q "gardées avec des champs vides" "$work/err" || fail "csv count line: $(cat "$work/err")"
tr -d '\r' < "$work/journal.txt" > "$work/lf.txt"
"$tool" journal2csv "$work/lf.txt" >/dev/null 2>&1 || fail "journal2csv LF"
cmp -s "$work/journal.csv" "$work/lf.csv" || fail "LF journal gives another table"
"$py" - "$work/journal.csv" <<'EOF' || fail "CSV read back"
import csv, sys
with open(sys.argv[1], newline="", encoding="utf-8") as f:
    rows = list(csv.reader(f, strict=True))
assert rows[0] == ["Date UTC", "Heure UTC", "Latitude", "Longitude", "Vitesse (nœuds)", "Cap",
                   "Waypoint", "Ligne du journal", "N° de ligne", "Nature",
                   "Barrée et corrigée par"], rows[0]
want = [
    ["", "", "", "", "", "", "", ":        ", "4", "entrée", ""],
    ["2026-12-07", "21:30", "47.8712", "-3.9169", "5.2", "54", "Les Glénan",
     "21:30 N4752.2720 W00355.0140  5,2 54  Les Glénan ", "5", "entrée", ""],
    ["2026-12-07", "22:10", "47.833333333", "-3.9", "6", "180", 'Ile "Verte", nord',
     '22:10 N4750.0000 W00354.0000  6, 180  Ile "Verte", nord ', "7", "entrée", ""],
    ["", "", "", "", "", "", "", "Escale à Groix", "8", "ligne non reconnue", ""],
    ["2026-12-07", "23:30", "-47.675", "3.8375", "0.5", "200", "", "23:30 S4740.5000 E00350.2500  ,5 200   ",
     "9", "entrée", ""],
]
assert rows[1:] == want, rows[1:]
EOF
head -c 2 "$work/journal.csv" | grep -q "^Da" || fail "CSV starts with something before the header"

# A date line in no format: reported with its number, nothing written.
{ crlf "Heure        Position        Vi. Cap  Vers" "" "07/12/2026" "21:30 N4752.2720 W00355.0140  5,2 54  A " "12/25/2026" "22:30 N4752.2720 W00355.0140  5,2 54  A "; } > "$work/us.txt"
"$tool" journal2csv "$work/us.txt" 2>"$work/err" >/dev/null; [ $? -eq 1 ] || fail "bad date: status"
grep -q "us.txt, ligne 5 : « 12/25/2026 » n'est pas une date dd/MM/yyyy, dd.MM.yyyy ni yyyy-MM-dd." "$work/err" \
  || fail "bad date message: $(cat "$work/err")"
[ ! -e "$work/us.csv" ] || fail "written despite a bad date"
"$tool" journal2csv "$work/us.txt" --format-date MM/dd/yyyy --decalage 0 >/dev/null 2>&1 || fail "--format-date"
grep -q "^2026-12-25,22:30," "$work/us.csv" || fail "--format-date date"

# Errors: French message, status 1, nothing written.
journal_sum="$(md5sum < "$work/journal.txt")"
"$tool" journal2gpx "$work/absent.txt" 2>"$work/err"; [ $? -eq 1 ] || fail "missing journal: status"
grep -q "Impossible de lire le journal" "$work/err" || fail "missing journal message"
"$tool" journal2gpx "$work/journal.txt" -o "$work/journal.txt" --force 2>"$work/err"; [ $? -eq 1 ] || fail "over the journal: status"
grep -q "est le journal lui-même" "$work/err" || fail "over the journal message"
[ "$(md5sum < "$work/journal.txt")" = "$journal_sum" ] || fail "journal changed"
"$tool" journal2gpx "$work/journal.txt" -o "$work/no/such/dir/x.gpx" 2>"$work/err"; [ $? -eq 1 ] || fail "missing folder: status"
grep -q "n'a pas été écrit" "$work/err" || fail "missing folder message"
printf 'Chère Anne,\nle bateau va bien.\n' > "$work/letter.txt"
"$tool" journal2gpx "$work/letter.txt" 2>"$work/err"; [ $? -eq 1 ] || fail "not a journal: status"
grep -q "n'est pas un journal de bord" "$work/err" || fail "not a journal message"
[ ! -e "$work/letter.gpx" ] || fail "letter converted"
mkdir "$work/bad" && cp "$work/journal.txt" "$work/bad/" && printf 'x' > "$work/bad/journlog.txt"
chmod a-r "$work/bad/journlog.txt"
if ! [ -r "$work/bad/journlog.txt" ]; then # (root reads anything)
  "$tool" journal2gpx "$work/bad/journal.txt" 2>"$work/err"; [ $? -eq 1 ] || fail "unreadable settings: status"
  grep -q "Impossible de lire les préférences" "$work/err" || fail "unreadable settings message"
fi
"$tool" journal2gpx "$work/bad/journal.txt" --decalage 1 >/dev/null 2>&1 || fail "--decalage without readable settings"

# Usage errors: status 2.
for args in "journal2gpx" "journal2csv $work/journal.txt --decalage" "journal2gpx $work/journal.txt --decalage deux" \
            "journal2gpx $work/journal.txt --decalage 25" "journal2gpx $work/journal.txt --decalage 1.2.3" \
            "journal2csv $work/journal.txt --format-date dd/MM" "journal2csv $work/journal.txt --format-date" \
            "journal2csv $work/journal.txt --route" "journal2csv $work/journal.txt -o" \
            "journal2csv $work/journal.txt $work/lf.txt"; do
  # shellcheck disable=SC2086
  "$tool" $args >/dev/null 2>"$work/err"; [ $? -eq 2 ] || fail "usage status: $args"
  grep -q "(voir --help)" "$work/err" || fail "usage message: $args"
done
ls -a "$work" | grep -q '\.marivent-' && fail "temporary left"
echo "ok"
