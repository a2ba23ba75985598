#!/usr/bin/env python3
"""Writes the synthetic example accelerogram: RRS-N41W.txt, RRS-S49W.txt and
RRS-UP.txt in this folder, in the CDMG component file layout cdmg2csv reads.

The motion is made up (decaying sine waves with a little deterministic
noise); it is not a recording. Run it again to get the same three files.
"""
import math
import os

NT = 2005          # samples a component; 2005 = 8 * 250 + 5
DT = 0.005         # sample interval in seconds
HERE = os.path.dirname(os.path.abspath(__file__))

COMPONENTS = [
    # file name, orientation, peak (cm/s/s), frequency (Hz), phase
    ("RRS-N41W.txt", "N41W", 412.0, 2.2, 0.0),
    ("RRS-S49W.txt", "S49W", 357.0, 1.7, 0.9),
    ("RRS-UP.txt", "UP", 198.0, 4.1, 0.4),
]


def noise(seed):
    """A small linear congruential generator, so the files never change."""
    state = seed
    while True:
        state = (1103515245 * state + 12345) % 2**31
        yield state / 2**31 - 0.5


def motion(peak, freq, phase, seed):
    rand = noise(seed)
    values = []
    for k in range(NT):
        t = k * DT
        envelope = (t / 1.5) ** 2 * math.exp(2.0 * (1.0 - t / 1.5))
        value = peak * envelope * math.sin(2 * math.pi * freq * t + phase)
        values.append(value + 0.02 * peak * next(rand))
    return values


def integrate(values):
    out, total = [], 0.0
    for k, value in enumerate(values):
        if k:
            total += 0.5 * (value + values[k - 1]) * DT
        out.append(total)
    return out


def block(values, per_record, width, decimals):
    lines = []
    for start in range(0, len(values), per_record):
        chunk = values[start:start + per_record]
        lines.append("".join(f"{v:{width}.{decimals}f}" for v in chunk))
    return lines


def header(orientation, index):
    title = (f"Corrected accelerogram   SYNTHETIC EXAMPLE STATION  "
             f"Chan {index}: {orientation}")
    text = [
        title,                                                        # 1
        "Synthetic example of a CDMG-type record; not a real earthquake",
        "Station No. 99999   00.000N, 000.000W   Example Site",
        "Processed: made by examples/make_example.py",
        "Record  : synthetic   Start time: 00:00:00.000 GMT",
        f"Chan {index}: {orientation} deg   (Rcrd chan {index})",
        "Instrument: synthetic   Damping: 0.60   Natural period: 0.04",
        "Filter: none (synthetic)   Peak values follow in the real header",
        "Integer header values follow",                                 # 9
    ]
    integers = [99999, 1, index, NT, 8, 3, 2005, 1, 1, 0,
                -999, -999, -999, 0, 1, 1, 0, 0, 0, 0,
                1, 2, 3, 4, 5, 6, 7, 8, 9, 10,
                -999, -999, -999, -999, -999, -999, -999, -999, -999, -999,
                0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                0, 0, 0, 0, 0, 0, 0, 0, 0, 0]
    text += [("".join(f"{v:8d}" for v in integers[i:i + 10]))
             for i in range(0, 60, 10)]                                # 10-15
    text.append(f"{NT:8d} samples of acceleration, equally spaced")     # 16
    text.append(f"{DT:10.4f} sec between samples")                      # 17
    text.append("Real header values follow")                            # 18
    reals = [DT * (i + 1) for i in range(135)]
    text += block(reals, 5, 15, 6)                                     # 19-45
    assert len(text) == 45, len(text)
    return text


def write(name, orientation, index, values):
    velocity = integrate(values)
    lines = header(orientation, index)
    lines.append(f"{NT:8d} points of accel data equally spaced at "
                 f"{DT:5.3f} sec, in units of cm/sec/sec (8f10.3)")     # 46
    lines += block(values, 8, 10, 3)
    lines.append(f"{NT:8d} points of veloc data equally spaced at "
                 f"{DT:5.3f} sec, in units of cm/sec (8f10.3)")
    lines += block(velocity, 8, 10, 3)
    with open(os.path.join(HERE, name), "w", newline="\n") as out:
        out.write("\n".join(lines) + "\n")


def main():
    for index, (name, orientation, peak, freq, phase) in enumerate(
            COMPONENTS, start=1):
        write(name, orientation, index, motion(peak, freq, phase, index))


if __name__ == "__main__":
    main()
