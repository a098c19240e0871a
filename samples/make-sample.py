#!/usr/bin/env python3
"""Writes the bundled KORVANE sample log, made up from a fixed seed: the same files on
every run. Usage: samples/make-sample.py  (writes next to itself)

korvane-2026-RK3AZ.adi       the log as a logger exports it (ADIF)
korvane-2026-RK3AZ.cbr       the same QSOs as a Cabrillo 3.0 log
korvane-2026-RK3AZ.expected  the score table korvane prints for either file
korvane-2026-RK3AZ.refused   the QSOs the tour rule refuses (log position, call, band, mode)
README.md                    what the sample holds and its expected score
"""
import os

OWN_CALL = "RK3AZ"
NAME = "korvane-2026-RK3AZ"
YEAR, MONTH, DAY = 2026, 11, 21
FIRST_HOUR, TOURS = 15, 6          # six half-hour tours, 15:00 to 18:00 UTC
REFUSED_REPEATS = 4


class Random:
    """xorshift64*: small, and the same on every Python."""

    def __init__(self, seed):
        self.state = seed or 1

    def next(self):
        x = self.state
        x ^= (x >> 12)
        x ^= (x << 25) & 0xFFFFFFFFFFFFFFFF
        x ^= (x >> 27)
        self.state = x
        return (x * 0x2545F4914F6CDD1D) & 0xFFFFFFFFFFFFFFFF

    def below(self, n):
        return (self.next() >> 11) % n

    def choice(self, items):
        return items[self.below(len(items))]


rng = Random(20261121)

PREFIXES = ["UA1", "RA1", "RV1", "UA3", "RA3", "RK3", "RW3", "RN3", "R3", "UA4", "RA4",
            "RW4", "UA6", "RA6", "RV6", "R6", "UA9", "RA9", "RW9", "RZ9", "UA0", "UR5",
            "UT7", "EW1", "EW8", "UN7", "4L1", "ES4", "YL2", "LY3"]
LETTERS = "ABCDEFGHIJKLMNOPQRSTUVWXYZ"


def make_calls(count):
    calls = []
    while len(calls) < count:
        suffix = "".join(rng.choice(LETTERS) for _ in range(2 + rng.below(2)))
        call = rng.choice(PREFIXES) + suffix
        if call not in calls and call != OWN_CALL:
            calls.append(call)
    return calls


STATIONS = make_calls(150)
SLOTS = [("160", "CW"), ("160", "SSB"), ("80", "CW"), ("80", "SSB")]
FREQ_KHZ = {("160", "CW"): (1810, 1838), ("160", "SSB"): (1843, 1900),
            ("80", "CW"): (3510, 3590), ("80", "SSB"): (3610, 3700)}


def frequency_hz(band, mode):
    low, high = FREQ_KHZ[(band, mode)]
    return (low + rng.below(high - low)) * 1000 + rng.below(10) * 100


def report(mode):
    return rng.choice(["599", "599", "579", "589"]) if mode == "CW" else rng.choice(["59", "59", "57", "58"])


