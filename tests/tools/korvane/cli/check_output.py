#!/usr/bin/env python3
"""Runs korvane's script formats and chart and checks them as a script or a person would
use them: the JSON parses strictly, the CSV reads with the csv module, the numbers agree
with the bundled sample and with each other, and the chart renders to a PNG that shows
the bars and the score line.

Usage: check_output.py CHECK --work DIR --sample BASE [--plain-names] -- KORVANE...
CHECK: score, tours, hostile, chart or basics (help and table widths). KORVANE is the command (behind Wine for the
Windows build). BASE is the bundled sample without its extension."""

import argparse
import csv
import io
import json
import os
import re
import shutil
import struct
import subprocess
import sys
import xml.etree.ElementTree as ET
import zlib

REPLACEMENT = "\ufffd"


class Failure(Exception):
    pass


def expect(condition, what):
    if not condition:
        raise Failure(what)


def run(korvane, args, work, with_stderr=False):
    done = subprocess.run(korvane + args, cwd=work, capture_output=True, timeout=600)
    err = done.stderr.decode("utf-8", "replace")
    expect(done.returncode == 0, f"korvane {' '.join(args)}: exit {done.returncode}\n{err}")
    try:
        out = done.stdout.decode("utf-8")  # strict: the output must be UTF-8
    except UnicodeDecodeError as e:
        raise Failure(f"korvane {' '.join(args)}: output is not UTF-8: {e}")
    return (out, err) if with_stderr else out


def strict_json(text, what):
    def no_duplicates(pairs):
        keys = [k for k, _ in pairs]
        expect(len(keys) == len(set(keys)), f"{what}: duplicate keys {keys}")
        return dict(pairs)

    def no_constants(name):
        raise Failure(f"{what}: {name} is not JSON")

    try:
        return json.loads(text, object_pairs_hook=no_duplicates, parse_constant=no_constants)
    except json.JSONDecodeError as e:
        raise Failure(f"{what}: not JSON: {e}\n{text[:2000]}")


def csv_rows(text, what):
    rows = list(csv.reader(io.StringIO(text, newline=""), strict=True))
    expect(rows, f"{what}: empty")
    width = len(rows[0])
    for row in rows:
        expect(len(row) == width, f"{what}: a row of {len(row)} fields, not {width}: {row}")
    return [dict(zip(rows[0], row)) for row in rows[1:]]


def sample_refusals(base):
    """(position, call, band, mode, HH:MM) of the refusals the sample is known to have."""
    out = []
    with open(base + ".refused", encoding="ascii") as f:
        for line in f:
            position, call, band, mode, hhmm = line.split()
            out.append((int(position), call, band, mode, hhmm))
    return out


