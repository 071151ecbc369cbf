#!/usr/bin/env python3
"""Writes examples/sample.cbr: a made-up 24-hour CW contest log with serial
exchange, for velmora-replay and its tests.

The log is the same on every run (fixed seed). Besides ordinary QSOs it holds
a few on purpose: dupes (same call, same band, later), QSOs on 30 m and 17 m,
two phone QSOs, and two QSO lines that lack the received serial, which the
reader reports and skips.

Usage: python3 examples/make_sample.py [OUTPUT]   (default: sample.cbr beside
this script)
"""

import datetime
import pathlib
import random
import sys

OWN_CALL = "OK1ZEB"
START = datetime.datetime(2017, 6, 3, 12, 0)
SEED = 1706

# Prefix, the call-area digits it takes ("" when the prefix has its own).
PREFIXES = {
    "EU": [("OK", "12"), ("OL", "5"), ("DL", "123456789"), ("DK", "0123456789"),
           ("DJ", "1234569"), ("DF", "123456789"), ("DO", "1234567"), ("OM", "1235678"),
           ("SP", "123456789"), ("SQ", "123456789"), ("SO", "159"), ("HA", "135678"),
           ("HG", "15"), ("S5", "0127"), ("9A", "1235"), ("YU", "1257"), ("YO", "2345689"),
           ("LZ", "12345"), ("SV", "1234"), ("I", "12345678"), ("IK", "1245678"),
           ("IZ", "12345"), ("F", "1245689"), ("EA", "1234579"), ("EC", "1357"),
           ("CT", "1247"), ("G", "034"), ("M", "0156"), ("GM", "034"), ("GW", "034"),
           ("EI", "2579"), ("ON", "45678"), ("PA", "0123"), ("PD", "0123"), ("LX", "1"),
           ("HB9", ""), ("OE", "1235689"), ("OZ", "1579"), ("SM", "0234567"),
           ("LA", "1356789"), ("OH", "12345689"), ("ES", "12458"), ("YL", "23"),
           ("LY", "1245"), ("UA", "13469"), ("RA", "1346"), ("RW", "346"), ("UR", "5"),
           ("UT", "0125789"), ("EW", "18"), ("ER", "13"), ("4O", "3"), ("Z3", "5"),
           ("E7", "0"), ("T7", "0"), ("9H", "15"), ("OH0", ""), ("OY", "1"), ("TF", "38"),
           ("EA6", ""), ("IS0", ""), ("GI", "04"), ("GD", "4"), ("HB0", ""), ("3A", "2")],
    "AS": [("JA", "1234567890"), ("JH", "1234"), ("JR", "1234"), ("BY", "14"), ("BA", "1234"),
           ("HL", "1235"), ("DS", "245"), ("BV", "12"), ("VU", "23"), ("4X", "156"),
           ("4Z", "15"), ("A7", "1"), ("A6", "1"), ("A4", "1"), ("HZ", "1"), ("UA9", ""),
           ("RA9", ""), ("RA0", ""), ("UN", "7"), ("EX", "28"), ("EY", "8"), ("4L", "1"),
           ("4J", "5"), ("EP", "2"), ("AP", "2"), ("9M2", ""), ("HS", "0"), ("XV", "9"),
           ("VR2", ""), ("JT", "1"), ("UK", "8"), ("TA", "23"), ("5B", "4"), ("OD", "5"),
           ("A9", "2"), ("9K", "2")],
    "NA": [("K", "0123456789"), ("W", "0123456789"), ("N", "0123456789"), ("AA", "1234"),
           ("KB", "123"), ("VE", "1234567"), ("VA", "237"), ("XE", "12"), ("KP4", ""),
           ("HI", "38"), ("CO", "28"), ("TI", "25"), ("TG", "9"), ("8P", "6"), ("J3", "7"),
           ("V3", "1"), ("VP9", ""), ("ZF", "2"), ("6Y", "5"), ("FM", "5"), ("FG", "4"),
           ("KL7", ""), ("VO1", ""), ("HP", "1")],
    "SA": [("PY", "1234578"), ("PP", "15"), ("LU", "1234578"), ("CE", "123"), ("CX", "259"),
           ("HK", "1346"), ("HC", "125"), ("OA", "4"), ("YV", "1456"), ("ZP", "56"),
           ("CP", "16"), ("9Y", "4"), ("PZ", "1"), ("8R", "1")],
    "AF": [("ZS", "1456"), ("5H", "3"), ("5Z", "4"), ("9J", "2"), ("CN", "28"), ("7X", "2"),
           ("SU", "1"), ("5N", "7"), ("9G", "1"), ("6W", "1"), ("EA8", ""), ("CT3", ""),
           ("D4", "4"), ("TR", "8"), ("3V", "8"), ("5R", "8"), ("V5", "1"), ("3B8", ""),
           ("FR", "4"), ("TU", "5"), ("ET", "3")],
    "OC": [("VK", "1234567"), ("ZL", "1234"), ("KH6", ""), ("YB", "0129"), ("DU", "13"),
           ("9M6", ""), ("FK", "8"), ("3D2", ""), ("P2", "9"), ("KH2", ""), ("E5", "1"),
           ("V7", "3"), ("YJ", "0"), ("5W", "1")],
}

