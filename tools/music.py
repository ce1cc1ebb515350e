#!/usr/bin/python3
"""A small chiptune synthesizer that composes Glouto's music.

Writes mono 16-bit WAV files at 22050 Hz with the standard library only;
music.sh then encodes the MP3 ones with lame. Every tune is drawn from a
seeded generator, so the same files come out every time.

Usage: music.py OUTDIR
"""

import array
import math
import os
import random
import sys
import wave

RATE = 22050
MAJOR = [0, 2, 4, 5, 7, 9, 11]


def freq(midi):
    return 440.0 * 2 ** ((midi - 69) / 12.0)


class Mix:
    """A mono buffer. A looping one wraps every tail round to its start, so
    its last sample runs on into its first as if it were played again."""

    def __init__(self, seconds, loop=False):
        self.n = int(round(seconds * RATE))
        self.loop = loop
        self.buf = [0.0] * self.n

    def add(self, start, samples):
        i0 = int(round(start * RATE))
        buf, n = self.buf, self.n
        for j, v in enumerate(samples):
            i = i0 + j
            if i >= n:
                if not self.loop:
                    break
                i %= n
            buf[i] += v


def envelope(length, gate, attack=0.006, decay=0.08, sustain=0.65, release=0.05):
    """Per-sample gains: attack, decay to sustain until the gate, then release."""
    a, dcy, rel = int(attack * RATE), int(decay * RATE), int(release * RATE)
    g = int(gate * RATE)
    out = []
    for i in range(length):
        if i < a:
            e = i / a
        elif i < a + dcy:
            e = 1.0 - (1.0 - sustain) * (i - a) / dcy
        else:
            e = sustain
        if i >= g:
            e *= max(0.0, 1.0 - (i - g) / rel)
        out.append(e)
    return out


def pulse(midi, seconds, duty=0.25, volume=0.2, vibrato=False, soft=0.35):
    f = freq(midi)
    gate = seconds * 0.85
    n = int((gate + 0.05) * RATE)
    env = envelope(n, gate)
    out, phase, lp = [], 0.0, 0.0
    for i in range(n):
        t = i / RATE
        ff = f
        if vibrato and t > 0.15:
            ff *= 1.0 + 0.004 * math.sin(2 * math.pi * 5.5 * t)
        phase += ff / RATE
        phase -= int(phase)
        v = (1.0 if phase < duty else -1.0) - (2 * duty - 1)   # no DC offset
        lp += soft * (v - lp)          # a touch of low-pass against harshness
        out.append(lp * env[i] * volume)
    return out


def triangle(midi, seconds, volume=0.32):
    f = freq(midi)
    gate = seconds * 0.8
    n = int((gate + 0.03) * RATE)
    env = envelope(n, gate, attack=0.004, decay=0.12, sustain=0.8, release=0.03)
    out, phase = [], 0.0
    for i in range(n):
        phase += f / RATE
        phase -= int(phase)
        v = 4 * phase - 1 if phase < 0.5 else 3 - 4 * phase
        out.append(v * env[i] * volume)
    return out


def kick(volume=0.55):
    n = int(0.14 * RATE)
    out, phase = [], 0.0
    for i in range(n):
        t = i / RATE
        f = 50 + 110 * math.exp(-t * 30)
        phase += f / RATE
        out.append(math.sin(2 * math.pi * phase) * math.exp(-t * 22) * volume)
    return out


def snare(rnd, volume=0.28):
    n = int(0.13 * RATE)
    out, phase = [], 0.0
    for i in range(n):
        t = i / RATE
        phase += 185 / RATE
        tone = math.sin(2 * math.pi * phase) * math.exp(-t * 40) * 0.5
        out.append((rnd.uniform(-1, 1) * math.exp(-t * 24) + tone) * volume)
    return out


def hat(rnd, volume=0.09, length=0.035):
    n = int(length * RATE)
    out, prev = [], 0.0
    for i in range(n):
        x = rnd.uniform(-1, 1)
        out.append((x - prev) * 0.5 * math.exp(-i / RATE * 90) * volume)
        prev = x
    return out