def make_qsos():
    received_serial = {call: 0 for call in STATIONS}
    qsos = []
    for tour in range(TOURS):
        hour = FIRST_HOUR + tour // 2
        first_minute = 30 * (tour % 2)
        worked = set()
        for _ in range(52 + rng.below(10)):
            call = rng.choice(STATIONS)
            band, mode = rng.choice(SLOTS)
            if (call, band, mode) in worked:
                continue  # the operator would not log a repeat inside the tour
            worked.add((call, band, mode))
            second = rng.below(30 * 60)
            received_serial[call] += 1 + rng.below(3)
            qsos.append({"call": call, "band": band, "mode": mode,
                         "time": (hour, first_minute + second // 60, second % 60),
                         "freq": frequency_hz(band, mode), "rst_sent": report(mode),
                         "rst_rcvd": report(mode), "srx": "%03d" % received_serial[call]})
    qsos.sort(key=lambda q: q["time"])
    # A few repeats the tour rule refuses: the same station, band and mode again a little
    # later in the same half hour (a busy operator's slip).
    chosen = set()
    while len(chosen) < REFUSED_REPEATS:
        i = rng.below(len(qsos))
        h, m, s = qsos[i]["time"]
        if m % 30 < 20:
            chosen.add(i)
    for i in sorted(chosen, reverse=True):
        repeat = dict(qsos[i])
        h, m, s = repeat["time"]
        repeat["time"] = (h, m + 3 + rng.below(6), s)
        repeat["srx"] = "%03d" % (int(repeat["srx"]) + 1)
        repeat["refused"] = True
        qsos.append(repeat)
    qsos.sort(key=lambda q: q["time"])
    for serial, q in enumerate(qsos, 1):
        q["stx"] = "%03d" % serial
    return qsos


def adif(qsos):
    def field(name, value):
        return "<%s:%d>%s" % (name, len(value), value)
    lines = ["KORVANE 2026 sample log of %s, made up by samples/make-sample.py" % OWN_CALL,
             field("ADIF_VER", "3.1.4"), field("PROGRAMID", "make-sample.py"), "<EOH>", ""]
    for q in qsos:
        h, m, s = q["time"]
        mhz = "%d.%06d" % (q["freq"] // 1000000, q["freq"] % 1000000)
        parts = [field("CALL", q["call"]), field("QSO_DATE", "%04d%02d%02d" % (YEAR, MONTH, DAY)),
                 field("TIME_ON", "%02d%02d%02d" % (h, m, s)), field("BAND", q["band"] + "m"),
                 field("MODE", q["mode"])]
        if q["mode"] == "SSB":
            parts.append(field("SUBMODE", "LSB"))
        parts += [field("FREQ", mhz.rstrip("0")), field("RST_SENT", q["rst_sent"]),
                  field("RST_RCVD", q["rst_rcvd"]), field("STX", q["stx"]), field("SRX", q["srx"]),
                  field("STATION_CALLSIGN", OWN_CALL), field("CONTEST_ID", "KORVANE"), "<EOR>"]
        lines.append(" ".join(parts))
    return "\r\n".join(lines) + "\r\n"


def cabrillo(qsos, score):
    header = ["START-OF-LOG: 3.0", "CONTEST: KORVANE", "CALLSIGN: " + OWN_CALL,
              "CATEGORY-OPERATOR: SINGLE-OP", "CATEGORY-BAND: ALL", "CATEGORY-POWER: HIGH",
              "LOCATION: ", "CLAIMED-SCORE: %d" % score, "CLUB: ",
              "CREATED-BY: make-sample.py", "NAME: ", "ADDRESS: ", "OPERATORS: " + OWN_CALL,
              "EMAIL: ", "SOAPBOX: "]
    lines = [line + "\r\n" for line in header]
    for q in qsos:
        h, m, s = q["time"]
        when = "%04d-%02d-%02d %02d%02d" % (YEAR, MONTH, DAY, h, m)
        code = {"CW": "CW", "SSB": "PH"}[q["mode"]]
        lines.append("QSO: %5i %2s %s %-13s %-3s %-6s %-13s %-3s %s\r\n" % (
            q["freq"] // 1000, code, when, OWN_CALL, q["rst_sent"], q["stx"], q["call"],
            q["rst_rcvd"], q["srx"]))
    lines.append("END-OF-LOG:\r\n")
    return "".join(lines)


def score_table(qsos):
    per_band = {band: sum(1 for q in qsos if q["band"] == band) for band in ("160", "80")}
    distinct = len({q["call"] for q in qsos})
    total = len(qsos)
    text = "\tKorvane %02d.%02d.%02d \n         Contestant: %s\nBand\tQSOs\tPoints\tNew Call\n" % (
        DAY, MONTH, YEAR % 100, OWN_CALL)
    for band in ("160", "80"):
        text += "%s\t %d\t %d\n" % (band, per_band[band], per_band[band])
    text += "Total\t %d\t %d\t   %d\n" % (total, total, distinct)
    text += "\nScore: %d+%d  = %d\nkorvane-stats, 2026\n" % (total, distinct, total + distinct)
    return text, per_band, distinct, total + distinct


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    qsos = make_qsos()
    table, per_band, distinct, score = score_table(qsos)
    refused = [(i, q) for i, q in enumerate(qsos, 1) if q.get("refused")]
    files = {
        NAME + ".adi": adif(qsos),
        NAME + ".cbr": cabrillo(qsos, score),
        NAME + ".expected": table,
        NAME + ".refused": "".join("%d %s %s %s %02d:%02d\n" % (i, q["call"], q["band"], q["mode"],
                                                              q["time"][0], q["time"][1])
                                   for i, q in refused),
    }
    repeats = len(qsos) - distinct
    files["README.md"] = f"""# The bundled sample

A made-up log of the KORVANE contest of {YEAR}-{MONTH:02d}-{DAY:02d}, {FIRST_HOUR}:00 to \
{FIRST_HOUR + TOURS // 2}:00 UTC ({TOURS} tours), worked by {OWN_CALL} on 160 and 80 m in CW and \
SSB. `make-sample.py` writes every file here from a fixed seed; run it again and nothing changes.

| File | What it is |
|---|---|
| `{NAME}.adi` | the log as a logger exports it: ADIF 3.1.4, CR LF line ends |
| `{NAME}.cbr` | the same QSOs as a Cabrillo 3.0 log (times to the minute) |
| `{NAME}.expected` | the score table `korvane score` prints for either file |
| `{NAME}.refused` | the QSOs `korvane check` lists: log position, call, band, mode, time |

Expected result: {len(qsos)} QSOs ({per_band["160"]} on 160 m, {per_band["80"]} on 80 m), \
{distinct} distinct calls, score {len(qsos)} + {distinct} = **{score}**. {repeats} QSOs repeat a \
station already in the log: most in a later tour or on another band or mode, as the rules allow, \
and {len(refused)} inside the same tour on the same band and mode, which the tour rule refuses:

""" + "".join(f"- QSO {i}: {q['call']}, {q['band']} m {q['mode']}, {q['time'][0]:02d}:{q['time'][1]:02d}\n"
              for i, q in refused)
    for name, text in files.items():
        with open(os.path.join(here, name), "w", newline="") as out:
            out.write(text)
    print("%d QSOs, %d distinct calls, score %d, %d refused" % (len(qsos), distinct, score, len(refused)))


if __name__ == "__main__":
    main()
