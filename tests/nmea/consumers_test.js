'use strict';
// marivent-pilot read by other programs: it runs on recorded logs with each --pilote,
// --relevement, --declinaison and --emetteur, and every line it writes goes to two NMEA parsers
// written by others, Signal K's @signalk/nmea0183-signalk and nmea-simple. What they decode is
// compared with the RMB (and the RMC's variation) of the log, read here on their own.
// Usage: node consumers_test.js MARIVENT_PILOT DATA_DIR PARSERS_DIR
const { spawnSync } = require('child_process');
const fs = require('fs');
const path = require('path');

const [pilot, dataDir, parsersDir] = process.argv.slice(2);
if (!pilot || !dataDir || !parsersDir) {
  console.log('usage: node consumers_test.js MARIVENT_PILOT DATA_DIR PARSERS_DIR');
  process.exit(2);
}

function load(name) {
  try {
    const main = require.resolve(name, { paths: [parsersDir] });
    const pkg = JSON.parse(
      fs.readFileSync(require.resolve(`${name}/package.json`, { paths: [parsersDir] }), 'utf8'));
    return { module: require(main), version: pkg.version };
  } catch (e) {
    console.log(`consumers: the NMEA parser ${name} is not installed in ${parsersDir} ` +
                `(${e.code || e.message}): run scripts/install-deps.sh`);
    console.log('consumers: 0 passed, 1 failed');
    process.exit(1);
  }
}
const signalk = load('@signalk/nmea0183-signalk');
const simple = load('nmea-simple');
console.log(`parsers: @signalk/nmea0183-signalk ${signalk.version}, nmea-simple ${simple.version}`);
const SignalK = signalk.module;
const nmeaSimple = simple.module;

let passed = 0;
let failed = 0;
function check(ok, what) {
  if (ok) {
    ++passed;
    return true;
  }
  ++failed;
  if (failed <= 40) console.log(`FAIL ${what}`);
  return false;
}
// What a parser does that is worth knowing but is not a fault of ours, counted once per kind.
const notes = new Map();
function note(text) {
  notes.set(text, (notes.get(text) || 0) + 1);
}

// ---- The NMEA of the log, read here without either parser.

function checksumOk(line) {
  const n = line.length;
  if (n < 4 || line[0] !== '$' || line[n - 3] !== '*') return false;
  const hex = line.slice(n - 2);
  if (!/^[0-9A-Fa-f]{2}$/.test(hex)) return false;
  let sum = 0;
  for (let i = 1; i < n - 3; ++i) sum ^= line.charCodeAt(i);
  return sum === parseInt(hex, 16);
}
function fieldsOf(line) {
  return line.slice(0, line.lastIndexOf('*')).split(',');
}

const gnss = ['GN', 'GA', 'GL', 'GB', 'BD', 'GQ', 'GI'];
// The RMC and RMB lines the program takes: a whole sentence (no control character, no second
// "$"), its checksum right; RMC from a GPS (with --tous-emetteurs a GNSS receiver too), RMB from a
// GPS (with --tous-emetteurs any talker but a proprietary one).
function routeLine(line, allTalkers) {
  if (line[0] !== '$' || /[\x00-\x1f\x7f]/.test(line) || line.indexOf('$', 1) >= 0) return null;
  if (!checksumOk(line)) return null;
  const talker = line.slice(1, 3);
  const type = line.slice(3, 6);
  if (line[6] !== ',') return null;
  if (type === 'RMC' && (talker === 'GP' || (allTalkers && gnss.includes(talker)))) return 'RMC';
  if (type === 'RMB' && (talker === 'GP' || (allTalkers && talker[0] !== 'P'))) return 'RMB';
  return null;
}

