#!/usr/bin/env python3
"""Writes the synthetic example in the published Volume 2 layout.

example-station.v2 holds the three channels of one made-up free-field
station, one after another, as the state strong-motion program publishes a
corrected record: CR-LF line ends, text records padded to 80 columns, an
integer header of 16 fields of five columns and a real header of 8 fields of
ten, where full fields touch; the words "At equally-spaced intervals of"
before the interval on record 17; the accelerations in 8f10.5 fields (a
value below -100 touches the one before it), then a velocity and a
displacement block, and the "/&" record that ends each channel.

RRS-N41W.txt, RRS-S49W.txt and RRS-UP.txt are the same channels, one to a
file, under the names cdmg2csv reads: the two horizontals in channel order,
then the vertical. expected-table.csv is the table cdmg2csv must write for
them, worked out here from the values written, not by the program.

The motion is made up; it is not a recording. Run again for the same bytes.

With --station PATH --samples N it writes only a station file of N samples
a channel at PATH, for the batch benchmark.
"""
import argparse
import decimal
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
NT = 2005                  # samples a channel; not a multiple of eight;
                           # --samples changes it
DT = 0.010                 # seconds
LINE_END = "\r\n"
STATION = "99999-S0001-26345.12"

CHANNELS = [
    # channel number, orientation as record 1 writes it, peak scale, Hz, phase
    (1, "360 Deg", 1.60, 1.9, 0.0),
    (2, "Up", 0.90, 4.3, 0.7),
    (3, "90 Deg", 1.40, 1.3, 1.9),
]
# The fixed names take the two horizontals in channel order, then the
# vertical.
FIXED_NAMES = [("RRS-N41W.txt", 1), ("RRS-S49W.txt", 3), ("RRS-UP.txt", 2)]


def text(record):
    return record.ljust(80)[:80] if len(record) <= 80 else record


def acceleration(channel, k):
    """cm/s/s at sample k (from 0): a pulse-like strong part, skewed so that
    many values fall below -100 cm/s/s and a few rise above 100."""
    _, _, scale, hz, phase = channel
    t = k * DT
    envelope = (t / 4.0) ** 2 * math.exp(2.0 - t / 2.0)
    wave = 170.0 * math.sin(2 * math.pi * hz * t + phase) - 190.0 * abs(
        math.sin(math.pi * hz * t * 0.5 + phase))
    jitter = 0.37 * math.sin(97.0 * t + channel[0])
    return scale * envelope * wave + jitter


def fields(values, width, decimals):
    records = []
    for i in range(0, len(values), 8):
        records.append("".join("%*.*f" % (width, decimals, v)
                               for v in values[i:i + 8]))
    return records


def integrate(values):
    """A running integral that slowly forgets, as baseline correction keeps
    velocity and displacement from drifting, so that they fit their fields."""
    total, out = 0.0, []
    for v in values:
        total = 0.995 * total + v * DT
        out.append(total)
    return out


def channel_records(channel):
    number, orientation = channel[0], channel[1]
    accel = [acceleration(channel, k) for k in range(NT)]
    veloc = integrate(accel)
    displ = integrate(veloc)
    records = [text("Corrected accelerogram   %s       Chan %2d: %-8s  from"
                    % (STATION, number, orientation))]
    records += [text(r) for r in [
        "Synthetic Earthquake of 12 December 2026",
        "Record is not a recording: example data for cdmg2csv",
        "Station No. 99999   45.000N, 120.000W",
        "Synthetic Free-Field Station, made by make_v2_example.py",
        "Transducer type: synthetic;  sensitivity 1.000 cm/sec2/unit",
        "Processed: 12/11/26   cdmg2csv examples",
        "Filter: bandpass 0.10 to 25.00 Hz",
        "Peak values given in the real header",
        "Comment: none",
        "Comment: none",
        "Comment: none",
        "Comment: none",
        "Comment: none",
        "Comment: none",
    ]]
    records.append(text("%6d points of instrument- and baseline-corrected "
                        "accel, veloc and displ data" % NT))
    records.append(text("At equally-spaced intervals of   %5.3f  sec." % DT))
    records += [text("Header text record %d" % r) for r in range(18, 26)]
    integers = [-999] * 112
    integers[0:8] = [NT, number, 2026, 12, 12, NT, -999, 27540]
    integers[20] = NT
    records += ["".join("%5d" % i for i in integers[r:r + 16])
                for r in range(0, 112, 16)]
    reals = [-999.0] * 104
    reals[0:8] = [-0.0644544, -0.0677596, 45.0, -120.0, DT, min(accel),
                  max(accel), -0.1234567]
    records += ["".join("%10.7f" % v if abs(v) < 1 else "%10.3f" % v
                        for v in reals[r:r + 8]) for r in range(0, 104, 8)]
    records.append(text("%6d points of accel data equally spaced at %5.3f "
                        "sec, in cm/sec2. (8f10.5)" % (NT, DT)))
    records += fields(accel, 10, 5)
    records.append(text("%6d points of veloc data equally spaced at %5.3f "
                        "sec, in cm/sec.  (8f10.5)" % (NT, DT)))
    records += fields(veloc, 10, 5)
    records.append(text("%6d points of displ data equally spaced at %5.3f "
                        "sec, in cm.      (8f10.5)" % (NT, DT)))
    records += fields(displ, 10, 5)
    records.append(text("/&  ----------  End of data for channel %2d  "
                        "----------" % number))
    written = [float(f) for r in fields(accel, 10, 5)
               for f in (r[i:i + 10] for i in range(0, len(r), 10))]
    return records, written


def single(value):
    """The value stored as single precision, back as a double."""
    return struct.unpack("f", struct.pack("f", value))[0]


def field(value, width):
    """The exact value rounded to three decimals, no sign on zero."""
    rounded = decimal.Decimal(value).quantize(decimal.Decimal("0.001"),
                                              decimal.ROUND_HALF_EVEN)
    shown = "%.3f" % rounded
    if shown.startswith("-") and float(rounded) == 0.0:
        shown = shown[1:]
    return "*" * width if len(shown) > width else shown.rjust(width)


def write(name, records):
    with open(os.path.join(HERE, name), "w", newline="") as f:
        f.write("".join(r + LINE_END for r in records))


def main():
    global NT
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--station", help="write only a station file here")
    parser.add_argument("--samples", type=int, default=NT)
    arguments = parser.parse_args()
    NT = arguments.samples
    if arguments.station:
        station = []
        for channel in CHANNELS:
            station += channel_records(channel)[0]
        with open(arguments.station, "w", newline="") as f:
            f.write("".join(r + LINE_END for r in station))
        return
    by_number = {}
    station = []
    for channel in CHANNELS:
        records, written = channel_records(channel)
        by_number[channel[0]] = (records, written)
        station += records
    write("example-station.v2", station)
    for name, number in FIXED_NAMES:
        write(name, by_number[number][0])
    dt = single(DT)
    columns = [by_number[number][1] for _, number in FIXED_NAMES]
    with open(os.path.join(HERE, "expected-table.csv"), "w",
              newline="") as f:
        for k in range(NT):
            time = single(k * dt)
            f.write(",".join([field(time, 7)] +
                             [field(single(c[k]), 10) for c in columns])
                    + "\n")


if __name__ == "__main__":
    main()
