#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets (fuzz/corpus/<target>/) from
the real formats: the thermometer's replies as the simulator sends them, log
files as the program writes them, settings files, the shipped layout file,
the built help file (from build/bin, when built) and small help files with
damaged directories, and a few malformed ones. Run from the repository root."""
import os
import shutil
import struct

ROOT = os.path.join("fuzz", "corpus")


def put(target, name, data):
    os.makedirs(os.path.join(ROOT, target), exist_ok=True)
    if isinstance(data, str):
        data = data.encode("utf-8")
    with open(os.path.join(ROOT, target, name), "wb") as f:
        f.write(data)


def value_field(tenths):
    return ("%05d" % tenths) if tenths >= 0 else (":%04d" % -tenths)


def settings_reply(model, mode, hal, lal, ems):
    return ("ATA%d%d" % (model, mode) + value_field(hal) + value_field(lal)).encode() + bytes([ems])


def reading_reply(tenths, ems):
    return ("ATR" + value_field(tenths)).encode() + bytes([ems])


def records_reply(values, ems):
    out = b"ATP"
    for v in values:
        out += value_field(v).encode() + bytes([ems])
    return out


def stream(pieces):
    """Pieces (bytes, timer fires after) as the stream mode reads them."""
    out = b"\x01"
    for data, fires in pieces:
        while len(data) > 0x7F:
            out += bytes([0x7F]) + data[:0x7F]
            data = data[0x7F:]
        out += bytes([len(data) | (0x80 if fires else 0)]) + data
    return out


def replies():
    frames = {
        "settings": settings_reply(2, 3, 1000, 200, 95),
        "settings-negative": settings_reply(4, 7, 5000, -200, 195),
        "reading": reading_reply(253, 95),
        "reading-negative": reading_reply(-123, 100),
        "records": records_reply([250, 251, -5, 9999], 95),
        "status": b"ATS",
        "truncated-settings": b"ATA23010",
        "truncated-reading": b"ATR002",
        "unknown": b"XYZ123",
        "short": b"AT",
    }
    for name, frame in frames.items():
        put("reply", "frame-" + name, b"\x00" + frame)
    put("reply", "stream-readings",
        stream([(reading_reply(253, 95), True), (reading_reply(254, 95), True)]))
    put("reply", "stream-split-reading",
        stream([(b"ATR0", False), (b"0253_", True), (settings_reply(2, 3, 1000, 200, 95), True)]))
    put("reply", "stream-two-in-one-frame",
        stream([(reading_reply(253, 95) + reading_reply(254, 95), True)]))
    put("reply", "stream-records",
        stream([(records_reply(list(range(200, 260)), 95), False), (b"", True)]))


def klg(records, total=None, eol="\r\n"):
    lines = ["@Quellmarkon KLG File", "Total:%d" % (len(records) if total is None else total)] + records
    return "".join(line + eol for line in lines)


def log_files():
    head = "2006-5-12 ,10:20:30,"
    put("logfile", "celsius", klg([head + "25.3  ,0.95,C", head + "25.4  ,0.95,C"]))
    put("logfile", "fahrenheit", klg([head + "77.5  ,0.95,F", "2006-12-31,23:59:59,-40.0 ,1   ,F"]))
    put("logfile", "long-value", klg(["2024-05-01,10:00:01,1234.5,0.95,C"]))
    put("logfile", "lf-no-last-break", klg([head + "20.1  ,0.95,C"], eol="\n").rstrip("\n"))
    put("logfile", "empty-body", klg([]))
    put("logfile", "bad-count", "@Quellmarkon KLG File\r\nTotal:x\r\n")
    put("logfile", "bad-value", klg([head + "abc   ,0.95,C"]))
    put("logfile", "short-line", klg(["2006-5-12"]))
    put("logfile", "not-a-log", "hello\r\n")
    put("logfile", "exponent", klg([head + "1e300 ,0.95,C", head + "1e205 ,0.95,F"]))
    put("logfile", "long-line", klg([head + "25.3  ,0.95," + "C" * 1100]))
    put("logfile", "no-line-end", "@Quellmarkon KLG File" + "x" * 1100)
    put("logfile", "latin1", klg(["2006-5-12 ,10:20:30,25.3  ,0.95,C\xe9".encode("latin-1").decode("latin-1")])
        .encode("latin-1"))


def settings():
    keys = ("COMPANY_NAME=Acme Ltd\r\nSEARIAL_PORT=COM3\r\nMACHINE_MODE=2\r\nMEASURE_MODE=3\r\n"
            "HAL_VALUE=1000\r\nLAL_VALUE=65335\r\nSYSTEMLAL=-20.5\r\nSYSTEMHAL=100\r\nUNIT_CF=1\r\n"
            "ALARMONOFF=0\r\nEMS=95\r\nSAMPLE_PERIOD=5\r\n")
    put("settings", "full", "[Kelvora OPTIONS]\r\n" + keys)
    put("settings", "other-sections", "[Other]\nEMS=10\n[kelvora options]\nSAMPLE_PERIOD=1\n[More]\nEMS=11\n")
    put("settings", "bom-lf", b"\xef\xbb\xbf[Kelvora OPTIONS]\nSEARIAL_PORT=/dev/ttyUSB0\nEMS=10")
    put("settings", "junk", b"\xff\xfe\x00\x01garbage\n[\n]\n[Kelvora OPTIONS]\n\x00\x7f\x80\n==\n=5\n"
        b"\xc3(\nHAL_VALUE=100\nCOMPANY_NAME=M\xfcller\n")
    put("settings", "empty", b"")


def layouts():
    shutil.copyfile(os.path.join("resources", "Kelvora_en.rav"), os.path.join(ROOT, "layout", "Kelvora_en.rav"))
    put("layout", "minimal", "[Columns]\nRecNo=No.,10\n")
    put("layout", "landscape", "[Page]\nOrientation=Landscape\nMarginsMm=5,5,5,5\n[Header]\n"
        "Fields=PrintDate,CompanyName\n[Columns]\nMeaValue=Value,30\nUnit=U,5\n"
        "[Footer]\nText={page}/{pages} {page}\n")
    put("layout", "bad-field", "[Columns]\nNoSuch=x,10\n")
    put("layout", "no-columns", "[Title]\nText=T\n")
    put("layout", "bad-line", "[Page]\nOrientation\n")
    put("layout", "nan-size", "[Page]\nFontPointSize=nan\nMarginsMm=1,nan,1,1\n[Columns]\nRecNo=No.,nan\n")
    put("layout", "tall-page", "[Page]\nMarginsMm=15,100,15,100\nFontPointSize=72\n[Title]\nText=T\n"
        "FontPointSize=72\n[Header]\nFields=CompanyName,PrintDate\n[Columns]\nRecNo=No.,20\n[Footer]\nText=x\n")


def encint(v):
    out = bytes([v & 0x7F])
    v >>= 7
    while v:
        out = bytes([0x80 | (v & 0x7F)]) + out
        v >>= 7
    return out


def entry(name, *numbers):
    return encint(len(name)) + name + b"".join(encint(n) for n in numbers)


CHUNK = 0x1000


def listing(entries, nxt):
    head = b"PMGL" + struct.pack("<IIii", CHUNK - 0x14 - len(entries), 0, -1, nxt)
    return (head + entries).ljust(CHUNK, b"\0")


def index(entries):
    return (b"PMGI" + struct.pack("<I", CHUNK - 8 - len(entries)) + entries).ljust(CHUNK, b"\0")


def archive(chunks, depth=1, root=-1, head=0, content=b"\0\0\0\0"):
    """An ITSF version 3 archive: header, section table, ITSP, chunks, content."""
    dir_offset = 0x60 + 0x18
    dir_length = 0x54 + CHUNK * len(chunks)
    itsf = b"ITSF" + struct.pack("<iiiII", 3, 0x60, 1, 0, 0x409) + bytes(32) + struct.pack(
        "<QQQQQ", 0x60, 0x18, dir_offset, dir_length, dir_offset + dir_length)
    itsp = b"ITSP" + struct.pack("<iiiIiiiiiiiI", 1, 0x54, 10, CHUNK, 2, depth, root, head, head, -1,
                                 len(chunks), 0x409) + bytes(16) + struct.pack("<I", 0x54) + b"\xff" * 12
    return itsf + bytes(0x18) + itsp + b"".join(chunks) + content


def help_files():
    built = os.path.join("build", "bin", "readme_en.chm")
    if os.path.exists(built):
        os.makedirs(os.path.join(ROOT, "helpfile"), exist_ok=True)
        shutil.copyfile(built, os.path.join(ROOT, "helpfile", "readme_en.chm"))
    parts = entry(b"/", 0, 0, 0) + entry(b"/#SYSTEM", 0, 0, 4)
    put("helpfile", "one-listing", archive([listing(parts, -1)]))
    put("helpfile", "indexed", archive([listing(entry(b"/", 0, 0, 0), 2), index(entry(b"/", 0) + entry(b"/b", 2)),
                                        listing(entry(b"/b", 0, 0, 4), -1)], depth=2, root=1))
    put("helpfile", "listing-links-to-itself", archive([listing(parts, 0)]))
    put("helpfile", "index-points-at-itself", archive([listing(parts, -1), index(entry(b"/", 1))], depth=2, root=1))
    put("helpfile", "next-past-the-end", archive([listing(parts, 1)]))
    put("helpfile", "cut", archive([listing(parts, -1)])[:0x90])
    # Compression settings stored after "/#SYSTEM": a reset table header and
    # LZX control data (reset interval, window size in 32 KiB frames).
    reset_table = struct.pack("<IIIIQQQ", 2, 1, 8, 0x28, 0, 0, 0x8000)
    for name, window in (("compression-settings", 2), ("compression-window-0", 0)):
        control = struct.pack("<I4sIIIII", 6, b"LZXC", 2, 2, window, 1, 0)
        settings = (entry(b"::DataSpace/Storage/MSCompressed/ControlData", 0, 0x2C, len(control)) + entry(
            b"::DataSpace/Storage/MSCompressed/Transform/{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/InstanceData/"
            b"ResetTable", 0, 4, len(reset_table)))
        put("helpfile", name, archive([listing(parts + settings, -1)], content=bytes(4) + reset_table + control))


if __name__ == "__main__":
    os.makedirs(os.path.join(ROOT, "layout"), exist_ok=True)
    replies()
    log_files()
    settings()
    layouts()
    help_files()