// A decimal number as an integer count of 10^-decimals, or null.
function decimal(text, maxWhole) {
  const m = /^(\d+)(?:\.(\d+))?$/.exec(text);
  if (!m || m[1].length > maxWhole || (m[2] || '').length > 6) return null;
  const decimals = (m[2] || '').length;
  return { units: Number(m[1] + (m[2] || '')), decimals };
}
// East variation in degrees, from digits and a side E or W.
function variation(value, side) {
  if (side !== 'E' && side !== 'W') return null;
  const d = decimal(value, 3);
  if (!d || d.units > 180 * 10 ** d.decimals) return null;
  const degrees = d.units / 10 ** d.decimals;
  return side === 'E' ? degrees : -degrees;
}
// --declinaison as the user writes it: "2.5W", "2,5W", "1E".
function userVariation(text) {
  const m = /^(\d+(?:[.,]\d+)?)([EW])$/.exec(text);
  return m ? variation(m[1].replace(',', '.'), m[2]) : null;
}

// The valid RMBs of a log, in order, each with the variation the program has at that moment.
function recordedRoute(text, allTalkers, fallback) {
  const route = [];
  let rmcVariation = null;
  for (const line of text.split(/\r\n|\r|\n/)) {
    const kind = routeLine(line, allTalkers);
    if (kind === 'RMC') {
      const f = fieldsOf(line);
      rmcVariation = variation(f[10] || '', f[11] || '');
    } else if (kind === 'RMB') {
      const f = fieldsOf(line);
      while (f.length < 14) f.push('');
      if (f[1] !== 'A') continue;
      route.push({
        line,
        fields: f,
        xte: f[2],
        steer: f[3],
        origin: f[4],
        destination: f[5],
        bearing: f[11],
        arrival: f[13],
        variation: rmcVariation !== null ? rmcVariation : fallback,
      });
    }
  }
  return route;
}

// ---- What goes out, as a receiver of the program's sentences must read it.

const plainNumber = /^\d+(?:\.\d+)?$/;
function sentXte(rmb) {
  return plainNumber.test(rmb.xte) ? rmb.xte : '';
}
function sentSteer(rmb) {
  return rmb.steer === 'L' || rmb.steer === 'R' ? rmb.steer : '';
}
function sentArrival(rmb) {
  return rmb.arrival === 'A' || rmb.arrival === 'V' ? rmb.arrival : '';
}
// The bearing to the destination in degrees (true or magnetic), null when it goes out empty.
function expectedBearing(rmb, magnetic) {
  const b = decimal(rmb.bearing, 3);
  if (!b || b.units > 360 * 10 ** b.decimals) return null;
  const trueBearing = b.units / 10 ** b.decimals;
  const value = magnetic ? trueBearing - rmb.variation : trueBearing;
  return { degrees: ((value % 360) + 360) % 360, decimals: b.decimals };
}
// Whether `text` is `want` rounded to want.decimals (a half either way at a tie).
function sameBearing(text, want) {
  const d = decimal(text, 3);
  if (!d || d.decimals !== want.decimals) return false;
  const got = d.units / 10 ** d.decimals;
  const step = 10 ** -want.decimals;
  let diff = Math.abs(got - want.degrees);
  diff = Math.min(diff, 360 - diff);
  return diff <= step / 2 + 1e-9;
}
const radians = (deg) => (deg * Math.PI) / 180;
const degrees = (rad) => (typeof rad === 'number' ? (rad * 180) / Math.PI : NaN);
// Whether a parser's number of degrees is the bearing expected, to the decimals written.
function withinHalfStep(value, want) {
  if (typeof value !== 'number' || !Number.isFinite(value)) return false;
  let diff = Math.abs(value - want.degrees) % 360;
  diff = Math.min(diff, 360 - diff);
  // Signal K turns degrees into radians with a rounded ratio, good to a few 1e-8 degrees.
  return diff <= (10 ** -want.decimals) / 2 + 1e-6;
}
const near = (a, b, tolerance) =>
  typeof a === 'number' && Math.abs(a - b) <= (tolerance || 1e-9) * Math.max(1, Math.abs(b));
const nm = 1852;

// Signal K's values of one sentence, by path; null when it gave no delta.
function signalkValues(parser, line) {
  const delta = parser.parse(line);
  if (!delta) return null;
  const values = {};
  for (const u of delta.updates) for (const v of u.values) values[v.path] = v.value;
  return values;
}

