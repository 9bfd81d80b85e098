#!/usr/bin/env bash
# marivent-pilot as a whole process: exact bytes out for a small stream, every line ending read.
set -euo pipefail
pilot=$1
fail() { echo "pilot: $*"; echo "0 passed, 1 failed"; exit 1; }

"$pilot" --help | grep -q 'AGAPA' || fail "--help does not say what it does"

apa=$'$AGAPA,A,A,0.66,L,N,A,A,052.5,T,004*06\r\n'
rmb='$GPRMB,A,0.66,L,003,004,4917.24,N,12309.57,W,001.3,052.5,000.5,V*20'
gga='$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47'
for ending in $'\r\n' $'\n' $'\r'; do
  out=$(printf '%s' "junk${ending}${rmb}${ending}${gga}${ending}\$IIMWV,1${ending}\$GPRMB,V,1*2D${ending}${gga}" | "$pilot" | od -An -c)
  want=$(printf '%s%s' "$apa" "$apa" | od -An -c)
  [ "$out" = "$want" ] || fail "unexpected output for ending $(printf '%q' "$ending"): $out"
done
# A damaged RMB (a GGA spliced into it, its checksum wrong) never reaches the autopilot, and is
# counted on the standard error.
spliced='$GPRMB,A,0.02GA,110000.00,4751.9795,N,00355.0143,W,1,09,0.9,3.2,M,49.6,M,,*74'
out=$(printf '%s\r\n' junk "$rmb" "$spliced" | "$pilot" 2>/tmp/pilot-err.$$ | od -An -c)
want=$(printf '%s' "$apa" | od -An -c)
[ "$out" = "$want" ] || { rm -f /tmp/pilot-err.$$; fail "a damaged line steered: $out"; }
grep -q '1 ligne(s) rejetée(s)' /tmp/pilot-err.$$ || { rm -f /tmp/pilot-err.$$; fail "the rejected line is not counted"; }
rm -f /tmp/pilot-err.$$
# An RMB without its checksum, as a flooded link cut one before its "*": rejected, counted.
out=$(printf '\r\n$GPRMB,A,0.11,R,003,004,4917.239\r\n' | "$pilot" 2>/tmp/pilot-err.$$)
[ -z "$out" ] || { rm -f /tmp/pilot-err.$$; fail "an RMB without checksum steered: $out"; }
grep -q '1 ligne(s) rejetée(s)' /tmp/pilot-err.$$ || { rm -f /tmp/pilot-err.$$; fail "the RMB without checksum is not counted"; }
rm -f /tmp/pilot-err.$$
# --tous-emetteurs takes a chart program's ECRMB; without it, nothing goes out.
ecrmb='$ECRMB,A,0.66,L,003,004,4917.24,N,12309.57,W,001.3,052.5,000.5,V*31'
[ -z "$(printf '%s\r\n' junk "$ecrmb" | "$pilot")" ] || fail "an ECRMB steered without the option"
out=$(printf '%s\r\n' junk "$ecrmb" | "$pilot" --tous-emetteurs | od -An -c)
[ "$out" = "$(printf '%s' "$apa" | od -An -c)" ] || fail "--tous-emetteurs does not take ECRMB: $out"
# A GPS piped in live: each sentence is answered while the input is still open.
coproc live { "$pilot"; }
printf '%s\r\n' junk "$rmb" >&"${live[1]}"
IFS= read -r -t 5 answer <&"${live[0]}" || fail "no answer before the input ends"
[ "$answer" = $'$AGAPA,A,A,0.66,L,N,A,A,052.5,T,004*06\r' ] || fail "live answer: $answer"
printf '%s\r\n' "$gga" >&"${live[1]}"
IFS= read -r -t 5 answer <&"${live[0]}" || fail "no answer to the second line"
exec {live[1]}>&-
wait

