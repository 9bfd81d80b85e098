#!/usr/bin/env bash
# marivent-convert as a user runs it: output names, the refusal to replace, --force, errors.
set -u
tool="$1"
here="$(cd "$(dirname "$0")" && pwd)"
data="$here/../data/ozi"
work="$(mktemp -d)"
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

"$tool" --help | grep -q "ozi2cmap" || fail "--help"

cp "$data/ozi.rte" "$work/ile.rte"
out="$("$tool" ozi2cmap "$work/ile.rte")" || fail "ozi2cmap"
[ -s "$work/ile" ] || fail "no C-Map route ile"
echo "$out" | grep -q "écrit : $work/ile (4 waypoints)" || fail "report: $out"
before="$(md5sum < "$work/ile")"

# A non-empty file is not replaced without --force.
printf 'x' > "$work/ile"
"$tool" ozi2cmap "$work/ile.rte" 2>"$work/err" && fail "replaced without --force"
grep -q "n'est pas remplacé" "$work/err" || fail "refusal message"
[ "$(cat "$work/ile")" = x ] || fail "file changed without --force"
"$tool" ozi2cmap "$work/ile.rte" --force >/dev/null || fail "--force"
[ "$(md5sum < "$work/ile")" = "$before" ] || fail "--force wrote something else"

# C-Map to OziExplorer into another folder, route first.
mkdir "$work/o"
out="$("$tool" cmap2ozi "$work/ile" --route --waypoints -o "$work/o")" || fail "cmap2ozi"
[ "$(echo "$out" | head -1)" = "écrit : $work/o/ile.rte (4 waypoints)" ] || fail "order: $out"
echo "$out" | grep -q "dernière latitude lue :  34 28.65S" || fail "latitude: $out"
head -1 "$work/o/ile.wpt" | grep -q "^OziExplorer Waypoint File Version 1.1" || fail "wpt"
# Neither option: read only.
"$tool" cmap2ozi "$work/ile" -o "$work/none" | grep -q "dernière latitude" || fail "read only"
[ ! -e "$work/none" ] || fail "read only wrote"

# Errors: French message, non-zero status, nothing written.
"$tool" ozi2cmap "$work/absent.rte" 2>"$work/err" && fail "missing source"
grep -q "Impossible de lire" "$work/err" || fail "missing source message"
"$tool" ozi2cmap "$work/ile.rte" -o "$work/no/such/dir" 2>"$work/err" && fail "missing folder"
grep -q "n'a pas été écrit" "$work/err" || fail "missing folder message"
"$tool" cmap2ozi "$work/ile.rte" --route -o "$work/o2" 2>"$work/err" && fail "not C-Map"
grep -q "pas une route C-Map ECS" "$work/err" || fail "not C-Map message"
"$tool" ozi2cmap 2>/dev/null; [ $? -eq 2 ] || fail "no file: status"
"$tool" frobnicate x 2>/dev/null; [ $? -eq 2 ] || fail "unknown command: status"
"$tool" ozi2cmap "$work/ile.rte" --route 2>/dev/null; [ $? -eq 2 ] || fail "--route with ozi2cmap"
ls "$work" | grep -q '\.marivent-' && fail "temporary left"
echo "ok"