def check_score(a, korvane):
    refused = sample_refusals(a.sample)
    for log in (a.sample + ".adi", a.sample + ".cbr"):
        doc = strict_json(run(korvane, ["score", log, "--format", "json"], a.work), "score json")
        expect(doc["score"] == 445, f"score {doc['score']}")
        # The committee leaves out the sample's four refused repeats.
        expect(doc["committee_score"] == 441, f"committee_score {doc['committee_score']}")
        expect(doc["total"] == {"qsos": 314, "points": 314, "new_calls": 131}, doc["total"])
        expect(doc["bands"] == [{"band": "160", "qsos": 156, "points": 156},
                                {"band": "80", "qsos": 158, "points": 158}], doc["bands"])
        expect(doc["own_call"] == "RK3AZ" and doc["log"]["qsos_read"] == 314, doc["log"])
        calls = [m["call"] for m in doc["multipliers"]]
        expect(len(calls) == 131 and len(set(calls)) == 131, f"{len(calls)} multipliers")
        expect({m["band"] for m in doc["multipliers"]} == {"160", "80"}, "multiplier bands")
        got = [(r["position"], r["call"], r["band"], r["mode"], r["time"][11:16])
               for r in doc["refusals"]]
        expect(got == refused, f"refusals {got}, expected {refused}")
        for r in doc["refusals"]:
            expect(r["message"] == f"QSO c {r['call']} В ОДНОМ и ТОМ ЖЕ ТУРЕ ПРОВОДИТЬ НЕЛЬЗЯ !!!",
                   f"message {r['message']!r}")
            expect(re.fullmatch(r"2026-11-21T\d\d:\d\d:\d\dZ", r["time"]), r["time"])

        rows = csv_rows(run(korvane, ["score", log, "--format", "csv"], a.work), "score csv")
        by = lambda kind: [r for r in rows if r["section"] == kind]
        expect([(r["band"], r["qsos"], r["points"]) for r in by("band")] ==
               [(b["band"], str(b["qsos"]), str(b["points"])) for b in doc["bands"]], "csv bands")
        total = by("total")
        expect(len(total) == 1 and (total[0]["qsos"], total[0]["new_calls"], total[0]["score"]) ==
               ("314", "131", "445"), f"csv total {total}")
        expect([r["call"] for r in by("multiplier")] == calls, "csv multipliers")
        expect([(r["position"], r["call"], r["message"]) for r in by("refusal")] ==
               [(str(r["position"]), r["call"], r["message"]) for r in doc["refusals"]],
               "csv refusals")
        expect([r["score"] for r in by("committee")] == ["441"], f"csv committee {by('committee')}")
        expect(len(rows) == 2 + 1 + 1 + 131 + 4, f"{len(rows)} csv rows")


def tour_of(hhmm):
    hour, minute = map(int, hhmm.split(":"))
    return hour * 2 + (minute >= 30)


def check_tours(a, korvane):
    log = a.sample + ".adi"
    doc = strict_json(run(korvane, ["tours", log, "--format", "json"], a.work), "tours json")
    tours = doc["tours"]
    expect([t["tour"] for t in tours] == list(range(30, 36)), [t["tour"] for t in tours])
    expect([t["start"] for t in tours][0] == "2026-11-21T15:00:00Z", tours[0]["start"])
    expect(doc["bands"] == ["160", "80"] and doc["modes"] == ["CW", "SSB"], "bands, modes")
    refused_in = {}
    for _, _, _, _, hhmm in sample_refusals(a.sample):
        refused_in[tour_of(hhmm)] = refused_in.get(tour_of(hhmm), 0) + 1
    previous = 0
    for t in tours:
        expect(sum(t["by_band"].values()) == t["qsos"] == sum(t["by_mode"].values()),
               f"tour {t['tour']}: band and mode counts do not add up")
        for band, modes in t["by_band_mode"].items():
            expect(sum(modes.values()) == t["by_band"][band], f"tour {t['tour']} band {band}")
        expect(t["refused"] == refused_in.get(t["tour"], 0), f"tour {t['tour']} refused")
        # Each tour's QSOs add a point each and each new call one more.
        expect(t["score"] == previous + t["qsos"] + t["new_calls"],
               f"tour {t['tour']}: score {t['score']} after {previous}")
        previous = t["score"]
    total = doc["total"]
    expect((total["qsos"], total["new_calls"], total["refused"], total["score"]) ==
           (314, 131, 4, 445), f"total {total}")
    expect(total["by_band"] == {"160": 156, "80": 158}, total["by_band"])

    all_rows = csv_rows(run(korvane, ["tours", log, "--format", "csv"], a.work), "tours csv")
    rows = [r for r in all_rows if r["row"] == "tour"]
    expect(len(rows) == len(tours), "csv rows")
    for r, t in zip(rows, tours):
        expect((r["tour"], r["start"], r["qsos"], r["new_calls"], r["refused"], r["score"]) ==
               tuple(str(t[k]) for k in ("tour", "start", "qsos", "new_calls", "refused", "score")),
               f"csv row {r}")
        expect(r["band 160"] == str(t["by_band"]["160"]) and r["mode SSB"] == str(t["by_mode"]["SSB"])
               and r["80 CW"] == str(t["by_band_mode"]["80"]["CW"]), f"csv counts {r}")

    text = run(korvane, ["tours", log], a.work)
    for t in tours:
        line = f"{t['tour']} {t['start'][11:16]} {t['by_band']['160']} {t['by_band']['80']} " \
               f"{t['by_mode']['CW']} {t['by_mode']['SSB']} {t['qsos']} {t['new_calls']} " \
               f"{t['refused']} {t['score']}"
        expect(line in [" ".join(l.split()) for l in text.splitlines()], f"text lacks {line}")
    expect("Total 156 158 164 150 314 131 4 445" in " ".join(text.split()), "text total")
    check_rates(a, doc["rates"], all_rows, text)