// What each parser gave for the first set of each case, for the log.
function show(label, value) {
  console.log(`  ${label}: ${JSON.stringify(value)}`);
}

function checkApb(c, line, rmb, skParser, first) {
  const f = fieldsOf(line);
  const where = `${c.name}: ${line}`;
  const magnetic = c.magnetic;
  const xte = sentXte(rmb);
  const steer = sentSteer(rmb);
  const arrival = sentArrival(rmb);
  const bearing = expectedBearing(rmb, magnetic);
  const letter = bearing ? (magnetic ? 'M' : 'T') : '';
  // The sentence as written.
  check(f.length === 15, `${where}: ${f.length} fields, not 15`);
  check(f[3] === xte && f[4] === steer, `${where}: cross-track ${f[3]},${f[4]} for ${rmb.line}`);
  check(f[6] === arrival, `${where}: arrival ${f[6]} for ${rmb.line}`);
  check(f[10] === rmb.destination, `${where}: destination "${f[10]}" for ${rmb.line}`);
  check(f[12] === letter && f[14] === letter, `${where}: reference ${f[12]}/${f[14]}, not ${letter}`);
  if (bearing) {
    check(sameBearing(f[11], bearing) && sameBearing(f[13], bearing),
          `${where}: bearing ${f[11]}/${f[13]}, not ${bearing.degrees} for ${rmb.line} ` +
          `(variation ${rmb.variation})`);
    if (!magnetic) check(f[11] === rmb.bearing, `${where}: true bearing ${f[11]} not as received`);
  } else {
    check(f[11] === '' && f[13] === '', `${where}: bearing ${f[11]} for the empty ${rmb.bearing}`);
  }

  // nmea-simple decodes APB.
  let p;
  try {
    p = nmeaSimple.parseNmeaSentence(line);
  } catch (e) {
    check(false, `${where}: nmea-simple refuses it: ${e.message}`);
    return;
  }
  if (first) show('nmea-simple', p);
  check(p.sentenceId === 'APB' && p.talkerId === c.talker && p.chxOk === true,
        `${where}: nmea-simple reads ${p.talkerId}${p.sentenceId}, checksum ${p.chxOk}`);
  check(p.status1 === 'A' && p.status2 === 'A', `${where}: nmea-simple status ${p.status1}${p.status2}`);
  if (xte) check(near(p.xteMagn, Number(xte)), `${where}: nmea-simple XTE ${p.xteMagn}, not ${xte}`);
  else note(`nmea-simple reads an empty APB cross-track error as ${p.xteMagn}`);
  check(p.steerDir === steer && p.xteUnit === 'N', `${where}: nmea-simple steer ${p.steerDir} ${p.xteUnit}`);
  check(p.arrivalCircleStatus === arrival, `${where}: nmea-simple arrival ${p.arrivalCircleStatus}`);
  check(p.waypoint === rmb.destination, `${where}: nmea-simple destination "${p.waypoint}"`);
  check(p.bearingDestType === letter && p.headingDestType === letter,
        `${where}: nmea-simple reference ${p.bearingDestType}/${p.headingDestType}`);
  if (bearing) {
    check(withinHalfStep(p.bearing2Dest, bearing) && withinHalfStep(p.heading2steer, bearing),
          `${where}: nmea-simple bearing ${p.bearing2Dest}/${p.heading2steer}, not ` +
          `${bearing.degrees} for ${rmb.line} (variation ${rmb.variation})`);
  } else {
    note(`nmea-simple reads an empty APB bearing as ${p.bearing2Dest} (type "${p.bearingDestType}")`);
  }

  // Signal K.
  let v;
  try {
    v = signalkValues(skParser, line);
  } catch (e) {
    check(false, `${where}: Signal K refuses it: ${e.message}`);
    return;
  }
  if (first) show('Signal K', v);
  if (v === null) {
    // Its APB decoder gives nothing at all when the cross-track error or its direction is empty.
    check(xte === '' || steer === '', `${where}: Signal K decodes nothing`);
    note('Signal K gives no delta at all for an APB whose cross-track error or direction is empty ' +
         '(bearing, destination and arrival of that APB are lost)');
    return;
  }
  const sign = steer === 'L' ? 1 : -1;
  check(near(v['navigation.courseRhumbline.crossTrackError'], sign * Number(xte) * nm, 1e-6),
        `${where}: Signal K cross-track error ${v['navigation.courseRhumbline.crossTrackError']} m`);
  check(v['navigation.courseRhumbline.nextPoint.ID'] === rmb.destination.trim(),
        `${where}: Signal K destination "${v['navigation.courseRhumbline.nextPoint.ID']}"`);
  if (rmb.destination !== rmb.destination.trim())
    note(`Signal K trims the destination "${rmb.destination}" to "${rmb.destination.trim()}"`);
  const arrived = v['notifications.arrivalCircleEntered'];
  check((arrived !== null && arrived !== undefined) === (arrival === 'A'),
        `${where}: Signal K arrival ${JSON.stringify(arrived)} for ${arrival}`);
  const kind = magnetic ? 'Magnetic' : 'True';
  const other = magnetic ? 'True' : 'Magnetic';
  const bearingPath = `navigation.courseRhumbline.nextPoint.bearing${kind}`;
  const headingPath = `steering.autopilot.target.heading${kind}`;
  if (bearing) {
    check(withinHalfStep(degrees(v[bearingPath]), bearing),
          `${where}: Signal K ${bearingPath} ${v[bearingPath]} rad, not ${bearing.degrees} degrees`);
    check(withinHalfStep(degrees(v[headingPath]), bearing),
          `${where}: Signal K ${headingPath} ${v[headingPath]} rad`);
    check(!(`navigation.courseRhumbline.nextPoint.bearing${other}` in v),
          `${where}: Signal K has a ${other} bearing too`);
  } else {
    note(`Signal K reads an empty APB bearing (letter empty) as ` +
         `navigation.courseRhumbline.nextPoint.bearingTrue = ` +
         `${v['navigation.courseRhumbline.nextPoint.bearingTrue']}`);
  }
  if (f[7] === '' && 'navigation.courseRhumbline.bearingTrackTrue' in v)
    note('Signal K reads the empty APB fields 8-9 (bearing origin to destination) as ' +
         `bearingTrackTrue = bearingOriginToDestinationTrue = ` +
         `${v['navigation.courseRhumbline.bearingTrackTrue']}`);
}

