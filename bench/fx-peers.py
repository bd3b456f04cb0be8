"""The image engine's blur beside libvips and OpenCV: whole process PNG to PNG, three box blurs
in float in process, and how near each comes to the exact Gaussian (PSNR).
Run through bench/run-fx-peers, which passes the paths; prints one Markdown table."""
import argparse
import json
import os
import statistics
import subprocess
import sys
import tempfile
import time

import cv2
import numpy as np

SIGMA = 10
# The engine's three box radii for sigma 10 (three boxes of a Gaussian's spread).
RADII = (9, 9, 10)


def make_picture(path):
    """A 4000 x 3000 photograph-like picture: waves, noise and discs from a fixed seed."""
    if os.path.exists(path):
        return
    rng = np.random.default_rng(29)
    h, w = 3000, 4000
    y, x = np.mgrid[0:h, 0:w].astype(np.float32)
    img = np.stack([128 + 100 * np.sin(x / 97.0) * np.cos(y / 131.0), 128 + 90 * np.sin((x + y) / 211.0),
                    128 + 110 * np.cos(x / 53.0 - y / 77.0)], -1)
    img += rng.normal(0, 12, img.shape)
    for _ in range(60):
        cv2.circle(img, (int(rng.integers(0, w)), int(rng.integers(0, h))), int(rng.integers(20, 300)),
                   [float(v) for v in rng.integers(0, 256, 3)], -1)
    cv2.imwrite(path, np.clip(img, 0, 255).astype(np.uint8))


def timed(command):
    """Wall seconds and peak resident MiB of one run under GNU time."""
    with tempfile.NamedTemporaryFile('r') as times:
        subprocess.run(['/usr/bin/time', '-f', '%e %M', '-o', times.name] + command, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        seconds, kib = times.read().split()
    return float(seconds), int(kib) / 1024


def psnr(path, exact):
    picture = cv2.imread(path, cv2.IMREAD_COLOR).astype(np.float64)
    mse = np.mean((picture - exact) ** 2)
    return 10 * np.log10(255 ** 2 / mse)


def fx_bench_median(binary, runs):
    out = subprocess.run([binary, '--benchmark_filter=^Blur/10/', f'--benchmark_repetitions={runs}',
                          '--benchmark_format=json'], check=True, capture_output=True, text=True).stdout
    times = [entry['real_time'] for entry in json.loads(out)['benchmarks'] if entry.get('run_type') == 'iteration']
    if not times:
        raise SystemExit('Error: fx_bench gave no time')
    return statistics.median(times)


def opencv_median(runs):
    h, w = 3000, 4000
    y, x = np.mgrid[0:h, 0:w]
    picture = np.stack([(x % 256) / 255, (y % 256) / 255, np.full((h, w), 0.5), np.ones((h, w))], -1).astype(np.float32)
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        blurred = picture
        for radius in RADII:
            blurred = cv2.boxFilter(blurred, -1, (2 * radius + 1, 1), borderType=cv2.BORDER_CONSTANT)
        for radius in RADII:
            blurred = cv2.boxFilter(blurred, -1, (1, 2 * radius + 1), borderType=cv2.BORDER_CONSTANT)
        times.append((time.perf_counter() - start) * 1000)
    return statistics.median(times)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--runs', type=int, default=3)
    parser.add_argument('--build', action='append', required=True, help='LABEL=DIR of a build/bench folder')
    parser.add_argument('--work', required=True)
    options = parser.parse_args()
    os.makedirs(options.work, exist_ok=True)
    picture = os.path.join(options.work, 'photo-4000x3000.png')
    make_picture(picture)
    recipe = os.path.join(options.work, 'blur-10.json')
    # Edges clamped before the blur and the result cut to the picture, as vips extends its edges.
    with open(recipe, 'w') as f:
        json.dump({'images': {'p': {'file': picture}},
                   'steps': [{'name': 'k', 'filter': 'CIAffineClamp', 'inputs': {'inputImage': 'p'}},
                             {'name': 'b', 'filter': 'CIGaussianBlur', 'inputs': {'inputImage': 'k', 'inputRadius': SIGMA}},
                             {'name': 'c', 'crop': 'b', 'rect': [0, 0, 4000, 3000]}],
                   'output': 'c'}, f)
    source = cv2.imread(picture, cv2.IMREAD_COLOR).astype(np.float64)
    exact = np.clip(np.round(cv2.GaussianBlur(source, (0, 0), SIGMA, borderType=cv2.BORDER_REPLICATE)), 0, 255)

    whole = {}
    commands = {label: [os.path.join(folder, 'fx-render'), recipe, os.path.join(options.work, f'out-{label}.png')]
                for label, folder in (b.split('=', 1) for b in options.build)}
    commands['vips'] = ['vips', 'gaussblur', picture, os.path.join(options.work, 'out-vips.png'), str(SIGMA)]
    for label in commands:
        whole[label] = []
    # Runs interleaved, so that a busy moment of the machine falls on every tool alike.
    for _ in range(options.runs):
        for label, command in commands.items():
            whole[label].append(timed(command))

    in_process = {label: fx_bench_median(os.path.join(folder, 'fx_bench'), options.runs)
                  for label, folder in (b.split('=', 1) for b in options.build)}
    in_process['OpenCV'] = opencv_median(options.runs)

    print(f'| task | tool | time (median of {options.runs}) | peak RSS (MiB) | PSNR against the exact Gaussian (dB) |')
    print('|---|---|---|---|---|')
    for label, runs in whole.items():
        seconds = statistics.median(r[0] for r in runs)
        peak = max(r[1] for r in runs)
        name = '`vips gaussblur`' if label == 'vips' else f'Foldwise {label} (`fx-render`)'
        print(f'| blur σ 10 of 4000×3000, PNG → PNG | {name} | {seconds:.2f} s | {peak:.0f} | '
              f'{psnr(os.path.join(options.work, "out-vips.png" if label == "vips" else f"out-{label}.png"), exact):.1f} |')
    for label, ms in in_process.items():
        name = 'OpenCV `boxFilter` × 6 (three boxes each way)' if label == 'OpenCV' else f'Foldwise {label} (`fx_bench` Blur/10)'
        print(f'| three box blurs in float, 4000×3000 RGBA, in process | {name} | {ms:.0f} ms | | |')


if __name__ == '__main__':
    sys.exit(main())
