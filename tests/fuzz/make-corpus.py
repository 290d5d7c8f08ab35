#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into corpus/dispatcher and corpus/thrummel.

The seeds are deterministic; run this again after changing how a target reads its bytes,
and commit the files it writes. Inputs that reproduce mended faults are committed beside
them under names starting with "regression-" and are not written here.
"""

import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# --- the dispatcher target's byte format (see DispatcherFuzz.cpp and FuzzInput.h) ---------

DISPATCH, SET_PARAMETER, GET_PARAMETER, PROCESS_REPLACING, PROCESS, CLOSE = 0, 3, 4, 5, 6, 7
HOST_SIZES = {8: 0, 24: 1, 64: 2, 256: 3}

# Opcodes by name, as the interface numbers them.
OPCODES = dict(
    effOpen=0, effClose=1, effSetProgram=2, effGetProgram=3, effSetProgramName=4, effGetProgramName=5,
    effGetParamLabel=6, effGetParamDisplay=7, effGetParamName=8, effGetVu=9, effSetSampleRate=10,
    effSetBlockSize=11, effMainsChanged=12, effEditGetRect=13, effEditClose=15, effEditIdle=19,
    effGetChunk=23, effSetChunk=24, effProcessEvents=25, effCanBeAutomated=26, effString2Parameter=27,
    effGetProgramNameIndexed=29, effGetInputProperties=33, effSetSpeakerArrangement=42,
    effSetBlockSizeAndSampleRate=43, effGetEffectName=45, effGetErrorText=46, effGetVendorString=47,
    effGetProductString=48, effVendorSpecific=50, effCanDo=51, effGetParameterProperties=56,
    effEditKeyDown=59, effEditKeyUp=60, effSetEditKnobMode=61, effGetSpeakerArrangement=69,
    effShellGetNextPlugin=70, effStartProcess=71, effStopProcess=72,
)
TEXT_IN = {4, 27, 51}


def small(n):
    """An integer for FuzzInput::smallOrAny."""
    if -2 <= n <= 29:
        return bytes([n + 2])
    if n == -(2 ** 31):
        return bytes([224])
    if n == 2 ** 31 - 1:
        return bytes([225])
    return bytes([226]) + struct.pack("<i", n)


def flt(v):
    """A float for FuzzInput::floatValue."""
    if isinstance(v, str):
        return bytes([{"nan": 0, "inf": 1, "-inf": 2, "max": 3, "-max": 4, "denormal": 5, "-0": 6, "1e30": 7}[v]]) + (
            b"\x00" if v == "denormal" else b"")
    if 0.0 <= v <= 1.0:
        return bytes([11]) + struct.pack("<H", round(v * 65535))
    return bytes([8]) + struct.pack("<f", v)


def opcode(op):
    if -4 <= op <= 101:
        return bytes([op + 4])
    return bytes([240]) + struct.pack("<i", op)


def dispatch(op, index=0, value=0, opt=0.0, null=False, size=256, text=b"", chunk=b"", arrangement=(2, 2)):
    out = bytes([DISPATCH]) + opcode(op)
    if op in (1, 14):
        return out
    out += small(index) + small(value) + flt(opt) + bytes([0 if null else 1, HOST_SIZES[size]])
    if op in TEXT_IN:
        out += bytes([len(text)]) + text
    elif op == 24:
        out += struct.pack("<H", len(chunk)) + chunk
    elif op == 42:
        for channels in arrangement:
            out += bytes([channels]) + small(1)
    return out


def parameter_index(i):
    if -1 <= i <= 16:
        return bytes([i + 1])
    return bytes([200]) + small(i)


def set_parameter(i, v):
    return bytes([SET_PARAMETER]) + parameter_index(i) + flt(v)


def get_parameter(i):
    return bytes([GET_PARAMETER]) + parameter_index(i)


def process(frames, left=("tone", 10), right=("tone", 40), layout=0, replacing=True):
    out = bytes([PROCESS_REPLACING if replacing else PROCESS])
    if frames == 0:
        out += bytes([0])
    elif frames == -1:
        out += bytes([129])
    elif frames == "min":
        out += bytes([1])
    elif frames <= 256:
        out += bytes([3]) + bytes([frames - 1])
    else:
        out += bytes([2]) + struct.pack("<H", frames - 1)
    for kind, arg in (left, right):
        if kind == "zero":
            out += bytes([0])
        elif kind == "tone":
            out += bytes([1, arg])
        elif kind == "const":
            out += bytes([2]) + flt(arg)
        else:
            out += bytes([3, len(arg) - 1]) + b"".join(flt(v) for v in arg)
    return out + bytes([layout])


def host_session():
    """What a well-behaved host does from loading to unloading."""
    s = dispatch(OPCODES["effOpen"])
    s += dispatch(OPCODES["effSetSampleRate"], opt=44100.0)
    s += dispatch(OPCODES["effSetBlockSize"], value=512)
    for op in ("effGetEffectName", "effGetVendorString", "effGetProductString"):
        s += dispatch(OPCODES[op], size=64)
    for i in range(15):
        s += dispatch(OPCODES["effGetParamName"], index=i, size=24)
        s += dispatch(OPCODES["effGetParamDisplay"], index=i, size=24)
        s += dispatch(OPCODES["effGetParamLabel"], index=i, size=8)
        s += get_parameter(i)
    s += dispatch(OPCODES["effMainsChanged"], value=1)
    s += dispatch(OPCODES["effStartProcess"])
    s += process(256) + process(64, layout=1) + process(200, replacing=False)
    s += dispatch(OPCODES["effStopProcess"]) + dispatch(OPCODES["effMainsChanged"], value=0)
    return s + bytes([CLOSE])


def dispatcher_seeds():
    seeds = {}
    seeds["host-session"] = bytes([0]) + host_session()
    seeds["host-refuses-version"] = bytes([0xFF])

    every = bytes([0])
    for op in range(-4, 102):
        if op in (1, 14):
            continue
        every += dispatch(op, index=1, value=1, opt=0.5, size=256, text=b"receiveVstEvents")
    seeds["every-opcode"] = every + bytes([CLOSE])

    nulls = bytes([0])
    for op in range(-4, 102):
        if op in (1, 14):
            continue
        nulls += dispatch(op, index=3, value=2, null=True)
    seeds["every-opcode-null-pointer"] = nulls + bytes([CLOSE])

    small_buffers = bytes([0])
    for op in range(0, 80):
        if op in (1, 14):
            continue
        small_buffers += dispatch(op, index=0, value=0, size=8, text=b"1234567")
    seeds["every-opcode-8-byte-buffer"] = small_buffers + bytes([CLOSE])

    strange = bytes([0])
    for op in (-1, -2 ** 31, 2 ** 31 - 1, 77, 100, 101, 1000, 0x10000):
        for index in (-1, 2 ** 31 - 1, -(2 ** 31)):
            strange += dispatch(op, index=index, value=-(2 ** 31), opt="nan")
    seeds["out-of-table-opcodes"] = strange + bytes([CLOSE])

    values = bytes([0])
    for i in range(-1, 17):
        for v in ("nan", "inf", "-inf", "max", "-max", "denormal", "-0", "1e30", -1.5, 0.0, 0.0005, 0.5, 1.0, 2.0):
            values += set_parameter(i, v) + get_parameter(i)
            values += dispatch(OPCODES["effGetParamDisplay"], index=i, size=24)
    values += set_parameter(2 ** 31 - 1, 0.5) + set_parameter(-(2 ** 31), 0.5) + get_parameter(-(2 ** 31))
    seeds["parameter-values"] = values + bytes([CLOSE])

    sound = bytes([0]) + dispatch(OPCODES["effMainsChanged"], value=1)
    settings = [(0, 1.0), (1, 0.3), (2, 0.0), (3, 1.0), (4, 1.0), (5, 0.2), (6, 1.0), (7, 0.05), (8, 1.0),
                (9, 1.0), (10, "max"), (11, 0.3)]
    for i, v in settings:
        sound += set_parameter(i, v)
    for filter_type in (0.0, 0.3, 0.6, 0.9):
        sound += set_parameter(11, filter_type)
        sound += process(256, left=("const", "max"), right=("samples", ["nan", "inf", "-inf", "denormal", 1e30, -1.0]))
        sound += process(100, left=("const", "nan"), right=("tone", 3), layout=2, replacing=False)
        sound += process(40, left=("samples", ["denormal"] * 8), right=("zero", 0), layout=3)
    sound += process(0) + process(-1) + process("min") + process(4096)
    seeds["extreme-sound"] = sound + bytes([CLOSE])

    texts = bytes([0])
    for name in (b"", b"Kick bus", b"A program name far longer than thirty-one characters",
                 b"\xff\xfe\x80 odd bytes"):
        texts += dispatch(OPCODES["effSetProgramName"], text=name, size=64)
        texts += dispatch(OPCODES["effGetProgramName"], size=24)
        texts += dispatch(OPCODES["effSetProgram"], value=5) + dispatch(OPCODES["effGetProgramName"], size=8)
    for can in (b"receiveVstEvents", b"bypass", b"", b"x" * 200):
        texts += dispatch(OPCODES["effCanDo"], text=can, size=256)
    texts += dispatch(OPCODES["effString2Parameter"], index=2, text=b"0.5")
    texts += dispatch(OPCODES["effGetProgramNameIndexed"], index=3, value=-1, size=24)
    texts += dispatch(OPCODES["effSetProgram"], value=-(2 ** 31)) + dispatch(OPCODES["effGetProgram"])
    seeds["program-names-and-texts"] = texts + bytes([CLOSE])

    records = bytes([0])
    records += dispatch(OPCODES["effEditGetRect"]) + dispatch(OPCODES["effEditGetRect"], null=True)
    records += dispatch(OPCODES["effEditIdle"]) + dispatch(OPCODES["effEditClose"])
    records += dispatch(OPCODES["effEditKeyDown"], index=65, value=11, opt=1.0)
    records += dispatch(OPCODES["effEditKeyUp"], index=-1, value=2 ** 31 - 1, opt="nan")
    records += dispatch(OPCODES["effSetEditKnobMode"], value=2)
    records += dispatch(OPCODES["effGetChunk"], index=1) + dispatch(OPCODES["effGetChunk"], null=True)
    records += dispatch(OPCODES["effSetChunk"], index=0, chunk=bytes(range(200)))
    records += dispatch(OPCODES["effSetChunk"], null=True)
    records += dispatch(OPCODES["effSetSpeakerArrangement"], arrangement=(2, 2))
    records += dispatch(OPCODES["effSetSpeakerArrangement"], arrangement=(0, 8))
    records += dispatch(OPCODES["effGetSpeakerArrangement"]) + dispatch(OPCODES["effGetSpeakerArrangement"], null=True)
    records += dispatch(OPCODES["effProcessEvents"]) + dispatch(OPCODES["effGetParameterProperties"], index=20)
    records += dispatch(OPCODES["effSetBlockSizeAndSampleRate"], value=-(2 ** 31), opt="inf")
    seeds["records-and-editor"] = records + bytes([CLOSE])

    # Three instances one after the other, each closed in its own way.
    seeds["instances-in-turn"] = bytes([0]) + host_session() + dispatch(1) + host_session() + bytes([CLOSE]) + host_session()
    return seeds


# --- audio files for the thrummel target ---------------------------------------------------

def tone(frames, channels, scale):
    return [[scale * math.sin(0.05 * (c + 1) * n) * math.exp(-n / 200.0) for n in range(frames)] for c in range(channels)]


def interleave(samples):
    return [samples[c][n] for n in range(len(samples[0])) for c in range(len(samples))]


def wav(samples, rate=44100, bits=16, is_float=False, extensible=False, data_size=None, fmt_size=None):
    channels = len(samples)
    values = interleave(samples)
    if is_float:
        data = b"".join(struct.pack("<f", v) for v in values)
    elif bits == 8:
        data = bytes(int(128 + 127 * v) for v in values)
    elif bits == 16:
        data = b"".join(struct.pack("<h", int(32767 * v)) for v in values)
    else:
        data = b"".join(struct.pack("<i", int(8388607 * v))[:3] for v in values)
    align = channels * bits // 8
    tag = 0xFFFE if extensible else (3 if is_float else 1)
    fmt = struct.pack("<HHIIHH", tag, channels, rate, rate * align, align, bits)
    if extensible:
        guid = struct.pack("<I", 3 if is_float else 1) + bytes.fromhex("00001000800000aa00389b71")
        fmt += struct.pack("<HHI", 22, bits, 3 if channels == 2 else 4) + guid
    fmt_chunk = b"fmt " + struct.pack("<I", fmt_size if fmt_size is not None else len(fmt)) + fmt
    data_chunk = b"data" + struct.pack("<I", data_size if data_size is not None else len(data)) + data
    body = b"WAVE" + fmt_chunk + data_chunk
    return b"RIFF" + struct.pack("<I", len(body)) + body


def extended80(value):
    exponent = int(math.floor(math.log2(value)))
    mantissa = int(value / 2 ** exponent * 2 ** 63)
    return struct.pack(">HQ", exponent + 16383, mantissa)


def aiff(samples, rate=44100):
    channels = len(samples)
    values = interleave(samples)
    data = b"".join(struct.pack(">h", int(32767 * v)) for v in values)
    comm = struct.pack(">hIh", channels, len(samples[0]), 16) + extended80(rate)
    ssnd = struct.pack(">II", 0, 0) + data
    body = b"AIFF" + b"COMM" + struct.pack(">I", len(comm)) + comm + b"SSND" + struct.pack(">I", len(ssnd)) + ssnd
    return b"FORM" + struct.pack(">I", len(body)) + body


def crc8(data):
    crc = 0
    for byte in data:
        crc ^= byte
        for _ in range(8):
            crc = ((crc << 1) ^ 0x07) & 0xFF if crc & 0x80 else (crc << 1) & 0xFF
    return crc


def crc16(data):
    crc = 0
    for byte in data:
        crc ^= byte << 8
        for _ in range(8):
            crc = ((crc << 1) ^ 0x8005) & 0xFFFF if crc & 0x8000 else (crc << 1) & 0xFFFF
    return crc


def flac(samples, block=64):
    """16-bit FLAC at 44100 Hz with verbatim subframes."""
    channels = len(samples)
    frames = len(samples[0])
    info = struct.pack(">HH", block, block) + b"\x00" * 6
    packed = (44100 << 44) | ((channels - 1) << 41) | (15 << 36) | frames
    info += packed.to_bytes(8, "big") + b"\x00" * 16
    out = b"fLaC" + bytes([0x80]) + len(info).to_bytes(3, "big") + info
    for number, start in enumerate(range(0, frames, block)):
        count = min(block, frames - start)
        header = bytes([0xFF, 0xF8, 0x69, ((channels - 1) << 4) | 0x08, number, count - 1])
        header += bytes([crc8(header)])
        body = b""
        for c in range(channels):
            body += b"\x02" + b"".join(struct.pack(">h", int(32767 * v)) for v in samples[c][start:start + count])
        frame = header + body
        out += frame + struct.pack(">H", crc16(frame))
    return out


def thrummel_seeds():
    audio = {
        "wav-pcm16-mono": wav(tone(300, 1, 0.8)),
        "wav-pcm16-stereo": wav(tone(200, 2, 0.8), rate=48000),
        "wav-pcm24-stereo": wav(tone(100, 2, 0.9), bits=24),
        "wav-pcm8-mono": wav(tone(100, 1, 0.5), rate=8000, bits=8),
        "wav-float-stereo": wav(tone(150, 2, 1.5), is_float=True, bits=32),
        "wav-extensible-stereo": wav(tone(100, 2, 0.7), extensible=True),
        "wav-three-channels": wav(tone(50, 3, 0.5)),
        "wav-zero-frames": wav([[], []]),
        "wav-truncated-data": wav(tone(400, 2, 0.8))[:300],
        "wav-truncated-header": wav(tone(10, 2, 0.8))[:30],
        "wav-huge-data-size": wav(tone(50, 2, 0.8), data_size=0xFFFFFFF0),
        "wav-huge-fmt-size": wav(tone(50, 2, 0.8), fmt_size=0x7FFFFFF0),
        "wav-zero-rate": wav(tone(50, 1, 0.8), rate=0),
        "aiff-stereo": aiff(tone(200, 2, 0.8)),
        "aiff-mono-22050": aiff(tone(100, 1, 0.8), rate=22050),
        "flac-stereo": flac(tone(150, 2, 0.8)),
        "flac-mono": flac(tone(64, 1, 0.8)),
        "mpeg-frame": bytes([0xFF, 0xFB, 0x90, 0x64]) + bytes(100),
        "empty": b"",
        "text": b"these bytes are not a sound file\n",
    }
    seeds = {"audio-" + name: b"\x00" + data for name, data in audio.items()}
    command_lines = {
        "render-everything": ["render", "in.wav", "out.wav", "--set", "cutoff=0.3", "--set", "filter type=0.6",
                              "--block", "256", "--rate=48000", "--tail", "0.5", "--encoding", "pcm24", "-v"],
        "render-loop-flac": ["render", "out.flac", "--encoding=pcm16", "--plugin", "./other.so", "--set=7=1"],
        "params": ["params", "--set", " Crack threshold =0.25", "--set", "12=0"],
        "help": ["--help"],
        "bad-values": ["render", "out.wav", "--set", "cutoff=nan", "--block", "1e9", "--tail", "-1", "--rate", "1e999"],
        "bad-set": ["render", "out.wav", "--set", "=0.5", "--set", "cutoff", "--set", "a=b=0.5"],
        "huge-index": ["params", "--set", "99999999999999999999=0.5"],
        "missing-values": ["render", "--block"],
        "too-many-operands": ["render", "a", "b", "c"],
        "unknown": ["frobnicate", "--loud"],
    }
    for name, arguments in command_lines.items():
        seeds["args-" + name] = b"\x01" + b"\x00".join(a.encode() for a in arguments)
    return seeds


def write(folder, seeds):
    path = os.path.join(HERE, "corpus", folder)
    os.makedirs(path, exist_ok=True)
    for name, data in seeds.items():
        with open(os.path.join(path, name), "wb") as f:
            f.write(data)


write("dispatcher", dispatcher_seeds())
write("thrummel", thrummel_seeds())
