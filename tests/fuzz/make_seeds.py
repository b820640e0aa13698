#!/usr/bin/env python3
"""Writes the seed corpora of the state and call-sequence fuzz targets into
tests/fuzz/corpus/. Run it again after changing the seeds; the fuzzers only
read these folders. The UI description seeds are plain XML files kept by hand."""
import os
import random
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULTS = [0.75, 0.5, 0.251074, 0.537244, 0.588592, 1.0, 0.75, 0.516993]
NAN = float("nan")
INF = float("inf")


def state(values=DEFAULTS, bypass=0, header=0, reserved=(0.0,) * 6, flags=(0,) * 4):
    return (struct.pack("<Q", header) + struct.pack("<i", bypass)
            + struct.pack("<8d", *values) + struct.pack("<6d", *reserved)
            + struct.pack("<4i", *flags))


def streams():
    extreme = [NAN, INF, -INF, 1.5, -0.2, 1e300, -0.0, 5e-324]
    corners = [0.0] * 8
    ones = [1.0] * 8
    return {
        "defaults": state(),
        "bypass_two_header_set": state(bypass=2, header=0xFFFFFFFFFFFFFFFF),
        "bypass_minus_one": state(bypass=-1),
        "extreme_values": state(values=extreme, reserved=(NAN, INF, 1.0, -1.0, 0.5, 2.0), flags=(1, -1, 7, 0)),
        "all_zero": state(values=corners),
        "all_one": state(values=ones, bypass=1, flags=(1, 1, 1, 1)),
        "one_byte_short": state()[:-1],
        "empty": b"",
        "two_records_then_short": state(values=ones) + state(values=corners) + state()[:70],
        "longer_than_one_record": state() + b"\x00" * 9,
    }


def write(folder, name, data):
    path = os.path.join(HERE, "corpus", folder)
    os.makedirs(path, exist_ok=True)
    with open(os.path.join(path, name), "wb") as f:
        f.write(data)


def main():
    for name, data in streams().items():
        write("fuzz_controller_state", name, data)
        # The processor target reads one configuration byte from the end:
        # bit 0 sample size, bits 1-2 sample rate, bit 3 restore before activation.
        for config in (0x00, 0x03, 0x0D):
            write("fuzz_processor_state", "%s_%02x" % (name, config), data + bytes([config]))
    rng = random.Random(1)
    for i, length in enumerate((32, 128, 512, 1024, 2048, 4096)):
        write("fuzz_processor_calls", "random_%d" % i, bytes(rng.randrange(256) for _ in range(length)))


if __name__ == "__main__":
    main()
