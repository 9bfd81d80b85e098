#!/usr/bin/env bash
# marivent-convert journal2pdf as a user runs it, its PDF read back by poppler: pdftotext finds
# the page numbers "page 1 / n" to "page n / n", every line of the journal in its row, the
# corrected line with its correction and the seal's state; pdftoppm draws every page on A4 without
# an error. Output names, the refusal to replace, the same bytes from the same journal.
set -u
tool="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
py=/usr/bin/python3
[ -x "$py" ] || fail "python3 is missing (scripts/install-deps.sh installs it)"
for p in pdftotext pdftoppm pdfinfo; do
  command -v $p >/dev/null || fail "$p is missing (poppler-utils; scripts/install-deps.sh installs it)"
done

"$tool" --help | grep -q "journal2pdf JOURNAL" || fail "--help journal2pdf"

# A journal as the program writes it (CR LF, Windows-1252) over two days, the clock 2 h ahead
# of UTC: 150 entries, a remark of 500 characters, a line typed in an editor, a byte Windows-1252
# leaves undefined, an entry corrected further down, an entry on a change of waypoint.
"$py" - "$work/journal.txt" <<'PY'
import sys
lines = ["Heure        Position        Vi. Cap  Vers", "", "07/12/2026"]
for k in range(150):
    if k == 100:
        lines.append("08/12/2026")
    h, m = divmod(8 * 60 + k * 5, 60)
    lines.append("%02d:%02d N47%02d.%04d W003%02d.%04d  5,%d %d  Les Gl\u00e9nan " %
                 (h % 24, m, 52 - k // 20, k * 37 % 10000, 55 - k // 20, k * 71 % 10000, k % 10, 100 + k))
    if k == 10:
        words = ("deux ris dans la grand-voile, le vent monte \u00e0 25 n\u0153uds, mer agit\u00e9e ; " * 9)[:500]
        lines.append("09:01 Remarque : " + words.strip())
    if k == 20:
        lines.append("Escale \u00e0 Groix, plein de gasoil (\u00e9crit \u00e0 la main) \udc81")
lines.append("20:41 Correction de la ligne 30 : cap 145, pas 125")
lines.append("20:45 N4745.0000 W00350.0000  6,1 200  Penfret  (changement de waypoint)")
open(sys.argv[1], "wb").write(("\r\n".join(lines) + "\r\n").encode("cp1252", "surrogateescape"))
PY
lines=$(wc -l < "$work/journal.txt")

out="$("$tool" journal2pdf "$work/journal.txt" --decalage 2 2>"$work/err")" || fail "journal2pdf: $(cat "$work/err")"
pages=$(pdfinfo "$work/journal.pdf" | sed -n 's/^Pages: *//p')
[ "$pages" -ge 3 ] || fail "$pages pages"
[ "$out" = "écrit : $work/journal.pdf ($pages pages, décalage 2 h, --decalage)" ] || fail "report: $out"
[ ! -s "$work/err" ] || fail "stderr: $(cat "$work/err")"
pdfinfo "$work/journal.pdf" > "$work/info"
for field in "Page size: *595 x 842 pts (A4)" "Title: *Journal de bord — journal.txt" "Producer: *Marivent"; do
  grep -q "^$field" "$work/info" || fail "pdfinfo: no $field"
done

# The text as poppler reads it, page by page (form feeds between pages).
pdftotext -layout "$work/journal.pdf" "$work/journal.text" || fail "pdftotext"
"$py" - "$work/journal.text" "$pages" "$lines" <<'PY' || fail "text read back"
import re, sys
text = open(sys.argv[1], encoding="utf-8").read()
pages, lines = int(sys.argv[2]), int(sys.argv[3])
sheets = text.split("\f")
assert sheets[-1].strip() == "", repr(sheets[-1])
sheets = sheets[:-1]
assert len(sheets) == pages, len(sheets)
for k, sheet in enumerate(sheets, 1):
    found = re.findall(r"page (\d+) / (\d+)", sheet)
    assert found == [(str(k), str(pages))], (k, found)
first = sheets[0]
assert "Journal de bord — journal.txt" in first
# The dates are UTC: the first entries, at 08:00 UTC, were written on the 7th local time.
assert "Période : du 07/12/2026 au 08/12/2026 (dates UTC)." in first, first[:400]
assert "Sceau : absent." in first
# Every line of the journal but the header, the empty line and the date lines, once, in order:
# its number at the left edge (a wrapped text goes on further right).
rows = [int(m.group(1)) for m in re.finditer(r"^ {0,8}(\d+) ", text, re.M)]
expected = [n for n in range(4, lines + 1) if n != 106]
assert rows == expected, [r for r in rows if r not in expected][:5] or [r for r in expected if r not in rows][:5]
body = " ".join(text.split())
assert re.search(r"^ *4 +07/12/2026 +08:00 +47°52,000' N 003°55,000' W +5,0 +100° +Les Glénan$",
                 text, re.M), text[:1200]
# The entry written on a change of waypoint: its mark under it, not in the waypoint.
assert re.search(r"^ *158 +08/12/2026 +20:45 +47°45,000' N 003°50,000' W +6,1 +200° +Penfret\n"
                 r" +\(changement de waypoint\)$", text, re.M), text[-600:]
# The remark whole, over several lines.
words = " ".join((("deux ris dans la grand-voile, le vent monte à 25 nœuds, mer agitée ; " * 9)[:500]).split())
assert words in body, "remark"
assert "Escale à Groix, plein de gasoil (écrit à la main) ?" in body
# The correction as its own row; the corrected line (struck) with its text, the correction under it.
assert re.search(r"^ *157 +08/12/2026 +20:41 +Correction de la ligne 30 : cap 145, pas 125", text, re.M)
struck = re.search(r"^ *30 +07/12/2026 +10:00 +47°51,\d{3}' N 003°54,\d{3}' W +5,4 +124° +Les Glénan\n"
                   r" +corrigée ligne 157 : cap 145, pas 125$", text, re.M)
assert struck, text[text.find("  29 "):text.find("  32 ")]
PY

# Every page drawn, the size of A4 at 72 dots per inch.
pdftoppm -png -r 72 "$work/journal.pdf" "$work/page" 2>"$work/err" || fail "pdftoppm: $(cat "$work/err")"
[ ! -s "$work/err" ] || fail "pdftoppm said: $(cat "$work/err")"
"$py" - "$work" "$pages" <<'PY' || fail "pages drawn"
import glob, struct, sys, zlib
files = sorted(glob.glob(sys.argv[1] + "/page-*.png"))
assert len(files) == int(sys.argv[2]), files
for f in files:
    data = open(f, "rb").read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", f
    width, height = struct.unpack(">II", data[16:24])
    assert (width, height) == (595, 842), (f, width, height)
PY

# Beside the journal by default, never replaced without --force; -o names the file.
before="$(md5sum < "$work/journal.pdf")"
"$tool" journal2pdf "$work/journal.txt" --decalage 2 >/dev/null 2>"$work/err"; [ $? -eq 1 ] || fail "replaced without --force"
grep -q "n'est pas remplacé (--force pour le remplacer)" "$work/err" || fail "refusal: $(cat "$work/err")"
[ "$(md5sum < "$work/journal.pdf")" = "$before" ] || fail "changed without --force"
"$tool" journal2pdf "$work/journal.txt" --decalage 2 --force >/dev/null 2>&1 || fail "--force"
[ "$(md5sum < "$work/journal.pdf")" = "$before" ] || fail "another PDF from the same journal"
"$tool" journal2pdf "$work/journal.txt" -o "$work/copie.pdf" --decalage 2 >/dev/null 2>&1 || fail "-o"
cmp -s "$work/journal.pdf" "$work/copie.pdf" || fail "-o gives another PDF"

# A journal that cannot be read: said in French, status 1, nothing written.
"$tool" journal2pdf "$work/absent.txt" 2>"$work/err"; [ $? -eq 1 ] || fail "missing journal: status"
grep -q "Impossible de lire le journal" "$work/err" || fail "missing journal message"
[ ! -e "$work/absent.pdf" ] || fail "written for a missing journal"
echo "journal_pdf_tool: passed"
