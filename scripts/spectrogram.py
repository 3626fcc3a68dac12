#!/usr/bin/python3
"""Draws a before/after spectrogram of raw 16-bit mono 8 kHz audio as a
PNG: two panels, time across, 0-2 kHz up, each labelled, written with
numpy and zlib only.
Usage: spectrogram.py BEFORE.raw AFTER.raw OUT.png
(bench/mask/peers.sh writes the card-number call to build/mask/:
card_call.original.raw and card_call.ours.raw)"""
import struct
import sys
import zlib

import numpy as np

RATE = 8000
FRAME = 256  # 32 ms: 31 Hz a bin
HOP = 64     # 8 ms a column
TOP_HZ = 2000
FLOOR_DB = 80

# A 5x7 bitmap font for the labels, one string of 7 rows per character.
FONT = {
    'A': '01110100011000111111100011000110001', 'B': '11110100011000111110100011000111110',
    'E': '11111100001000011110100001000011111', 'F': '11111100001000011110100001000010000',
    'K': '10001100101010011000101001001010001', 'M': '10001110111010110101100011000110001',
    'O': '01110100011000110001100011000101110', 'R': '11110100011000111110101001001010001',
    'S': '01111100001000001110000010000111110', 'T': '11111001000010000100001000010000100',
    'D': '11110100011000110001100011000111110', 'z': '00000000001111100010001000100011111',
    'H': '10001100011000111111100011000110001', 'k': '10000100001001010100110001010010010',
    's': '00000000000111010000011100000111110', 'e': '00000000000111010001111111000001110',
    'c': '00000000000111010000100001000101110', 'o': '00000000000111010001100011000101110',
    'n': '00000000001011011001100011000110001', 'd': '00001000010110110011100011000101111',
    'a': '00000000000111000001011111000101111', 'i': '00100000000110000100001000010001110',
    'm': '00000000001101010101101011010110101', 'r': '00000000001011011001100001000010000',
    't': '01000010001110001000010000100100110', 'h': '10000100001011011001100011000110001',
    'f': '00110010010100011100010000100001000', 'l': '01100001000010000100001000010001110',
    '0': '01110100011001110101110011000101110', '1': '00100011000010000100001000010001110',
    '2': '01110100010000100010001000100011111', '-': '00000000000000011111000000000000000',
    ' ': '00000000000000000000000000000000000', ',': '00000000000000000000011000010001000',
    ':': '00000011000110000000011000110000000', '(': '00010001000100001000010000010000010',
    ')': '01000001000001000010000100010001000', '/': '00000000010001000100010001000000000',
    'b': '10000100001011011001100011000111110', '5': '11111100001111000001000011000101110',
    'u': '00000000001000110001100011001101101', 'g': '00000011111000110001011110000101110',
    'p': '00000111101000110001111101000010000', 'w': '00000000001000110001101011010101010',
    'y': '00000100011000101111000010001001110', 'v': '00000000001000110001100010101000100',
}


def spectrogram(x):
    window = np.hanning(FRAME)
    columns = []
    for at in range(0, len(x) - FRAME, HOP):
        spectrum = np.abs(np.fft.rfft(window * x[at:at + FRAME])) ** 2
        columns.append(spectrum[:FRAME * TOP_HZ // RATE + 1])
    power = np.array(columns).T[::-1] + 1e-3  # low frequencies at the bottom
    return 10 * np.log10(power)


def text(image, x, y, label, colour):
    for i, ch in enumerate(label):
        bits = FONT.get(ch, FONT[' '])
        for row in range(7):
            for col in range(5):
                if bits[row * 5 + col] == '1':
                    image[y + 2 * row:y + 2 * row + 2,
                          x + 12 * i + 2 * col:x + 12 * i + 2 * col + 2] = colour


def write_png(path, rgb):
    height, width, _ = rgb.shape
    raw = b''.join(b'\x00' + rgb[row].tobytes() for row in range(height))

    def chunk(kind, data):
        body = kind + data
        return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body))

    with open(path, 'wb') as f:
        f.write(b'\x89PNG\r\n\x1a\n')
        f.write(chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0)))
        f.write(chunk(b'IDAT', zlib.compress(raw, 9)))
        f.write(chunk(b'IEND', b''))


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    before, after = (np.fromfile(p, dtype='<i2').astype(float) for p in sys.argv[1:3])
    panels = [spectrogram(before), spectrogram(after)]
    top = max(p.max() for p in panels)
    margin, label_h = 60, 24
    height, width = panels[0].shape
    scale = 3  # pixels per bin
    image = np.full((2 * (label_h + height * scale) + 40, width + margin + 10, 3), 255, np.uint8)
    titles = ['Before: card number keyed over speech', 'After: masked (silence)']
    for k, panel in enumerate(panels):
        level = np.clip((panel - top + FLOOR_DB) / FLOOR_DB, 0, 1)
        grey = (255 * (1 - level)).astype(np.uint8).repeat(scale, axis=0)
        y0 = k * (label_h + height * scale) + label_h
        image[y0:y0 + height * scale, margin:margin + width] = grey[:, :, None]
        text(image, margin, y0 - 18, titles[k], (0, 0, 0))
        for hz in (0, 1000, 2000):
            y = y0 + height * scale - 1 - (hz * (height - 1) * scale) // TOP_HZ
            text(image, 2, max(y0, min(y - 6, y0 + height * scale - 14)), f'{hz // 1000}kHz',
                 (0, 0, 0))
    seconds = len(before) / RATE
    y = image.shape[0] - 20
    for s in range(0, int(seconds) + 1, 5):
        text(image, margin + int(s * RATE / HOP), y, f'{s}s' if s else '0', (0, 0, 0))
    write_png(sys.argv[3], image)


main()
