#!/usr/bin/env bash
# marivent-pilot as a whole process: exact bytes out for a small stream, every line ending read.
set -euo pipefail
pilot=$1
fail() { echo "pilot: $*"; echo "0 passed, 1 failed"; exit 1; }

"$pilot" --help | grep -q 'AGAPA' || fail "--help does not say what it does"
if "$pilot" --bogus 2>/dev/null; then fail "an unknown option is accepted"; fi

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
echo "pilot: 10 passed, 0 failed"
