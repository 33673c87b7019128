#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later

"""Writes the fuzz targets' seed inputs into fuzz/corpus/. Run again after changing it; the
seeds are committed so that fuzzing needs nothing but the build.

Each seed is small and valid (or nearly so), one per shape of input the decoders take, so that
the fuzzer starts from every branch instead of having to discover the formats itself.

Seeds that this script does not write are inputs that fuzzing once found to fail, kept so that
every run tries them again."""

import ctypes
import ctypes.util
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def put(folder, name, data):
    path = os.path.join(HERE, "corpus", folder, name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def dictation(title, item1_lines, items, end=b"\r\n"):
    lines = [title] + item1_lines + [b"x"] + items + [b""] * (9 - len(items))
    return end.join(lines) + end


def dictation_seeds():
    put("dictation", "example.dtd", dictation(
        b"El gat", [b"El gat dorm al sol.", b"Despr\xe9s es renta la cara."],
        [b"La gata juga amb el fil.", b"T\xe9 set vides."]))
    put("dictation", "picture.dtd", dictation(b"Animals", [b"gat.jpg"], [b"Qu\xe8 fa?"]))
    put("dictation", "utf8-bom.dtd", b"\xef\xbb\xbf" + dictation(
        "La coŀlecció".encode(), ["L’àvia té «gats».".encode()], ["Fi".encode()]))
    put("dictation", "utf8-no-bom.dtd", dictation(
        "Pèl".encode(), ["Ça va".encode()], ["ò".encode()]))
    put("dictation", "lf.dtd", dictation(b"T", [b"a", b"b"], [b"c"], b"\n"))
    put("dictation", "cr.dtd", dictation(b"T", [b"a", b"b"], [b"c"], b"\r"))
    put("dictation", "empty-item1.dtd", dictation(b"T", [], [b"u", b"d"]))
    put("dictation", "one-empty-line.dtd", dictation(b"T", [b""], [b"u"]))
    put("dictation", "no-x.dtd", b"T\r\nun\r\ndos\r\n")
    put("dictation", "x-like.dtd", dictation(b"T", [b"X", b" x", b"x "], [b"u"]))
    put("dictation", "hundred-lines.dtd", dictation(b"T", [b"%d" % n for n in range(100)], [b"u"]))
    put("dictation", "c1-bytes.dtd", dictation(b"\x81\x8d\x8f\x90\x9d", [b"\x80\x9f"], [b"\xff"]))
    put("dictation", "empty.dtd", b"")


def riff(fmt_chunk, data, extra_chunks=b""):
    chunks = b"fmt " + struct.pack("<I", len(fmt_chunk)) + fmt_chunk + extra_chunks
    chunks += b"data" + struct.pack("<I", len(data)) + data
    if len(data) % 2:
        chunks += b"\0"
    return b"RIFF" + struct.pack("<I", 4 + len(chunks)) + b"WAVE" + chunks


def fmt(tag, channels, rate, block_align, bits, extra=None):
    byte_rate = rate * block_align
    chunk = struct.pack("<HHIIHH", tag, channels, rate, byte_rate, block_align, bits)
    if extra is not None:
        chunk += struct.pack("<H", len(extra)) + extra
    return chunk


def tone(frames, channels):
    return [[math.sin(2 * math.pi * 440 * n / 8000 + c) * 0.5 for c in range(channels)]
            for n in range(frames)]


def pcm(frames, channels, bits):
    out = bytearray()
    for frame in tone(frames, channels):
        for s in frame:
            if bits == 8:
                out += struct.pack("<B", int(s * 127) + 128)
            elif bits == 16:
                out += struct.pack("<h", int(s * 32767))
            elif bits == 24:
                out += struct.pack("<i", int(s * 8388607))[:3]
            else:
                out += struct.pack("<i", int(s * 2147483647))
    return bytes(out)


def floats(frames, channels, code):
    return b"".join(struct.pack(code, s) for frame in tone(frames, channels) for s in frame)


def clip_seeds():
    frames = 64
    for bits in (8, 16, 24, 32):
        put("clip", "pcm%d-mono.wav" % bits,
            riff(fmt(1, 1, 8000, bits // 8, bits), pcm(frames, 1, bits)))
    put("clip", "pcm16-stereo.wav", riff(fmt(1, 2, 44100, 4, 16), pcm(frames, 2, 16)))
    put("clip", "float32.wav", riff(fmt(3, 1, 48000, 4, 32, b""), floats(frames, 1, "<f"),
                                    b"fact" + struct.pack("<II", 4, frames)))
    put("clip", "float64.wav", riff(fmt(3, 2, 22050, 16, 64, b""), floats(frames, 2, "<d"),
                                    b"fact" + struct.pack("<II", 4, frames)))
    put("clip", "mulaw.wav", riff(fmt(7, 1, 8000, 1, 8, b""), bytes(range(0, 256, 4)),
                                  b"fact" + struct.pack("<II", 4, 64)))
    put("clip", "alaw.wav", riff(fmt(6, 1, 8000, 1, 8, b""), bytes(range(255, 0, -4)),
                                 b"fact" + struct.pack("<II", 4, 64)))
    # IMA ADPCM: one block of 256 bytes holds a 4-byte header and 505 samples.
    ima_block = struct.pack("<hBB", 0, 0, 0) + bytes((n * 37) & 0xFF for n in range(252))
    put("clip", "ima-adpcm.wav", riff(fmt(0x11, 1, 8000, 256, 4, struct.pack("<H", 505)),
                                      ima_block, b"fact" + struct.pack("<II", 4, 505)))
    # MS ADPCM with its seven standard coefficient pairs.
    coefficients = [(256, 0), (512, -256), (0, 0), (192, 64), (240, 0), (460, -208), (392, -232)]
    ms_extra = struct.pack("<HH", 500, len(coefficients)) + b"".join(
        struct.pack("<hh", a, b) for a, b in coefficients)
    ms_block = struct.pack("<Bhhh", 0, 16, 0, 0) + bytes((n * 91) & 0xFF for n in range(249))
    put("clip", "ms-adpcm.wav", riff(fmt(2, 1, 8000, 256, 4, ms_extra), ms_block,
                                     b"fact" + struct.pack("<II", 4, 500)))
    # WAVE_FORMAT_EXTENSIBLE around 16-bit PCM, with a LIST chunk and an odd-sized data chunk.
    pcm_guid = struct.pack("<IHH", 1, 0, 0x10) + bytes([0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71])
    ext = struct.pack("<HI", 16, 0x4) + pcm_guid
    info = b"INFOINAM" + struct.pack("<I", 4) + b"gat\0"
    put("clip", "extensible.wav", riff(fmt(0xFFFE, 1, 16000, 2, 16, ext), pcm(frames, 1, 16),
                                       b"LIST" + struct.pack("<I", len(info)) + info))
    put("clip", "pcm8-odd.wav", riff(fmt(1, 1, 11025, 1, 8), pcm(63, 1, 8)))
    put("clip", "header-only.wav", riff(fmt(1, 1, 8000, 2, 16), b""))
    # The decoder takes whatever libsndfile recognises, whatever the name says.
    put("clip", "flac-named.wav", flac(frames))


class SfInfo(ctypes.Structure):
    _fields_ = [("frames", ctypes.c_int64), ("samplerate", ctypes.c_int),
                ("channels", ctypes.c_int), ("format", ctypes.c_int),
                ("sections", ctypes.c_int), ("seekable", ctypes.c_int)]


def flac(frames):
    """A FLAC file written by libsndfile itself: no hand-made FLAC would be trustworthy."""
    sndfile = ctypes.CDLL(ctypes.util.find_library("sndfile") or "libsndfile.so.1")
    sndfile.sf_open.restype = ctypes.c_void_p
    sndfile.sf_open.argtypes = [ctypes.c_char_p, ctypes.c_int, ctypes.POINTER(SfInfo)]
    sndfile.sf_writef_short.argtypes = [ctypes.c_void_p, ctypes.c_void_p, ctypes.c_int64]
    sndfile.sf_close.argtypes = [ctypes.c_void_p]
    sf_format_flac, sf_format_pcm_16, sfm_write = 0x170000, 0x0002, 0x20
    info = SfInfo(0, 8000, 1, sf_format_flac | sf_format_pcm_16, 0, 0)
    path = os.path.join(HERE, "corpus", "flac.tmp")
    handle = sndfile.sf_open(path.encode(), sfm_write, ctypes.byref(info))
    samples = (ctypes.c_short * frames)(*(int(f[0] * 32767) for f in tone(frames, 1)))
    sndfile.sf_writef_short(handle, samples, frames)
    sndfile.sf_close(handle)
    with open(path, "rb") as f:
        data = f.read()
    os.remove(path)
    return data


if __name__ == "__main__":
    dictation_seeds()
    clip_seeds()