def triad(root, degree):
    """The three notes of the chord on a scale degree of the key `root`."""
    notes = []
    for k in (0, 2, 4):
        d = degree + k
        notes.append(root + MAJOR[d % 7] + 12 * (d // 7))
    return notes


def scale_notes(root, low, high):
    return [m for m in range(low, high + 1) if (m - root) % 12 in MAJOR]


RHYTHMS = [  # in eighths, each sums to 8
    [2, 2, 2, 2], [1, 1, 2, 2, 2], [2, 1, 1, 2, 2], [3, 1, 2, 2], [2, 2, 1, 1, 2],
    [1, 1, 1, 1, 2, 2], [2, 2, 4], [3, 3, 2], [1, 1, 2, 1, 1, 2],
]


def melody_bar(rnd, root, chord, prev, rhythm, low, high, end_on=None):
    """One bar of melody: chord tones on the beats, steps in between."""
    pool = scale_notes(root, low, high)
    chord_pcs = {n % 12 for n in chord}
    notes, pos = [], 0
    for k, length in enumerate(rhythm):
        strong = pos % 4 == 0
        if end_on is not None and k == len(rhythm) - 1:
            # The phrase ends on the nearest note of the wanted pitch.
            notes.append((pos, length, min((m for m in pool if m % 12 == end_on % 12),
                                           key=lambda m: abs(m - prev))))
            prev = notes[-1][2]
            pos += length
            continue
        elif strong:
            cands = [m for m in pool if m % 12 in chord_pcs]
        else:
            cands = pool
        cands = sorted(cands, key=lambda m: abs(m - prev) + rnd.uniform(0, 2.5))
        # Mostly small steps, now and then a cheerful leap.
        pick = cands[0] if rnd.random() < 0.7 else cands[min(len(cands) - 1, rnd.randint(1, 3))]
        if pick == prev and len(cands) > 1 and rnd.random() < 0.6:
            pick = cands[1]
        notes.append((pos, length, pick))
        prev = pick
        pos += length
    return notes, prev


class Tune:
    def __init__(self, name, seed, root, bpm, progression_a, progression_b, form, duty=0.25,
                 bass="oompah", arp=True, swing=False, loop=False):
        self.__dict__.update(locals())
        del self.__dict__["self"]


def compose(t):
    """Returns the note lists of a tune and its length in seconds."""
    rnd = random.Random(t.seed)
    beat = 60.0 / t.bpm
    eighth = beat / 2
    low, high = t.root + 12, t.root + 26
    sections = {}
    prev = t.root + 16
    for name, prog in (("A", t.progression_a), ("B", t.progression_b)):
        bars = []
        rhythms = [rnd.choice(RHYTHMS) for _ in range(2)]
        for i, degree in enumerate(prog):
            chord = triad(t.root, degree)
            rhythm = rhythms[i % 2] if i < len(prog) - 1 else [2, 2, 4]
            end = None
            if i == len(prog) - 1:
                end = t.root if name == "A" else triad(t.root, degree)[0]
            notes, prev = melody_bar(rnd, t.root, chord, prev, rhythm, low, high, end)
            bars.append(notes)
        sections[name] = bars
    # A varied A for the second time round: its third bar rewritten.
    var = [list(b) for b in sections["A"]]
    for i in (len(var) - 2,):
        chord = triad(t.root, t.progression_a[i])
        var[i], prev = melody_bar(rnd, t.root, chord, prev, [1, 1, 2, 1, 1, 2], low, high)
    sections["A2"] = var

    lead, bass, arp, drums = [], [], [], []
    bar_no = 0
    for part in t.form:
        prog = t.progression_b if part == "B" else t.progression_a
        bars = sections[part]
        for i, notes in enumerate(bars):
            start = bar_no * 4 * beat
            last_bar = not t.loop and bar_no == len(t.form) * len(t.progression_a) - 1
            for pos, length, midi in notes:
                off = pos * eighth
                if t.swing and pos % 2 == 1:
                    off += eighth * 0.3
                lead.append((start + off, length * eighth, midi))
            chord = triad(t.root, prog[i])
            broot = t.root - 24 + MAJOR[prog[i] % 7]
            if t.bass == "oompah":
                pattern = [(0, broot), (1, broot + 7), (2, broot), (3, broot + 7)]
                step = beat
            else:
                pattern = [(k, broot + (12 if k % 2 else 0)) for k in range(8)]
                step = eighth
            for k, midi in pattern:
                if last_bar and k * step >= 3 * beat:
                    continue
                bass.append((start + k * step, step, midi))
            if t.arp and part != "A":
                for k in range(16):
                    if last_bar and k >= 12:
                        break
                    arp.append((start + k * beat / 4, beat / 4, chord[k % 3] + 12 * (1 + (k // 3) % 2)))
            for k in range(8):
                if last_bar and k >= 7:
                    break
                when = start + k * eighth
                if k in (0, 4):
                    drums.append((when, "kick"))
                elif k in (2, 6):
                    drums.append((when, "snare"))
                drums.append((when + (eighth * 0.3 if t.swing and k % 2 else 0), "hat"))
            bar_no += 1
    return lead, bass, arp, drums, bar_no * 4 * beat


def render(t):
    lead, bass, arp, drums, seconds = compose(t)
    rnd = random.Random(t.seed * 7 + 1)
    # A loop is exactly its bars long; a tune played once gets room for its tail.
    mix = Mix(seconds if t.loop else seconds + 0.8, loop=t.loop)
    for start, length, midi in lead:
        mix.add(start, pulse(midi, length, duty=t.duty, volume=0.2, vibrato=length > 0.3))
    for start, length, midi in bass:
        mix.add(start, triangle(midi, length))
    for start, length, midi in arp:
        mix.add(start, pulse(midi, length, duty=0.125, volume=0.06, soft=0.25))
    for start, kind in drums:
        if kind == "kick":
            mix.add(start, kick())
        elif kind == "snare":
            mix.add(start, snare(rnd))
        else:
            mix.add(start, hat(rnd))
    add_echo(mix, 60.0 / t.bpm * 0.75, 0.22)
    return mix


def add_echo(mix, delay, gain):
    d = int(delay * RATE)
    dry = list(mix.buf)
    n = mix.n
    # Two repeats of the dry signal, wrapped round when the tune loops.
    for k, g in ((1, gain), (2, gain * gain)):
        for i in range(n):
            j = i - k * d
            if j < 0:
                if not mix.loop:
                    continue
                j += n
            mix.buf[i] += dry[j] * g


def jingle():
    """The end music: a short fanfare that suits a win and a brave loss alike."""
    root, beat = 60, 60.0 / 132
    notes = [(0, 0.5, 67), (0.5, 0.5, 72), (1, 0.5, 76), (1.5, 0.5, 79), (2, 1, 84),
             (3.5, 0.5, 81), (4, 0.5, 79), (4.5, 0.5, 76), (5, 0.5, 77), (5.5, 0.5, 79),
             (6, 2.5, 84)]
    mix = Mix(10 * beat)
    for b, length, midi in notes:
        mix.add(b * beat, pulse(midi, length * beat, duty=0.25, volume=0.2, vibrato=length > 1))
        mix.add(b * beat, pulse(midi - 12, length * beat, duty=0.5, volume=0.07))
    for b, length, midi in ((0, 2, root - 12), (2, 1.5, root - 5), (3.5, 2.5, root - 7),
                            (6, 2.5, root - 12)):
        mix.add(b * beat, triangle(midi, length * beat))
    for b, chord in ((6, (72, 76, 79)),):
        for m in chord:
            mix.add(b * beat, pulse(m, 2.5 * beat, duty=0.125, volume=0.06))
    rnd = random.Random(9)
    for b in (0, 2, 3.5, 6):
        mix.add(b * beat, kick())
    for b in (1, 3, 5, 5.5):
        mix.add(b * beat, snare(rnd))
    add_echo(mix, beat * 0.75, 0.2)
    return mix


TUNES = [
    # Track 0 repeats without end: it is rendered as a seamless loop.
    Tune("Musique", 11, 60, 150, [0, 5, 3, 4], [3, 4, 2, 5], ["A", "A2", "B", "A"], duty=0.25,
         loop=True),
    Tune("Musique2", 23, 67, 138, [0, 3, 4, 0], [5, 3, 1, 4], ["A", "B", "A2", "B", "A"],
         duty=0.5, bass="octaves"),
    Tune("Musique3", 37, 65, 160, [0, 4, 5, 3], [1, 4, 0, 5], ["A", "A2", "B", "A2", "A"],
         duty=0.125),
    Tune("Musique4", 41, 62, 128, [0, 3, 0, 4], [3, 0, 1, 4], ["A", "B", "A2", "A"],
         duty=0.25, bass="octaves", swing=True),
    Tune("Musique5", 53, 69, 168, [0, 5, 1, 4], [3, 4, 5, 4], ["A", "A2", "B", "A", "B", "A"],
         duty=0.5),
]


def write_wav(path, mix, peak=0.85):
    """Normalises to `peak`. A tune played once fades in and out over 4 ms;
    a loop is left whole, its ends already meet."""
    top = max(1e-9, max(abs(v) for v in mix.buf))
    k = peak * 32767 / top
    samples = array.array("h", (int(round(v * k)) for v in mix.buf))
    fade = 0 if mix.loop else int(0.004 * RATE)
    for i in range(fade):
        samples[i] = int(samples[i] * i / fade)
        samples[-1 - i] = int(samples[-1 - i] * i / fade)
    if sys.byteorder == "big":
        samples.byteswap()
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(samples.tobytes())


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for t in TUNES:
        mix = render(t)
        write_wav(os.path.join(out, t.name + ".wav"), mix)
        print("%s: %.1f s" % (t.name, mix.n / RATE))
    write_wav(os.path.join(out, "Fin.wav"), jingle())


if __name__ == "__main__":
    main()