# CW segments we work in, kHz.
CW_SEGMENTS = {"160m": (1812, 1838), "80m": (3502, 3560), "40m": (7002, 7038),
               "20m": (14002, 14058), "15m": (21002, 21068), "10m": (28002, 28068),
               "30m": (10102, 10125), "17m": (18070, 18090)}

# QSOs an hour, from the start (12 UTC) on, and the bands worth calling on.
HOURS = [
    (40, {"20m": 5, "15m": 4, "10m": 2}),
    (34, {"20m": 5, "15m": 4, "10m": 2}),
    (28, {"20m": 5, "15m": 3, "10m": 1}),
    (24, {"20m": 4, "15m": 3, "40m": 1}),
    (22, {"20m": 4, "15m": 2, "40m": 2}),
    (20, {"20m": 3, "40m": 3, "15m": 1}),
    (18, {"20m": 2, "40m": 3, "80m": 1}),
    (18, {"40m": 3, "80m": 2, "20m": 1}),
    (16, {"40m": 2, "80m": 3, "160m": 1}),
    (14, {"80m": 3, "160m": 2, "40m": 2}),
    (12, {"80m": 3, "160m": 3, "40m": 1}),
    (8, {"80m": 2, "160m": 2, "40m": 2}),
    (6, {"40m": 3, "80m": 2, "160m": 1}),
    (6, {"40m": 3, "80m": 2}),
    (8, {"40m": 3, "20m": 1, "80m": 1}),
    (10, {"20m": 3, "40m": 2}),
    (12, {"20m": 4, "40m": 1, "15m": 1}),
    (14, {"20m": 4, "15m": 2}),
    (16, {"20m": 3, "15m": 3, "10m": 1}),
    (16, {"20m": 3, "15m": 3, "10m": 2}),
    (14, {"15m": 3, "20m": 3, "10m": 2}),
    (12, {"15m": 3, "20m": 2, "10m": 2}),
    (12, {"20m": 3, "15m": 2, "10m": 1}),
    (11, {"20m": 3, "15m": 2, "40m": 1}),
]

# Who is heard on each band, seen from central Europe.
CONTINENTS = {
    "160m": {"EU": 20, "NA": 2, "AS": 1},
    "80m": {"EU": 16, "NA": 3, "AS": 2, "AF": 1},
    "40m": {"EU": 12, "NA": 4, "AS": 3, "SA": 1, "AF": 1, "OC": 1},
    "20m": {"EU": 8, "NA": 5, "AS": 4, "SA": 2, "AF": 2, "OC": 2},
    "15m": {"EU": 6, "NA": 4, "AS": 4, "SA": 3, "AF": 3, "OC": 2},
    "10m": {"EU": 8, "NA": 2, "SA": 3, "AF": 3, "AS": 1},
}

LETTERS = "ABCDEFGHIJKLMNOPQRSTUVWXYZ"


def pick(rng, weights):
    keys = list(weights)
    return rng.choices(keys, [weights[k] for k in keys])[0]


class Stations:
    """Made-up calls, each with how fast it hands out serials."""

    def __init__(self, rng):
        self.rng = rng
        self.rate = {}  # call -> serials an hour

    def new_call(self, continent):
        while True:
            prefix, digits = self.rng.choice(PREFIXES[continent])
            digit = self.rng.choice(digits) if digits else ""
            length = self.rng.choice([2, 2, 3, 3, 3])
            call = prefix + digit + "".join(self.rng.choice(LETTERS) for _ in range(length))
            if call not in self.rate and call != OWN_CALL:
                self.rate[call] = self.rng.choice([2, 4, 6, 10, 15, 25, 40])
                return call

    def serial(self, call, elapsed_hours):
        expected = self.rate[call] * (elapsed_hours + 0.1)
        return max(1, round(expected * self.rng.uniform(0.8, 1.2)))


def rst(rng):
    return "599" if rng.random() < 0.9 else rng.choice(["579", "589", "569", "559"])


