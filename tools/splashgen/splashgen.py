#!/usr/bin/env python3
"""Writes the start-up splash's logo ring mesh (qmw.m3d) and stinger sound
(qmw.wav) into a folder:

    tools/splashgen/splashgen.py data/engine

Both are small and fixed, so the results are committed beside the other
engine data; run this again after changing it.
"""
import math
import struct
import sys
import wave


def ring_mesh():
    # An extruded ring in the z = 0 plane, facing +z: front and back faces
    # and the outer and inner walls, each its own vertices so that normals
    # stay sharp. The grid texture wraps once around. The splash's camera
    # comes to rest looking at (-0.425, -0.0875) from 54 units with a 5 degree
    # view, where 1 unit is 0.424 of the half screen height: this size and
    # this much above that point (the mark's circle sits 6/64 of the logo's
    # height above its middle), the ring lies over the flat logo's circle as
    # one fades into the other.
    segments, inner, outer, half_depth = 48, 0.83, 1.0, 0.06
    cx, cy = -0.425, 0.049
    positions, normals, uvs, indices = [], [], [], []

    def strip(p0, p1, n0, n1, v0, v1):
        base = len(positions)
        for s in range(segments + 1):
            a = 2 * math.pi * s / segments
            c, d = math.cos(a), math.sin(a)
            for p, n, v in ((p0, n0, v0), (p1, n1, v1)):
                positions.append((cx + p[0] * c, cy + p[0] * d, p[1]))
                normals.append((n[0] * c, n[0] * d, n[1]) if n[1] == 0 else (0.0, 0.0, n[1]))
                uvs.append((4.0 * s / segments, v))
        for s in range(segments):
            i = base + 2 * s
            indices.extend((i, i + 2, i + 1, i + 1, i + 2, i + 3))

    strip((outer, half_depth), (inner, half_depth), (0, 1), (0, 1), 0.0, 0.25)      # front
    strip((inner, -half_depth), (outer, -half_depth), (0, -1), (0, -1), 0.5, 0.75)  # back
    strip((outer, -half_depth), (outer, half_depth), (1, 0), (1, 0), 0.25, 0.5)     # outer wall
    strip((inner, half_depth), (inner, -half_depth), (-1, 0), (-1, 0), 0.75, 1.0)   # inner wall

    out = bytearray(b".m3d")
    out += struct.pack("<BBH", 2, 1, 0)
    out += struct.pack("<III", 3, len(positions), len(indices))
    out += struct.pack("<B", 0)  # no tangents
    out += struct.pack("<I", 2)  # 16-bit indices
    out += struct.pack("<%dH" % len(indices), *indices)
    for usage, size, values in ((0, 12, positions), (1, 12, normals), (5, 8, uvs)):
        out += struct.pack("<II", usage, size)
        for v in values:
            out += struct.pack("<%df" % len(v), *v)
    return bytes(out)


def stinger(path):
    # A rising three-note arpeggio over a held low fifth, with a soft attack
    # and an exponential decay: just under a second at 22050 Hz, mono.
    rate, length = 22050, 0.95
    notes = ((0.00, 392.00), (0.08, 523.25), (0.16, 659.25), (0.24, 783.99))
    frames = bytearray()
    for i in range(int(rate * length)):
        t = i / rate
        s = 0.18 * math.sin(2 * math.pi * 196.0 * t) * math.exp(-2.2 * t)
        s += 0.10 * math.sin(2 * math.pi * 293.66 * t) * math.exp(-2.6 * t)
        for start, f in notes:
            if t >= start:
                u = t - start
                env = min(1.0, u / 0.01) * math.exp(-4.0 * u)
                s += 0.16 * env * (math.sin(2 * math.pi * f * u) + 0.3 * math.sin(4 * math.pi * f * u))
        s *= min(1.0, (length - t) / 0.05)
        frames += struct.pack("<h", int(max(-1.0, min(1.0, s)) * 32000))
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(bytes(frames))


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: splashgen.py OUTPUT_FOLDER")
    folder = sys.argv[1]
    with open(folder + "/qmw.m3d", "wb") as f:
        f.write(ring_mesh())
    stinger(folder + "/qmw.wav")


if __name__ == "__main__":
    main()