function checkRmb(c, line, rmb, skParser, first) {
  const f = fieldsOf(line);
  const where = `${c.name}: ${line}`;
  const g = rmb.fields;
  const xte = sentXte(rmb);
  const steer = sentSteer(rmb);
  const bearing = expectedBearing(rmb, false);
  // Resent under our talker: the received fields 2 to 13, the bearing still true.
  check(f.length === 14, `${where}: ${f.length} fields, not 14`);
  check(f[1] === 'A' && f[2] === xte && f[3] === steer, `${where}: status/cross-track for ${rmb.line}`);
  check(f[4] === g[4] && f[5] === g[5], `${where}: waypoints ${f[4]} ${f[5]} for ${rmb.line}`);
  check(f.slice(6, 11).join(',') === g.slice(6, 11).join(','), `${where}: position/range for ${rmb.line}`);
  check(f[11] === (bearing ? rmb.bearing : ''), `${where}: bearing ${f[11]} for ${rmb.line}`);
  check(f[12] === g[12] && f[13] === sentArrival(rmb), `${where}: VMG/arrival for ${rmb.line}`);

  let v;
  try {
    v = signalkValues(skParser, line);
  } catch (e) {
    check(false, `${where}: Signal K refuses it: ${e.message}`);
    return;
  }
  if (first) show('Signal K', v);
  if (!check(v !== null, `${where}: Signal K decodes nothing`)) return;
  const sign = steer === 'L' ? 1 : -1;
  if (xte) {
    check(near(v['navigation.courseRhumbline.crossTrackError'], sign * Number(xte) * nm, 1e-6),
          `${where}: Signal K cross-track error ${v['navigation.courseRhumbline.crossTrackError']}`);
  } else {
    note(`Signal K reads an empty RMB cross-track error as ${v['navigation.courseRhumbline.crossTrackError']} m`);
  }
  const trueBearing = v['navigation.courseRhumbline.nextPoint.bearingTrue'];
  if (bearing) {
    check(near(trueBearing, radians(bearing.degrees), 1e-8),
          `${where}: Signal K bearingTrue ${trueBearing} rad, not ${bearing.degrees} degrees`);
  } else {
    note(`Signal K reads an empty RMB bearing as bearingTrue = ${trueBearing}`);
  }
  if (rmb.destination.trim()) {
    check(v['navigation.courseRhumbline.nextPoint.ID'] === rmb.destination.trim(),
          `${where}: Signal K destination "${v['navigation.courseRhumbline.nextPoint.ID']}"`);
  } else {
    check(!('navigation.courseRhumbline.nextPoint.ID' in v), `${where}: Signal K invents a destination`);
  }
  const position = v['navigation.courseRhumbline.nextPoint.position'];
  if (g[6] && g[8]) {
    const lat = (Number(g[6].slice(0, 2)) + Number(g[6].slice(2)) / 60) * (g[7] === 'S' ? -1 : 1);
    const lon = (Number(g[8].slice(0, 3)) + Number(g[8].slice(3)) / 60) * (g[9] === 'W' ? -1 : 1);
    check(position && near(position.latitude, lat, 1e-7) && near(position.longitude, lon, 1e-7),
          `${where}: Signal K position ${JSON.stringify(position)}, not ${lat} ${lon}`);
  } else {
    check(position === null, `${where}: Signal K position ${JSON.stringify(position)} from empty fields`);
  }
  if (g[10]) {
    check(near(v['navigation.courseRhumbline.nextPoint.distance'], Number(g[10]) * nm, 1e-6),
          `${where}: Signal K distance ${v['navigation.courseRhumbline.nextPoint.distance']}`);
  }

  const u = nmeaSimple.parseUnsafeNmeaSentence(line);
  check(u.chxOk === true && u.talkerId === c.talker, `${where}: nmea-simple checksum ${u.chxOk}`);
  try {
    nmeaSimple.parseNmeaSentence(line);
  } catch (e) {
    note(`nmea-simple has no RMB decoder ("${e.message}"); its checksum check accepts ours`);
  }
}