def plan_minutes(rng):
    """Minute offsets of the ordinary QSOs, each with the band it is on."""
    plan = []
    for hour, (count, bands) in enumerate(HOURS):
        # A band is kept for a quarter of an hour, as an operator would.
        quarter_bands = [pick(rng, bands) for _ in range(4)]
        minutes = sorted(rng.randrange(60) for _ in range(count))
        for minute in minutes:
            plan.append((hour * 60 + minute, quarter_bands[minute // 15]))
    return plan


def make_qsos(rng):
    stations = Stations(rng)
    qsos = []  # dicts: minute, band, freq, mode, call, rst_sent, rst_rcvd, nr_rcvd
    freq_of_block = {}
    for minute, band in plan_minutes(rng):
        block = minute // 15
        low, high = CW_SEGMENTS[band]
        if block not in freq_of_block:
            freq_of_block[block] = rng.randint(low, high)
        # Running on one frequency, now and then answering someone elsewhere.
        freq = freq_of_block[block] if rng.random() < 0.7 else rng.randint(low, high)
        call = stations.new_call(pick(rng, CONTINENTS[band]))
        qsos.append({"minute": minute, "band": band, "freq": freq, "mode": "CW",
                     "call": call, "rst_sent": rst(rng), "rst_rcvd": rst(rng),
                     "nr_rcvd": str(stations.serial(call, minute / 60))})

    # Dupes: a station worked again later on the same band.
    for first in rng.sample(qsos[:300], 10):
        later = [q for q in qsos if q["band"] == first["band"] and q["minute"] > first["minute"] + 10]
        if not later:
            continue
        when = rng.choice(later)
        serial = max(stations.serial(first["call"], when["minute"] / 60), int(first["nr_rcvd"]) + 1)
        qsos.append(dict(when, call=first["call"], rst_rcvd="599", nr_rcvd=str(serial)))

    # QSOs on bands the contest does not use.
    for band, minute in (("30m", 200), ("30m", 207), ("17m", 1250)):
        call = stations.new_call(pick(rng, CONTINENTS["20m"]))
        low, high = CW_SEGMENTS[band]
        qsos.append({"minute": minute, "band": band, "freq": rng.randint(low, high),
                     "mode": "CW", "call": call, "rst_sent": "599", "rst_rcvd": "599",
                     "nr_rcvd": str(stations.serial(call, minute / 60))})

    # Phone QSOs in a CW contest.
    for minute in (95, 1130):
        call = stations.new_call("EU")
        qsos.append({"minute": minute, "band": "20m", "freq": rng.randint(14150, 14300),
                     "mode": "PH", "call": call, "rst_sent": "59", "rst_rcvd": "59",
                     "nr_rcvd": str(stations.serial(call, minute / 60))})

    # Lines that lack the received serial.
    for minute in (333, 902):
        band = next(q["band"] for q in qsos if q["minute"] >= minute)
        low, high = CW_SEGMENTS[band]
        qsos.append({"minute": minute, "band": band, "freq": rng.randint(low, high),
                     "mode": "CW", "call": stations.new_call("EU"), "rst_sent": "599",
                     "rst_rcvd": "599", "nr_rcvd": ""})

    qsos.sort(key=lambda q: q["minute"])
    return qsos


def qso_line(qso, serial):
    when = START + datetime.timedelta(minutes=qso["minute"])
    columns = [f"{qso['freq']:>5}", f"{qso['mode']:<2}", when.strftime("%Y-%m-%d"),
               when.strftime("%H%M"), f"{OWN_CALL:<13}", f"{qso['rst_sent']:<3}",
               f"{serial:03d}   ", f"{qso['call']:<13}", f"{qso['rst_rcvd']:<3}",
               qso["nr_rcvd"]]
    return ("QSO: " + " ".join(columns)).rstrip()


def main():
    out = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else \
        pathlib.Path(__file__).with_name("sample.cbr")
    rng = random.Random(SEED)
    lines = [
        "START-OF-LOG: 3.0",
        "CONTEST: VELMORA",
        f"CALLSIGN: {OWN_CALL}",
        "LOCATION: DX",
        "CATEGORY-OPERATOR: SINGLE-OP",
        "CATEGORY-ASSISTED: NON-ASSISTED",
        "CATEGORY-BAND: ALL",
        "CATEGORY-MODE: CW",
        "CATEGORY-POWER: HIGH",
        "CATEGORY-STATION: FIXED",
        "CATEGORY-TRANSMITTER: ONE",
        "CREATED-BY: make_sample.py",
        "NAME: Sample Operator",
        f"OPERATORS: {OWN_CALL}",
        "SOAPBOX: Made-up log for velmora-replay; every QSO in it is invented.",
    ]
    for serial, qso in enumerate(make_qsos(rng), start=1):
        lines.append(qso_line(qso, serial))
    lines.append("END-OF-LOG:")
    out.write_text("\n".join(lines) + "\n", encoding="ascii", newline="\n")


if __name__ == "__main__":
    main()
