#!/usr/bin/env bash
# The program on an empty ROOT: it leaves the journal's three header lines, an empty settings
# file and a PNG of the window, and exits 0.
set -euo pipefail
bin=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
QT_QPA_PLATFORM=offscreen "$bin" --root "$root" --screenshot "$root/s.png"
[ -s "$root/s.png" ] || { echo "no picture"; exit 1; }
[ "$(head -c 8 "$root/s.png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || { echo "not a PNG"; exit 1; }
[ -f "$root/journlog.txt" ] && [ ! -s "$root/journlog.txt" ] || { echo "settings file not empty"; exit 1; }
lines=$(tr -cd '\n' < "$root/journal.txt" | wc -c)
[ "$lines" -eq 3 ] || { echo "journal has $lines lines"; exit 1; }
head -n 1 "$root/journal.txt" | grep -q $'^Heure        Position        Vi. Cap  Vers\r$' || { echo "bad header"; exit 1; }
# MARIVENT_ROOT stands for --root.
root2=$(mktemp -d)
trap 'rm -rf "$root" "$root2"' EXIT
MARIVENT_ROOT=$root2 QT_QPA_PLATFORM=offscreen "$bin" --screenshot "$root2/s.png"
[ -f "$root2/journal.txt" ] || { echo "MARIVENT_ROOT not used"; exit 1; }
"$bin" --help | grep -q -- --root || { echo "--help does not list --root"; exit 1; }
# The demonstration makes the default chart folders, with a route to convert, and says so.
root3=$(mktemp -d)
trap 'rm -rf "$root" "$root2" "$root3"' EXIT
out=$(QT_QPA_PLATFORM=offscreen "$bin" --demo --root "$root3" --screenshot "$root3/s.png")
[ -f "$root3/oziexplorer/data/glenan.rte" ] || { echo "no demonstration route"; exit 1; }
[ -d "$root3/Program Files/cmapecs/routes" ] || { echo "no C-Map folder"; exit 1; }
grep -q "dossier créé" <<<"$out" || { echo "the demonstration does not say what it made: $out"; exit 1; }
# A ROOT named that cannot be made is told, in French, and not put elsewhere.
root4=$(mktemp -d)
trap 'rm -rf "$root" "$root2" "$root3" "$root4"' EXIT
: >"$root4/fichier"
said=$(QT_QPA_PLATFORM=offscreen "$bin" --root "$root4/fichier/bord" --screenshot "$root4/s.png" 2>&1)
grep -qF "Le dossier $root4/fichier/bord (option --root) n'existe pas et ne peut pas être créé" <<<"$said" ||
  { echo "an unusable --root is not told: $said"; exit 1; }
[ "$(ls "$root4")" = "$(printf 'fichier\ns.png')" ] || { echo "ROOT put elsewhere: $(ls "$root4")"; exit 1; }
echo "screenshot: 1 passed, 0 failed"