def sample_minutes(base):
    """The sample's QSO times as (minute since 2000, second since 2000), sorted."""
    import datetime
    with open(base + ".adi", encoding="utf-8", errors="replace") as f:
        adif = f.read()
    times = []
    for record in re.split(r"(?i)<eor>", re.split(r"(?i)<eoh>", adif, maxsplit=1)[-1]):
        d = re.search(r"(?i)<qso_date:8>(\d{8})", record)
        t = re.search(r"(?i)<time_on:\d+>(\d{4,6})", record)
        if d and t:
            hhmmss = t[1].ljust(6, "0")
            when = datetime.datetime.strptime(d[1] + hhmmss, "%Y%m%d%H%M%S")
            times.append(int((when - datetime.datetime(2000, 1, 1)).total_seconds()))
    times.sort()
    return times


def iso_of(second):
    import datetime
    return (datetime.datetime(2000, 1, 1) + datetime.timedelta(seconds=second)).strftime(
        "%Y-%m-%dT%H:%M:%SZ")


def check_rates(a, rates, csv_all, text):
    """The rates against the sample's own QSO times, counted here independently."""
    seconds = sample_minutes(a.sample)
    minutes = [s // 60 for s in seconds]
    expect(len(minutes) == 314, f"{len(minutes)} QSO times in the sample")
    for length, key in ((10, "best_10_minutes"), (60, "best_60_minutes")):
        best = max((sum(1 for m in minutes if start <= m < start + length), -start)
                   for start in set(minutes))
        got = rates[key]
        expect((got["qsos"], got["start"]) == (best[0], iso_of(-best[1] * 60)),
               f"{key}: {got}, counted {best[0]} from {iso_of(-best[1] * 60)}")
        expect(got["qsos_per_hour"] == best[0] * 60 // length, f"{key} per hour")
        row = [r for r in csv_all if r["row"] == "best_rate" and r["minutes"] == str(length)]
        expect(len(row) == 1 and row[0]["qsos"] == str(got["qsos"]) and
               row[0]["start"] == got["start"], f"csv {key}: {row}")
    hours = {}
    for m in minutes:
        hours[m // 60] = hours.get(m // 60, 0) + 1
    expect([(h["start"], h["qsos"]) for h in rates["per_hour"]] ==
           [(iso_of(h * 3600), n) for h, n in sorted(hours.items())], rates["per_hour"])
    expect([(r["start"], r["qsos"]) for r in csv_all if r["row"] == "hour"] ==
           [(h["start"], str(h["qsos"])) for h in rates["per_hour"]], "csv hours")
    gaps = [(iso_of(x), iso_of(y)) for x, y in zip(seconds, seconds[1:]) if y - x >= 1800]
    expect([(o["start"], o["end"]) for o in rates["off_times"]] == gaps, rates["off_times"])
    for length in (10, 60):
        best = rates[f"best_{length}_minutes"]
        expect(f"Best rate, {length} minutes: {best['qsos_per_hour']}/h ({best['qsos']} QSOs "
               f"{best['start'][11:16]}-{best['end'][11:16]})" in text, f"text rate {length}")
    expect("QSOs per clock hour (UTC):" in text, "text hours")


def check_hostile(a, korvane):
    """A mode with a quote, a backslash, a comma, a control byte and bytes that are not
    UTF-8 (the readers pass modes as written), in a file with an awkward name."""
    mode = b'A"B\\C,D\x01\xff\xc0'
    def record(call, minute):
        return (b"<CALL:%d>%s <QSO_DATE:8>20261121 <TIME_ON:4>15%02d <BAND:3>80m <MODE:%d>%s "
                b"<STATION_CALLSIGN:5>RK3AZ <EOR>\n" % (len(call), call, minute, len(mode), mode))
    name = "hostile.adi" if a.plain_names else 'we"ird, name\\.adi'
    path = os.path.join(a.work, name)
    with open(path, "wb") as f:
        f.write(b"<EOH>\n" + record(b"UA1AA", 1) + record(b"UA1AA", 2) + record(b"UA2BB", 40))
    shown = 'A"B\\C,D\u0001' + REPLACEMENT + REPLACEMENT

    doc = strict_json(run(korvane, ["score", path, "--format", "json"], a.work), "score json")
    expect(doc["log"]["file"].endswith(name), doc["log"]["file"])
    expect(len(doc["refusals"]) == 1 and doc["refusals"][0]["mode"] == shown, doc["refusals"])
    rows = csv_rows(run(korvane, ["score", path, "--format", "csv"], a.work), "score csv")
    refusals = [r for r in rows if r["section"] == "refusal"]
    expect(len(refusals) == 1 and refusals[0]["mode"] == shown, refusals)

    doc = strict_json(run(korvane, ["tours", path, "--format", "json"], a.work), "tours json")
    expect(doc["modes"] == [shown], doc["modes"])
    expect([t["tour"] for t in doc["tours"]] == [30, 31] and doc["total"]["refused"] == 1,
           doc["tours"])
    rows = csv_rows(run(korvane, ["tours", path, "--format", "csv"], a.work), "tours csv")
    expect(rows[0]["mode " + shown] == "2" and rows[0]["80 " + shown] == "2", rows[0])


def png_pixels(path):
    """(width, height, rows of RGB tuples) of an 8-bit RGB or RGBA PNG."""
    with open(path, "rb") as f:
        data = f.read()
    expect(data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG")
    pos, idat, header = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    width, height, depth, colour, _, _, interlace = header
    expect(depth == 8 and colour in (2, 6) and interlace == 0, f"PNG kind {header}")
    step = 4 if colour == 6 else 3
    raw, stride = zlib.decompress(idat), width * step
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            left = line[i - step] if i >= step else 0
            up, corner = previous[i], previous[i - step] if i >= step else 0
            if kind == 1:
                line[i] = (line[i] + left) & 255
            elif kind == 2:
                line[i] = (line[i] + up) & 255
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                line[i] = (line[i] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 255
        rows.append([tuple(line[x * step:x * step + 3]) for x in range(width)])
        previous = line
    return width, height, rows


def check_chart(a, korvane):
    svg_path, png_path = os.path.join(a.work, "tours.svg"), os.path.join(a.work, "tours.png")
    log = a.sample + ".adi"
    doc = strict_json(run(korvane, ["tours", log, "--format", "json", "--chart", "tours.svg"],
                          a.work), "tours json")
    ns = {"s": "http://www.w3.org/2000/svg"}
    root = ET.parse(svg_path).getroot()
    texts = [t.text for t in root.iter("{http://www.w3.org/2000/svg}text")]
    for needed in ("KORVANE tours of RK3AZ, 2026-11-21", "QSOs per tour", "Score after the tour",
                   "160 m", "80 m", "Score", "15:00", "17:30", "445"):
        expect(needed in texts, f"the chart lacks the text {needed!r}: {texts}")

    # The legend's swatch colour of each band is the colour of that band's bars.
    legend = {}
    children = list(root)
    for i, el in enumerate(children[:-1]):
        nxt = children[i + 1]
        if el.tag.endswith("rect") and nxt.tag.endswith("text") and nxt.text in ("160 m", "80 m"):
            legend[nxt.text] = el.get("fill")
    expect(len(legend) == 2 and legend["160 m"] != legend["80 m"], f"legend {legend}")

    # Every bar segment: its height is proportional to its QSOs, its colour its band's,
    # its count the tour's, and the segments of a tour stack without gaps.
    per_qso, stacks = set(), {}
    for rect in root.iter("{http://www.w3.org/2000/svg}rect"):
        title = rect.find("s:title", ns)
        if title is None:
            continue
        m = re.fullmatch(r"Tour (\d+) \((\d\d:\d\d) UTC\), (.+): (\d+) QSOs", title.text)
        expect(m, f"bar title {title.text!r}")
        tour, band, qsos = int(m[1]), m[3], int(m[4])
        expect(rect.get("fill") == legend[band], f"tour {tour} {band}: colour {rect.get('fill')}")
        t = next(t for t in doc["tours"] if t["tour"] == tour)
        expect(t["by_band"][band.split()[0]] == qsos, f"tour {tour} {band}: {qsos} QSOs")
        y, h = float(rect.get("y")), float(rect.get("height"))
        per_qso.add(round(h / qsos, 1))
        stacks.setdefault(tour, []).append((y, h))
    expect(len(stacks) == 6, f"bars for {len(stacks)} tours")
    expect(max(per_qso) - min(per_qso) <= 0.2, f"bar heights not proportional: {per_qso}")
    for tour, parts in stacks.items():
        parts.sort()
        for (y1, h1), (y2, _) in zip(parts, parts[1:]):
            expect(abs(y1 + h1 - y2) < 0.15, f"tour {tour}: the bar's parts do not touch")

    # The QSOs per 10 minutes: a step line on the bars' scale, three steps a tour, its
    # highest step the busiest 10 minutes of the clock.
    expect("QSOs per 10 min" in texts, "the chart lacks the 10-minute legend")
    line = [p for p in root.iter("{http://www.w3.org/2000/svg}polyline")]
    steps = [p for p in line if p.get("stroke") == "#111111"]
    expect(len(steps) == 1, f"{len(steps)} 10-minute lines")
    points = [tuple(map(float, p.split(","))) for p in steps[0].get("points").split()]
    expect(len(points) == 6 * 3 * 2, f"{len(points)} points in the 10-minute line")
    baseline = max(y + h for parts in stacks.values() for y, h in parts)
    per_ten = {}
    for m in (s // 60 for s in sample_minutes(a.sample)):
        per_ten[m // 10] = per_ten.get(m // 10, 0) + 1
    import datetime
    scale = sum(per_qso) / len(per_qso)
    for k in range(len(points) // 2):
        tour = doc["tours"][k // 3]
        start = datetime.datetime.strptime(tour["start"], "%Y-%m-%dT%H:%M:%SZ")
        minute = int((start - datetime.datetime(2000, 1, 1)).total_seconds()) // 60 + 10 * (k % 3)
        shown = (baseline - points[2 * k][1]) / scale
        expect(points[2 * k][1] == points[2 * k + 1][1] and
               abs(shown - per_ten.get(minute // 10, 0)) < 0.5,
               f"tour {tour['tour']}, 10 minutes {k % 3 + 1}: the step shows {shown:.1f} QSOs, "
               f"not {per_ten.get(minute // 10, 0)}")

    ys = [float(p.split(",")[1]) for p in line[-1].get("points").split()]
    expect(len(ys) == 6 and all(b < a for a, b in zip(ys, ys[1:])), f"score line {ys}")

    # Rendered, the picture shows the bars in their colours and the line.
    converter = shutil.which("rsvg-convert")
    expect(converter, "rsvg-convert is missing (Debian package librsvg2-bin)")
    subprocess.run([converter, "-o", png_path, svg_path], check=True, timeout=120)
    width, height, rows = png_pixels(png_path)
    expect((width, height) == (round(float(root.get("width"))), round(float(root.get("height")))),
           f"PNG of {width}x{height}")
    def count(colour):
        rgb = tuple(int(colour[i:i + 2], 16) for i in (1, 3, 5))
        return sum(row.count(rgb) for row in rows)
    blue, orange = count(legend["160 m"]), count(legend["80 m"])
    score = count(line[-1].get("stroke"))
    expect(blue > 10000 and orange > 10000 and score > 300,
           f"pixels: 160 m {blue}, 80 m {orange}, score line {score}")
    # 156 and 158 QSOs: about the same area each, less what the line and labels cover.
    expect(0.85 < blue / orange < 1.15, f"160 m and 80 m areas {blue} and {orange}")
    white = count("#FFFFFF")
    expect(white > width * height // 3, f"only {white} white pixels: no background?")


def check_basics(a, korvane):
    """Help within 80 columns and true on this system; check's and tours' lines within
    100, a table of many bands and modes too; an existing work folder gets no note."""
    windows = korvane[-1].lower().endswith(".exe")
    for command in ([], ["score"], ["check"], ["tours"], ["exports"], ["judge"], ["simulate"]):
        help_text = run(korvane, command + ["--help"], a.work)
        expect(f"Usage: korvane {' '.join(command)}".rstrip() + " [" in help_text,
               f"{command} --help: the usage line names korvane by its path")
        for line in help_text.splitlines():
            expect(len(line) <= 80, f"{command} --help: a line of {len(line)} columns: {line!r}")
        if command in (["check"], ["tours"]):
            expect("--report" not in help_text and ".cbr" not in help_text,
                   f"{command} --help speaks of the report")
        if command:
            expect(command == ["exports"] or command[0] in ("judge", "simulate") or
                   ("Plugins\\MOLTA.ini" if windows else "Plugins/MOLTA.ini") in help_text,
                   f"{command} --help: the settings path of another system")

    out, err = run(korvane, ["check", a.sample + ".adi", "--workdir", a.work], a.work, True)
    expect("created" not in err, f"a note for a work folder that exists: {err}")
    for line in out.splitlines():
        # The log's path is the operator's, as long as the checkout's folder: not counted.
        own = line.replace(a.sample, "LOG")
        expect(len(own) <= 100, f"check: a line of {len(own)} columns: {line!r}")

    # Ten bands and seven modes: the table would be some 160 columns wide.
    bands = ["160m", "80m", "40m", "30m", "20m", "17m", "15m", "12m", "10m", "6m"]
    modes = ["CW", "SSB", "FM", "RTTY", "FT8", "PSK31", "AM"]
    path = os.path.join(a.work, "wide.adi")
    with open(path, "w", encoding="ascii") as f:
        f.write("<EOH>\n")
        for i in range(70):
            call = f"UA{i % 10}A{chr(65 + i // 10)}"
            band, mode = bands[i % 10], modes[i % 7]
            f.write(f"<CALL:{len(call)}>{call} <QSO_DATE:8>20261121 <TIME_ON:4>15{i % 60:02d} "
                    f"<BAND:{len(band)}>{band} <MODE:{len(mode)}>{mode} "
                    f"<STATION_CALLSIGN:5>RK3AZ <EOR>\n")
    text = run(korvane, ["tours", "wide.adi"], a.work)
    for line in text.splitlines():
        expect(len(line) <= 100, f"tours: a line of {len(line)} columns: {line!r}")
    expect('Merged to fit 100 columns (--format csv has each): "other" holds 160, 80' in text, "tours: no word on the merged columns")
    expect("Total" in text and " 70 " in text.split("Total", 1)[1], "tours: the total of 70 QSOs")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("check", choices=["score", "tours", "hostile", "chart", "basics"])
    parser.add_argument("--work", required=True)
    parser.add_argument("--sample", required=True)
    parser.add_argument("--plain-names", action="store_true")
    parser.add_argument("korvane", nargs="+")
    a = parser.parse_args()
    shutil.rmtree(a.work, ignore_errors=True)
    os.makedirs(a.work)
    try:
        globals()["check_" + a.check](a, a.korvane)
    except Failure as e:
        print(f"FAILED: {e}", file=sys.stderr)
        return 1
    print(f"{a.check}: ok")
    return 0


if __name__ == "__main__":
    sys.exit(main())