function checkXte(c, line, rmb, skParser, first) {
  const f = fieldsOf(line);
  const where = `${c.name}: ${line}`;
  const xte = sentXte(rmb);
  const steer = sentSteer(rmb);
  check(f.length === 6 && f[1] === 'A' && f[2] === 'A' && f[5] === 'N', `${where}: layout`);
  check(f[3] === xte && f[4] === steer, `${where}: cross-track ${f[3]},${f[4]} for ${rmb.line}`);
  let v;
  try {
    v = signalkValues(skParser, line);
  } catch (e) {
    check(false, `${where}: Signal K refuses it: ${e.message}`);
    return;
  }
  if (first) show('Signal K', v);
  if (xte === '' && steer === '') {
    check(v === null, `${where}: Signal K decodes ${JSON.stringify(v)} from empty fields`);
  } else if (check(v !== null, `${where}: Signal K decodes nothing`)) {
    const sign = steer === 'L' ? 1 : -1;
    check(near(v['navigation.courseRhumbline.crossTrackError'], sign * Number(xte) * nm, 1e-6),
          `${where}: Signal K cross-track error ${v['navigation.courseRhumbline.crossTrackError']}`);
  }
  const u = nmeaSimple.parseUnsafeNmeaSentence(line);
  check(u.chxOk === true && u.talkerId === c.talker, `${where}: nmea-simple checksum ${u.chxOk}`);
  try {
    nmeaSimple.parseNmeaSentence(line);
  } catch (e) {
    note(`nmea-simple has no XTE decoder ("${e.message}"); its checksum check accepts ours`);
  }
}

