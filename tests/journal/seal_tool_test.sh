#!/usr/bin/env bash
# marivent-convert journal-verifier as a user runs it: a journal sealed here by Python's hashlib,
# so the seal's format is checked against another SHA-256 than the program's; the verdicts and
# exit codes of an intact journal, of changed ones and of a seal missing or unreadable.
set -u
tool="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
py=/usr/bin/python3
[ -x "$py" ] || fail "python3 is missing (scripts/install-deps.sh installs it)"

"$tool" --help | grep -q "journal-verifier JOURNAL" || fail "--help journal-verifier"

# A journal of 6 lines written before the seal, then 20 sealed lines.
crlf() { printf '%s\r\n' "$@"; }
{
  crlf "Heure        Position        Vi. Cap  Vers" "" "07/12/2026"
  printf '21:30 N4752.2720 W00355.0140  5,2 54  Les Gl\xe9nan \r\n'
  crlf "08/12/2026" "22:10 N4750.0000 W00354.0000  6, 180  Ile "
  for k in $(seq 10 29); do crlf "23:$k S4740.5000 E00350.2500  ,5 200   "; done
} > "$work/journal.txt"
seal() {
  "$py" - "$work/journal.txt" "$work/journal.sceau" <<'PY'
import hashlib, sys
lines = open(sys.argv[1], "rb").read().splitlines(keepends=True)
out = [b"Sceau du journal de bord Marivent, SHA-256, version 1", b"debut 6"]
prev = b""
for n, line in enumerate(lines[6:], start=7):
    prev = hashlib.sha256(prev + line).digest()
    out.append(b"%d %s" % (n, prev.hex().encode()))
open(sys.argv[2], "wb").write(b"".join(l + b"\r\n" for l in out))
PY
}
seal || fail "writing the seal"
cp "$work/journal.txt" "$work/good.txt"
cp "$work/journal.sceau" "$work/good.sceau"

out="$("$tool" journal-verifier "$work/journal.txt" 2>"$work/err")"; rc=$?
[ $rc -eq 0 ] || fail "intact: exit $rc: $(cat "$work/err")"
[ "$out" = "$work/journal.txt : intact, 20 lignes scellées sur 26 (sceau $work/journal.sceau). Lignes 1 à 6 non scellées (écrites avant le sceau ou sans lui)." ] \
  || fail "intact report: $out"
[ ! -s "$work/err" ] || fail "intact: stderr: $(cat "$work/err")"

# Changed outside the program: each verdict names the first line that differs, exit 1.
expect_altered() { # WHAT LINE
  out="$("$tool" journal-verifier "$work/journal.txt" 2>&1)"; rc=$?
  [ $rc -eq 1 ] || fail "$1: exit $rc: $out"
  case $out in *"à partir de la ligne $2 "*) ;; *) fail "$1: $out" ;; esac
  cmp -s "$work/journal.sceau" "$work/good.sceau" || fail "$1: the seal was changed"
  cp "$work/good.txt" "$work/journal.txt"
}
sed -i '12s/23:15/23:16/' "$work/journal.txt"; expect_altered "a minute changed" 12
sed -i '9d' "$work/journal.txt"; expect_altered "a line deleted" 9
sed -i '20i\
00:00 N0000.0000 E00000.0000  0 0   \r' "$work/journal.txt"; expect_altered "a line inserted" 20
sed -i '15{h;d};16{G}' "$work/journal.txt"; expect_altered "two lines swapped" 15
head -n 24 "$work/good.txt" > "$work/journal.txt"; expect_altered "the end cut off" 25
out="$(head -n 24 "$work/good.txt" > "$work/journal.txt"; "$tool" journal-verifier "$work/journal.txt" 2>&1)"
case $out in *"il s'arrête à la ligne 24"*) ;; *) fail "cut: $out" ;; esac
cp "$work/good.txt" "$work/journal.txt"

# A change before the seal is not seen; a line added at the end is said, not sealed.
sed -i '4s/Gl/gl/' "$work/journal.txt"
"$tool" journal-verifier "$work/journal.txt" >/dev/null 2>&1 || fail "a change in the unsealed part"
crlf "23:59 S4740.5000 E00350.2500  ,5 200   " >> "$work/journal.txt"
out="$("$tool" journal-verifier "$work/journal.txt" 2>&1)" || fail "an added line: exit $?"
case $out in *"Ligne 27 pas encore scellée"*) ;; *) fail "an added line: $out" ;; esac
cp "$work/good.txt" "$work/journal.txt"

# The seal missing, cut short or garbage: said, exit 1, nothing written.
expect_unverified() { # WHAT TEXT
  out="$("$tool" journal-verifier "$work/journal.txt" 2>&1)"; rc=$?
  [ $rc -eq 1 ] || fail "$1: exit $rc: $out"
  case $out in *"$2"*) ;; *) fail "$1: $out" ;; esac
  cmp -s "$work/journal.txt" "$work/good.txt" || fail "$1: the journal was changed"
}
rm "$work/journal.sceau"
expect_unverified "no seal" "Aucun sceau $work/journal.sceau"
[ ! -e "$work/journal.sceau" ] || fail "a seal was written"
head -c 300 "$work/good.sceau" > "$work/journal.sceau"
expect_unverified "a seal cut short" "illisible (sa dernière ligne est coupée)"
head -c 2000 /dev/urandom > "$work/journal.sceau"
expect_unverified "garbage" "illisible"
: > "$work/journal.sceau"
expect_unverified "an empty seal" "illisible (il est vide)"

# Usage errors and a journal that cannot be read.
"$tool" journal-verifier >/dev/null 2>&1; [ $? -eq 2 ] || fail "no journal: not 2"
"$tool" journal-verifier a b >/dev/null 2>&1; [ $? -eq 2 ] || fail "two journals: not 2"
"$tool" journal-verifier --x "$work/journal.txt" >/dev/null 2>&1; [ $? -eq 2 ] || fail "unknown option: not 2"
out="$("$tool" journal-verifier "$work/none.txt" 2>&1)"; [ $? -eq 1 ] || fail "missing journal: not 1"
case $out in *"Impossible de lire le journal"*) ;; *) fail "missing journal: $out" ;; esac
echo "journal-verifier: 1 passed, 0 failed"
