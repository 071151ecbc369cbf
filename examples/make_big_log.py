#!/usr/bin/env python3
"""Writes a made-up contest log of any size, as Cabrillo or ADIF, for timing
velmora-replay on big logs and whole-contest merges.

Each call is worked two or three times on average, often again on the same
band (dupes); 1 % of the QSOs are on a band outside the contest and 1 % of
the calls are portable. The log is the same on every run (fixed seed).

Usage: python3 examples/make_big_log.py QSOS OUTPUT.cbr|OUTPUT.adi [CALLS]
  CALLS: how many different calls (default: 2 for every 5 QSOs); few calls
  with many QSOs each, as in a merge of many logs, stress the dupe check.
"""

import datetime
import pathlib
import random
import sys

from make_sample import CW_SEGMENTS, LETTERS, OWN_CALL, PREFIXES, START

SEED = 2017
CONTEST_BANDS = ["160m", "80m", "40m", "20m", "15m", "10m"]
PORTABLE = ["{}/P", "EA8/{}", "{}/QRP"]


def calls(rng, count):
    seen = set()
    continents = list(PREFIXES)
    while len(seen) < count:
        prefix, digits = rng.choice(PREFIXES[rng.choice(continents)])
        digit = rng.choice(digits) if digits else ""
        call = prefix + digit + "".join(rng.choice(LETTERS) for _ in range(rng.choice([2, 3, 3])))
        if rng.random() < 0.01:
            call = rng.choice(PORTABLE).format(call)
        seen.add(call)
    return sorted(seen)


def make_qsos(rng, count, call_count):
    qsos = []
    pool = calls(rng, call_count or max(1, count * 2 // 5))
    seconds = 48 * 3600
    for i in range(count):
        call = rng.choice(pool)
        if rng.random() < 0.01:
            band = rng.choice(["30m", "17m"])
        else:
            band = CONTEST_BANDS[sum(map(ord, call)) % 6 if rng.random() < 0.4 else rng.randrange(6)]
        low, high = CW_SEGMENTS[band]
        when = START + datetime.timedelta(seconds=i * seconds // count)
        qsos.append((when, band, rng.randint(low, high), call, rng.randint(1, 3000)))
    return qsos


def cabrillo(qsos):
    yield "START-OF-LOG: 3.0"
    yield f"CALLSIGN: {OWN_CALL}"
    yield "CREATED-BY: make_big_log.py"
    for serial, (when, _band, freq, call, rcvd) in enumerate(qsos, start=1):
        yield (f"QSO: {freq:>5} CW {when:%Y-%m-%d %H%M} {OWN_CALL:<13} 599 {serial:04d} "
               f"{call:<13} 599 {rcvd}")
    yield "END-OF-LOG:"


def field(name, value):
    return f"<{name}:{len(value)}>{value}"


def adif(qsos):
    yield "made-up log of make_big_log.py <ADIF_VER:5>3.1.0 <EOH>"
    for serial, (when, band, freq, call, rcvd) in enumerate(qsos, start=1):
        yield "".join([field("CALL", call), field("QSO_DATE", f"{when:%Y%m%d}"),
                       field("TIME_ON", f"{when:%H%M}"), field("BAND", band),
                       field("FREQ", f"{freq / 1000:.3f}"), field("MODE", "CW"),
                       field("STATION_CALLSIGN", OWN_CALL), field("RST_SENT", "599"),
                       field("RST_RCVD", "599"), field("STX", str(serial)),
                       field("SRX", str(rcvd)), "<EOR>"])


def main():
    count, out = int(sys.argv[1]), pathlib.Path(sys.argv[2])
    call_count = int(sys.argv[3]) if len(sys.argv) > 3 else 0
    qsos = make_qsos(random.Random(SEED), count, call_count)
    lines = adif(qsos) if out.suffix in (".adi", ".adif") else cabrillo(qsos)
    out.write_text("\n".join(lines) + "\n", encoding="ascii", newline="\n")


if __name__ == "__main__":
    main()
