#!/usr/bin/python3
"""Pictures of the sound of ORV Q12, made from the built module.

Renders test signals through the module with orv-render (64-bit processing at 48 kHz, every knob
not named at its default) and plots what comes out:

  transfer-curve.png  output against input for a full-scale triangle, Drive 0, 5 and 10
  harmonics.png       the spectrum of a quiet 220 Hz sine, Drive 2, 5 and 10
  tone-control.png    the frequency response at a low level, Filter 0, 5 and 10
  aliasing.png        a 4567 Hz sine at Drive 10, Quality 0 against Quality 1

With --data DIR it also writes the numbers each picture shows as CSV files, for the tests.
Run with Debian's /usr/bin/python3, which sees python3-matplotlib and python3-numpy.
"""
import argparse
import csv
import os
import struct
import subprocess
import tempfile

import numpy as np
import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402  (the back end is chosen first)

RATE = 48000
WAVE_FORMAT_IEEE_FLOAT = 3
WAVE_FORMAT_EXTENSIBLE = 0xFFFE


def write_wav(path, samples):
    """A mono 64-bit float WAV at RATE."""
    data = np.asarray(samples, dtype="<f8").tobytes()
    fmt = struct.pack("<HHIIHH", WAVE_FORMAT_IEEE_FLOAT, 1, RATE, RATE * 8, 8, 64)
    with open(path, "wb") as f:
        f.write(b"RIFF" + struct.pack("<I", 4 + 8 + len(fmt) + 8 + len(data)) + b"WAVE")
        f.write(b"fmt " + struct.pack("<I", len(fmt)) + fmt)
        f.write(b"data" + struct.pack("<I", len(data)) + data)


def read_wav(path):
    """The first channel of a float WAV, as written by orv-render."""
    with open(path, "rb") as f:
        raw = f.read()
    if raw[:4] != b"RIFF" or raw[8:12] != b"WAVE":
        raise ValueError(f"{path} is not a WAV file")
    pos, fmt = 12, None
    while pos + 8 <= len(raw):
        chunk = raw[pos:pos + 4]
        size = struct.unpack("<I", raw[pos + 4:pos + 8])[0]
        body = raw[pos + 8:pos + 8 + size]
        if chunk == b"fmt ":
            tag, channels, _, _, _, bits = struct.unpack("<HHIIHH", body[:16])
            if tag == WAVE_FORMAT_EXTENSIBLE:
                tag = struct.unpack("<H", body[24:26])[0]
            if tag != WAVE_FORMAT_IEEE_FLOAT or bits not in (32, 64):
                raise ValueError(f"{path} is not a float WAV")
            fmt = (channels, "<f4" if bits == 32 else "<f8")
        elif chunk == b"data" and fmt is not None:
            channels, dtype = fmt
            return np.frombuffer(body, dtype=dtype).astype(float)[::channels]
        pos += 8 + size + (size & 1)
    raise ValueError(f"{path} has no audio")


class Renderer:
    """Runs signals through the module with orv-render, in a scratch folder."""

    def __init__(self, orv_render, folder):
        self.orv_render = orv_render
        self.folder = folder

    def __call__(self, signal, **params):
        source = os.path.join(self.folder, "in.wav")
        result = os.path.join(self.folder, "out.wav")
        write_wav(source, signal)
        command = [self.orv_render, "--precision", "64"]
        for name, value in params.items():
            command += ["--param", f"{name}={value}"]
        subprocess.run(command + [source, result], check=True)
        return read_wav(result)


def blackman_harris(n):
    """4-term Blackman-Harris: side lobes below -92 dB."""
    x = 2 * np.pi * np.arange(n) / n
    return 0.35875 - 0.48829 * np.cos(x) + 0.14128 * np.cos(2 * x) - 0.01168 * np.cos(3 * x)


def amplitude_spectrum(signal):
    """Windowed spectrum scaled so that a sine on a bin reads its peak amplitude."""
    window = blackman_harris(len(signal))
    spectrum = np.abs(np.fft.rfft(signal * window)) / (window.sum() / 2)
    return np.fft.rfftfreq(len(signal), 1 / RATE), spectrum


def db(x):
    return 20 * np.log10(np.maximum(x, 1e-15))


def sine(hz, amplitude, frames):
    return amplitude * np.sin(2 * np.pi * hz * np.arange(frames) / RATE)


# --- the pictures: each returns a figure and the rows of numbers it shows -----------------------