# --pilote, --relevement, --declinaison, --emetteur. The sentences expected are written here
# with their checksum computed here: the XOR of the bytes between "$" and "*".
err=$(mktemp /tmp/pilot-err.XXXXXX)
trap 'rm -f "$err"' EXIT
sum() {
  local s=$1 x=0 i c
  for ((i = 0; i < ${#s}; i++)); do
    printf -v c '%d' "'${s:i:1}"
    x=$((x ^ c))
  done
  printf '%02X' "$x"
}
sentence() { printf '$%s*%s' "$1" "$(sum "$1")"; }
lines() { printf '%s\r\n' "$@"; } # each sentence with its CR LF
bytes() { od -An -c; }
route() { printf '%s\r\n' junk "$rmb" "$gga" "$rmb"; } # two RMB, a GGA between them

# Once per RMB (none after the GGA), every field of the RMB where it belongs, true bearing.
apb=$(sentence 'AGAPB,A,A,0.66,L,N,V,,,,004,052.5,T,052.5,T')
set3=("$apb" "$(sentence 'AGRMB,A,0.66,L,003,004,4917.24,N,12309.57,W,001.3,052.5,000.5,V')"
  "$(sentence 'AGXTE,A,A,0.66,L,N')")
for args in "--pilote apb" "--pilote=apb" "--pilote apb --relevement vrai" "--relevement=vrai --pilote apb"; do
  # shellcheck disable=SC2086
  [ "$(route | "$pilot" $args | bytes)" = "$(lines "$apb" "$apb" | bytes)" ] || fail "$args"
done
[ "$(route | "$pilot" --pilote apb+rmb+xte | bytes)" = "$(lines "${set3[@]}" "${set3[@]}" | bytes)" ] ||
  fail "--pilote apb+rmb+xte: $(route | "$pilot" --pilote apb+rmb+xte)"

# Magnetic: 052.5 true with 2.5 W is 055.0 magnetic in APB; the RMB keeps its true bearing.
mag=$(sentence 'AGAPB,A,A,0.66,L,N,V,,,,004,055.0,M,055.0,M')
for args in "--relevement magnetique --declinaison 2.5W" "--relevement=magnétique --declinaison=2,5W" \
            "--declinaison=2.5o --relevement magnetique"; do
  # shellcheck disable=SC2086
  [ "$(route | "$pilot" --pilote apb $args | bytes)" = "$(lines "$mag" "$mag" | bytes)" ] ||
    fail "--pilote apb $args: $(route | "$pilot" --pilote apb $args)"
done
[ "$(route | "$pilot" --pilote apb --relevement magnetique --declinaison '2.5 W' | bytes)" = \
  "$(lines "$mag" "$mag" | bytes)" ] || fail "--declinaison '2.5 W'"
# The GPS's own variation (its RMC, 4.9 E) over the user's: 052.5 - 4.9 = 047.6.
rmc='$GPRMC,095202,A,6004.3030,N,01940.9154,E,1.7,124.6,030610,4.9,E,D*1B'
out=$(printf '%s\r\n' junk "$rmc" "$rmb" | "$pilot" --pilote apb --relevement magnetique --declinaison 2.5W | bytes)
[ "$out" = "$(lines "$(sentence 'AGAPB,A,A,0.66,L,N,V,,,,004,047.6,M,047.6,M')" | bytes)" ] || fail "RMC variation: $out"

# --emetteur: the talker of every sentence sent.
want=$(lines "$(sentence 'GPAPB,A,A,0.66,L,N,V,,,,004,052.5,T,052.5,T')" \
  "$(sentence 'GPRMB,A,0.66,L,003,004,4917.24,N,12309.57,W,001.3,052.5,000.5,V')" \
  "$(sentence 'GPXTE,A,A,0.66,L,N')" | bytes)
for args in "--emetteur GP" "--emetteur=GP"; do
  # shellcheck disable=SC2086
  out=$(printf '%s\r\n' junk "$rmb" | "$pilot" --pilote apb+rmb+xte $args | bytes)
  [ "$out" = "$want" ] || fail "$args: $out"
done

# The talker of APA too, its checksum made again: the sentence of the top with GP.
out=$(printf '%s\r\n' junk "$rmb" | "$pilot" --emetteur GP | bytes)
[ "$out" = "$(lines "$(sentence 'GPAPA,A,A,0.66,L,N,A,A,052.5,T,004')" | bytes)" ] || fail "APA under GP: $out"

# Magnetic without any variation: no APB nor RMB, each XTE still, and the count on stderr.
three() { printf '%s\r\n' junk "$rmb" "$gga" "$rmb" "$rmb"; }
xte=$(sentence 'AGXTE,A,A,0.66,L,N')
out=$(three | "$pilot" --pilote apb+rmb+xte --relevement magnetique 2>"$err" | bytes)
[ "$out" = "$(lines "$xte" "$xte" "$xte" | bytes)" ] || fail "magnetic without variation sent: $out"
grep -qF 'marivent-pilot : 3 phrase(s) RMB sans leur APB (APB et RMB non envoyées : pas de déclinaison connue : relèvement magnétique impossible)' "$err" ||
  fail "magnetic without variation, apb+rmb+xte, said: $(cat "$err")"
[ -z "$(three | "$pilot" --pilote apb --relevement magnetique 2>"$err")" ] || fail "an APB without variation"
grep -qF 'marivent-pilot : 3 phrase(s) RMB sans leur APB (APB non envoyée : pas de déclinaison connue' "$err" ||
  fail "magnetic without variation, apb, said: $(cat "$err")"
three | "$pilot" --pilote apb --relevement magnetique --declinaison 1E >/dev/null 2>"$err"
[ ! -s "$err" ] || fail "a refusal said with a variation: $(cat "$err")"

# --pilote apa and no --pilote: the same bytes on recorded logs.
data=$(cd "$(dirname "$0")/../data/nmea" && pwd)
for log in Garmin-GPS76_goto.txt 2021-03-05_16-23-50_UTC_LOG.nmea Hakefjord.log; do
  # Without the option the IIRMB of the second log steer nothing; with it, they do.
  for opt in "" --tous-emetteurs; do
    # shellcheck disable=SC2086
    "$pilot" $opt <"$data/$log" >"$err.default" 2>/dev/null
    # shellcheck disable=SC2086
    "$pilot" $opt --pilote apa <"$data/$log" >"$err.apa" 2>/dev/null
    cmp -s "$err.default" "$err.apa" || { rm -f "$err".*; fail "--pilote apa differs on $log $opt"; }
  done
  [ "$(wc -c <"$err.default")" -gt 3000 ] || { rm -f "$err".*; fail "no APA from $log"; }
done
rm -f "$err".*

# Bad values: exit status 2, nothing sent, the reason in French.
refused() {
  local want=$1 status=0 out
  shift
  out=$(printf '%s\r\n' junk "$rmb" | "$pilot" "$@" 2>"$err") || status=$?
  [ "$status" = 2 ] || fail "$* ended with $status"
  [ -z "$out" ] || fail "$* sent: $out"
  grep -qF "marivent-pilot : $want" "$err" || fail "$* said: $(cat "$err")"
}
refused 'option inconnue « --bogus » (voir --help)' --bogus
refused 'option inconnue « --pilotes=apb »' --pilotes=apb
refused '--pilote « xyz » inconnu : apa, apb ou apb+rmb+xte (voir --help)' --pilote xyz
refused '--pilote « APB » inconnu' --pilote=APB
refused '--pilote «  » inconnu' --pilote=
refused 'il manque la valeur de --pilote (voir --help)' --pilote
refused 'il manque la valeur de --emetteur' --pilote apb --emetteur
refused 'il manque la valeur de --declinaison' --declinaison
refused 'il manque la valeur de --relevement' --relevement
refused '--relevement « nord » inconnu : vrai ou magnetique' --relevement nord
refused '--relevement « Vrai » inconnu' --relevement=Vrai
refused 'déclinaison « 2.5 » : le sens E (est) ou W (ouest) manque' --declinaison 2.5
refused 'déclinaison « -2.5W » : pas de signe' --declinaison=-2.5W
refused 'déclinaison « 181E » : plus de 180 degrés' --declinaison 181E
refused 'déclinaison « 2.5.1W » illisible' --declinaison 2.5.1W
refused 'déclinaison vide' --declinaison=
refused '--emetteur « gp » : deux lettres majuscules, par exemple GP' --emetteur gp
refused '--emetteur « GPS » : deux lettres majuscules' --emetteur=GPS
refused '--emetteur « G1 » : deux lettres majuscules' --emetteur G1
echo "pilot: 58 passed, 0 failed"