function checkApa(c, line, skParser, first) {
  const where = `${c.name}: ${line}`;
  check(/^\$[A-Z]{2}APA,/.test(line), `${where}: not an APA`);
  let v;
  try {
    v = signalkValues(skParser, line);
  } catch (e) {
    check(false, `${where}: Signal K refuses it: ${e.message}`);
    return;
  }
  if (first) show('Signal K', v);
  if (v === null) note('Signal K has no APA decoder: it checks the checksum and returns null');
  else check('navigation.courseRhumbline.crossTrackError' in v, `${where}: Signal K ${JSON.stringify(v)}`);
  const u = nmeaSimple.parseUnsafeNmeaSentence(line);
  check(u.chxOk === true && u.talkerId === c.talker, `${where}: nmea-simple checksum ${u.chxOk}`);
  let p = null;
  try {
    p = nmeaSimple.parseNmeaSentence(line);
  } catch (e) {
    note(`nmea-simple has no APA decoder ("${e.message}"); its checksum check accepts ours`);
  }
  if (first && p) show('nmea-simple', p);
}

function runCase(c) {
  const file = path.join(dataDir, c.log);
  const input = fs.readFileSync(file);
  const text = input.toString('latin1');
  const args = [];
  if (c.all) args.push('--tous-emetteurs');
  if (c.kind) args.push('--pilote', c.kind);
  if (c.magnetic) args.push('--relevement', 'magnetique');
  if (c.declinaison) args.push('--declinaison', c.declinaison);
  if (c.emetteur) args.push('--emetteur', c.emetteur);
  c.talker = c.emetteur || 'AG';
  c.name = `${c.log} ${args.join(' ')}`;
  const run = spawnSync(pilot, args, { input, maxBuffer: 1 << 28 });
  if (!check(run.status === 0, `${c.name}: exit ${run.status} ${run.error || ''} ${run.stderr}`)) return;
  const out = run.stdout.toString('latin1');
  const err = run.stderr.toString('utf8');
  check(out === '' || out.endsWith('\r\n'), `${c.name}: the output does not end with CR LF`);
  const lines = out === '' ? [] : out.slice(0, -2).split('\r\n');
  check(lines.every((l) => !/[\r\n]/.test(l)), `${c.name}: a line ends otherwise than CR LF`);

  // Every line: its checksum right, read by Signal K without an error.
  const sk = new SignalK();
  for (const line of lines) {
    if (!check(checksumOk(line), `${c.name}: checksum of ${line}`)) return;
    check(line.slice(1, 3) === c.talker, `${c.name}: talker of ${line}`);
  }

  const fallback = c.declinaison ? userVariation(c.declinaison) : null;
  const route = recordedRoute(text, !!c.all, fallback);
  console.log(`${c.name}: ${route.length} valid RMB in, ${lines.length} lines out`);

  if (!c.kind || c.kind === 'apa') {
    check(lines.length > 0, `${c.name}: no APA`);
    lines.forEach((line, i) => checkApa(c, line, sk, i === 0));
    return;
  }

  // The sets, in the order of the RMBs: APB (RMB, XTE), or only the XTE without a variation.
  const types = lines.map((l) => l.slice(3, 6));
  const expected = [];
  const owner = [];
  let refused = 0;
  for (const rmb of route) {
    const sendsBearing = !c.magnetic || rmb.variation !== null;
    if (!sendsBearing) ++refused;
    const set = c.kind === 'apb' ? (sendsBearing ? ['APB'] : [])
                                 : sendsBearing ? ['APB', 'RMB', 'XTE'] : ['XTE'];
    for (const t of set) {
      expected.push(t);
      owner.push(rmb);
    }
  }
  const firstDiff = expected.findIndex((t, i) => types[i] !== t);
  if (!check(types.length === expected.length && firstDiff < 0,
             `${c.name}: sentences ${types.length} (${[...new Set(types)]}), expected ` +
             `${expected.length}; first difference at ${firstDiff}: ${lines[firstDiff]}`)) {
    return;
  }
  if (refused > 0) {
    check(err.includes(`${refused} phrase(s) RMB sans leur APB`),
          `${c.name}: ${refused} RMB without a variation, standard error says: ${err}`);
  } else {
    check(!err.includes('sans leur APB'), `${c.name}: standard error: ${err}`);
  }
  const shown = new Set();
  lines.forEach((line, i) => {
    const first = !shown.has(types[i]);
    if (first) {
      shown.add(types[i]);
      console.log(` ${line}  (from ${owner[i].line})`);
    }
    if (types[i] === 'APB') checkApb(c, line, owner[i], sk, first);
    else if (types[i] === 'RMB') checkRmb(c, line, owner[i], sk, first);
    else checkXte(c, line, owner[i], sk, first);
  });
}