DRIVE_COLOURS = {0: "#3b6ea8", 2: "#3b6ea8", 5: "#d08c1f", 10: "#b8312f"}


def transfer_curve(render):
    # A slow ramp would show nothing: coupling capacitors block what changes slowly. Ramps of
    # 2.5 ms (a 200 Hz triangle) pass, and the steady last period shows both directions.
    ramp = np.linspace(-1, 1, RATE // 400, endpoint=False)
    period = np.concatenate([ramp, -ramp])
    signal = np.tile(period, 200)
    rows = []
    fig, ax = plt.subplots(figsize=(8, 6))
    for drive in (0, 5, 10):
        out = render(signal, Drive=drive)[-len(period):]
        rising, falling = out[:len(ramp)], out[len(ramp):]
        colour = DRIVE_COLOURS[drive]
        ax.plot(ramp, rising, color=colour, lw=2, label=f"Drive {drive}")
        ax.plot(-ramp, falling, color=colour, lw=1, ls="--")
        rows += [(drive, "rising", x, y) for x, y in zip(ramp, rising)]
        rows += [(drive, "falling", x, y) for x, y in zip(-ramp, falling)]
    ax.axhline(0, color="0.6", lw=0.8)
    ax.axvline(0, color="0.6", lw=0.8)
    ax.set_xlim(-1, 1)
    ax.set_xlabel("input (1 = full scale)")
    ax.set_ylabel("output")
    ax.set_title("Transfer curve: a full-scale triangle of 2.5 ms ramps (200 Hz)")
    ax.legend(title="solid: rising, dashed: falling", loc="upper left")
    ax.grid(alpha=0.3)
    return fig, (("drive", "direction", "input", "output"), rows)


def harmonics(render):
    tone, frames = 220, RATE  # one second holds 220 whole periods: every harmonic on a bin
    harmonic_count = 22
    fig, axes = plt.subplots(3, 1, figsize=(9, 8), sharex=True)
    rows = []
    for ax, drive in zip(axes, (2, 5, 10)):
        # 1.5 s first: at Drive 5 a slow mode of the drive stage settles by half each 0.1 s.
        out = render(sine(tone, 0.01, 3 * RATE // 2 + frames), Drive=drive)[-frames:]
        hz, spectrum = amplitude_spectrum(out)
        levels = db(spectrum)
        bins = tone * np.arange(1, harmonic_count + 1) * frames // RATE
        ax.plot(hz, levels, color="0.55", lw=0.8)
        ax.plot(hz[bins], levels[bins], "o", color=DRIVE_COLOURS[drive], ms=4)
        for k in (1, 2, 3, 5):
            ax.annotate(f"H{k}" if k > 1 else "220 Hz", (hz[bins[k - 1]], levels[bins[k - 1]]),
                        textcoords="offset points", xytext=(4, 4), fontsize=8)
        rows += [(drive, k + 1, hz[b], levels[b]) for k, b in enumerate(bins)]
        ax.set_ylim(-160, 10)
        ax.set_ylabel("dB re full scale")
        ax.set_title(f"Drive {drive}", loc="left", fontsize=10)
        ax.grid(alpha=0.3)
    axes[-1].set_xlim(0, tone * (harmonic_count + 0.5))
    axes[-1].set_xlabel("frequency (Hz)")
    fig.suptitle("Harmonics of a 220 Hz sine at -40 dB re full scale (dots: the fundamental "
                 "and its harmonics)")
    fig.tight_layout()
    return fig, (("drive", "harmonic", "hz", "dbfs"), rows)


def tone_control(render):
    # The response to a small impulse, less the response to silence (the circuit has offsets),
    # evaluated at log-spaced frequencies.
    level, lead, length = 1e-3, 1000, 1 << 15
    impulse = np.zeros(lead + length)
    impulse[lead] = level
    hz = np.geomspace(20, 20000, 241)
    phases = np.exp(-2j * np.pi * np.outer(hz, np.arange(length)) / RATE)
    fig, axes = plt.subplots(1, 2, figsize=(11, 5), sharey=True)
    rows = []
    for ax, drive in zip(axes, (0, 5)):
        for filt, colour in ((0, "#3b6ea8"), (5, "#d08c1f"), (10, "#b8312f")):
            settings = dict(Drive=drive, Filter=filt)
            response = (render(impulse, **settings) - render(np.zeros_like(impulse), **settings))
            gain = db(np.abs(phases @ response[lead:]) / level)
            ax.semilogx(hz, gain, color=colour, lw=2, label=f"Filter {filt}")
            rows += [(drive, filt, f, g) for f, g in zip(hz, gain)]
        ax.set_title(f"Drive {drive}" + (": the tone control alone" if drive == 0 else
                                          ": with the drive stage's mid boost"), fontsize=10)
        ax.set_xlim(20, 20000)
        ax.set_xlabel("frequency (Hz)")
        ax.grid(which="both", alpha=0.3)
        ax.legend(loc="lower left")
    axes[0].set_ylabel("gain (dB)")
    fig.suptitle("Frequency response of the tone control: an impulse of -60 dB re full scale, "
                 "Volume 5")
    fig.tight_layout()
    return fig, (("drive", "filter", "hz", "db"), rows)


def worst_alias(hz, spectrum, tone):
    """The strongest component that is not near a harmonic of the tone, relative to the tone."""
    bin_hz = hz[1]
    harmonic = np.round(hz / tone)
    near_harmonic = (harmonic >= 1) & (np.abs(hz - harmonic * tone) < 6 * bin_hz)
    fundamental = spectrum[np.abs(hz - tone) < 6 * bin_hz].max()
    candidates = np.where(~near_harmonic & (hz > 30), spectrum, 0)
    candidates[len(hz) - 1] = 0  # the Nyquist bin is not a frequency of its own
    worst = int(np.argmax(candidates))
    return hz[worst], db(spectrum[worst] / fundamental), fundamental


def aliasing(render):
    # Every component is a harmonic of the whole-hertz tone, folded at whole-hertz rates: on the
    # 1 Hz bins of a one-second analysis each is read at its true level.
    tone, frames = 4567, RATE
    fig, axes = plt.subplots(2, 1, figsize=(9, 7), sharex=True)
    rows = []
    for ax, quality in zip(axes, (0, 1)):
        out = render(sine(tone, 0.5, frames + RATE // 2), Drive=10, Quality=quality)[-frames:]
        hz, spectrum = amplitude_spectrum(out)
        alias_hz, alias_db, fundamental = worst_alias(hz, spectrum, tone)
        ax.plot(hz, db(spectrum / fundamental), color="0.35", lw=0.7)
        for k in range(1, int(RATE / 2 / tone) + 1):
            ax.axvline(k * tone, color="#3b6ea8", lw=4, alpha=0.18)
        ax.plot([alias_hz], [alias_db], "v", color="#b8312f", ms=7)
        ax.annotate(f"strongest alias {alias_db:.1f} dB at {alias_hz:.0f} Hz",
                    (alias_hz, alias_db), textcoords="offset points", xytext=(8, 6),
                    color="#b8312f", fontsize=9)
        rows.append((quality, alias_hz, alias_db))
        factor = 4 if quality else 2
        ax.set_title(f"Quality {quality}: {factor}x oversampling", loc="left", fontsize=10)
        ax.set_ylim(-160, 10)
        ax.set_ylabel("dB re the 4567 Hz tone")
        ax.grid(alpha=0.3)
    axes[-1].set_xlim(0, RATE / 2)
    axes[-1].set_xlabel("frequency (Hz); blue bands: the tone's harmonics, the rest is aliasing")
    fig.suptitle("Aliasing: a 4567 Hz sine at half scale, Drive 10, 48 kHz")
    fig.tight_layout()
    return fig, (("quality", "alias_hz", "alias_db"), rows)


PICTURES = (
    ("transfer-curve", transfer_curve),
    ("harmonics", harmonics),
    ("tone-control", tone_control),
    ("aliasing", aliasing),
)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--orv-render", required=True, help="the orv-render program to use")
    parser.add_argument("--out", required=True, help="folder for the PNG files")
    parser.add_argument("--data", help="folder for the numbers behind each picture (CSV)")
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    if args.data:
        os.makedirs(args.data, exist_ok=True)
    with tempfile.TemporaryDirectory() as scratch:
        render = Renderer(args.orv_render, scratch)
        for name, draw in PICTURES:
            fig, (header, rows) = draw(render)
            # No software version in the file: unchanged pictures stay byte for byte the same.
            fig.savefig(os.path.join(args.out, name + ".png"), dpi=100,
                        metadata={"Software": None})
            plt.close(fig)
            if args.data:
                with open(os.path.join(args.data, name + ".csv"), "w", newline="") as f:
                    writer = csv.writer(f)
                    writer.writerow(header)
                    writer.writerows(rows)
            print(os.path.join(args.out, name + ".png"))


if __name__ == "__main__":
    main()