// The parsers do refuse a wrong checksum, so that their accepting ours means something.
{
  const good = '$AGXTE,A,A,0.03,L,N*7C';
  const bad = '$AGXTE,A,A,0.03,L,N*7D';
  check(checksumOk(good) && !checksumOk(bad), 'the checksum of this test');
  let refused = false;
  try {
    new SignalK().parse(bad);
  } catch (e) {
    refused = true;
  }
  check(refused, 'Signal K accepts a wrong checksum');
  check(nmeaSimple.parseUnsafeNmeaSentence(bad).chxOk !== true, 'nmea-simple accepts a wrong checksum');
  check(signalkValues(new SignalK(), good) !== null, 'Signal K does not read a good XTE');
}

const cases = [
  // A GOTO with every field: true, magnetic from the RMC's variation (which --declinaison yields
  // to), another talker.
  { log: 'Garmin-GPS76_goto.txt', kind: 'apb' },
  { log: 'Garmin-GPS76_goto.txt', kind: 'apb+rmb+xte' },
  { log: 'Garmin-GPS76_goto.txt', kind: 'apb+rmb+xte', magnetic: true },
  { log: 'Garmin-GPS76_goto.txt', kind: 'apb', magnetic: true, declinaison: '2.5W', emetteur: 'GP' },
  // Instruments' RMB (talker II), a destination with trailing spaces, a bearing without decimals,
  // RMCs of no GPS: magnetic only with --declinaison.
  { log: '2021-03-05_16-23-50_UTC_LOG.nmea', all: true, kind: 'apb+rmb+xte' },
  { log: '2021-03-05_16-23-50_UTC_LOG.nmea', all: true, kind: 'apb+rmb+xte', magnetic: true },
  { log: '2021-03-05_16-23-50_UTC_LOG.nmea', all: true, kind: 'apb+rmb+xte', magnetic: true,
    declinaison: '2,5W', emetteur: 'EC' },
  { log: '2021-03-05_16-23-50_UTC_LOG.nmea', all: true, kind: 'apb', magnetic: true, declinaison: '1E' },
  // Status A with every other field empty.
  { log: 'Hakefjord.log', kind: 'apb+rmb+xte', magnetic: true },
  { log: 'garmin38.log', kind: 'apb+rmb+xte' },
  { log: 'foretrex-201.log', kind: 'apb+rmb+xte', magnetic: true, declinaison: '1E' },
  { log: 'magellan-ec10.log', kind: 'apb+rmb+xte', magnetic: true },
  { log: 'tn204.log', kind: 'apb', emetteur: 'GP' },
  // RMBs that begin with "#": none is taken.
  { log: 'stupan.se-10112-tcp.log', all: true, kind: 'apb+rmb+xte' },
  // The default APA, under its own talker AG.
  { log: 'Garmin-GPS76_goto.txt' },
  { log: '2021-03-05_16-23-50_UTC_LOG.nmea', all: true },
];
for (const c of cases) runCase(c);

for (const [text, count] of notes) console.log(`note: ${text} (${count} lines)`);
console.log(`consumers: ${passed} passed, ${failed} failed`);
process.exit(failed === 0 ? 0 : 1);
