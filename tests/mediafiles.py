#!/usr/bin/env python3
# Photos and songs written byte by byte, for the reading of their dates, cameras and tags to be
# checked against exiftool and mutagen; and the tags of songs as mutagen reads them.
#   mediafiles.py make FOLDER   writes the files (damaged ones into FOLDER/hostile)
#   mediafiles.py tags FILE...  prints mutagen's artist, album, title, track and date as JSON
import json
import os
import struct
import sys
import zlib

# --- Photos -------------------------------------------------------------------------------------

ASCII, SHORT, LONG = 2, 3, 4


def ifd_bytes(entries, start, order, next_ifd=0):
    """An IFD placed at offset `start` of the TIFF data, its long values right after it.
    entries: (tag, type, count, value bytes or int); an int is the 4-byte field itself."""
    count = len(entries)
    data_at = start + 2 + 12 * count + 4
    table, data = b"", b""
    for tag, kind, n, value in sorted(entries, key=lambda e: e[0]):
        if isinstance(value, int):
            field = struct.pack(order + "I", value) if kind == LONG else \
                struct.pack(order + "HH", value, 0)
        elif len(value) <= 4:
            field = value.ljust(4, b"\0")
        else:
            field = struct.pack(order + "I", data_at + len(data))
            data += value + (b"\0" if len(value) % 2 else b"")
        table += struct.pack(order + "HHI", tag, kind, n) + field
    return struct.pack(order + "H", count) + table + struct.pack(order + "I", next_ifd) + data


def text(value):
    raw = value.encode() + b"\0"
    return (ASCII, len(raw), raw)


def tiff(big_endian, model=None, original=None, digitized=None, extra_ifd0=()):
    """TIFF data as EXIF holds it: IFD0 (Model, a pointer to the Exif IFD) and the Exif IFD."""
    order = ">" if big_endian else "<"
    head = (b"MM\0*" if big_endian else b"II*\0") + struct.pack(order + "I", 8)
    exif = []
    if original is not None:
        exif.append((0x9003,) + text(original))
    if digitized is not None:
        exif.append((0x9004,) + text(digitized))
    ifd0 = list(extra_ifd0)
    if model is not None:
        ifd0.append((0x0110,) + text(model))
    if exif:
        ifd0.append((0x8769, LONG, 1, 0))
    first = ifd_bytes(ifd0, 8, order)
    if exif:
        exif_at = 8 + len(first)
        ifd0[-1] = (0x8769, LONG, 1, exif_at)
        first = ifd_bytes(ifd0, 8, order)
        return head + first + ifd_bytes(exif, exif_at, order)
    return head + first


def segment(marker, payload):
    return bytes([0xFF, marker]) + struct.pack(">H", len(payload) + 2) + payload


def jpeg(exif_tiff=None, before=b"", after=b""):
    """An 8x8 grey baseline JPEG: one Huffman code each for a DC difference of 0 and for the
    end of the block. `before`, `after`: segments ahead of the EXIF and after it."""
    out = b"\xff\xd8" + before
    if exif_tiff is not None:
        out += segment(0xE1, b"Exif\0\0" + exif_tiff)
    out += after
    out += segment(0xDB, b"\x00" + bytes([1] * 64))
    out += segment(0xC0, b"\x08" + struct.pack(">HH", 8, 8) + b"\x01" + b"\x01\x11\x00")
    huffman = bytes([1] + [0] * 15) + b"\x00"
    out += segment(0xC4, b"\x00" + huffman) + segment(0xC4, b"\x10" + huffman)
    out += segment(0xDA, b"\x01\x01\x00\x00\x3f\x00")
    return out + b"\x3f\xff\xd9"


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def png(chunks):
    header = struct.pack(">IIBBBBB", 1, 1, 8, 0, 0, 0, 0)
    out = b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header)
    for kind, data in chunks:
        out += png_chunk(kind, data)
    return out + png_chunk(b"IDAT", zlib.compress(b"\0\0")) + png_chunk(b"IEND", b"")


def raw_profile(exif_tiff):
    """ImageMagick's text form of EXIF in a PNG: a zTXt "Raw profile type exif" in hex."""
    payload = b"Exif\0\0" + exif_tiff
    hexed = payload.hex()
    lines = "\n".join(hexed[i:i + 72] for i in range(0, len(hexed), 72))
    body = ("\nexif\n%8d\n%s\n" % (len(payload), lines)).encode()
    return b"Raw profile type exif\0\0" + zlib.compress(body)


def tiff_image(big_endian, model, original):
    """A 1x1 grey TIFF: its strip is the byte after the header."""
    order = ">" if big_endian else "<"
    short = lambda tag, v: (tag, SHORT, 1, v)
    strip = [short(256, 1), short(257, 1), short(258, 8), short(259, 1), short(262, 1),
             (273, LONG, 1, 0), short(277, 1), short(278, 1), (279, LONG, 1, 1)]
    data = tiff(big_endian, model=model, original=original, extra_ifd0=strip)
    # The strip follows everything else; point StripOffsets (the 6th entry) at it.
    index = sorted(e[0] for e in strip + [(0x0110,), (0x8769,)]).index(273)
    at = 8 + 2 + 12 * index + 8
    return data[:at] + struct.pack(order + "I", len(data)) + data[at + 4:] + b"\x80"


def looping_exif():
    """IFD0 points at itself as the next IFD and as its Exif IFD."""
    order = ">"
    head = b"MM\0*" + struct.pack(">I", 8)
    return head + ifd_bytes([(0x8769, LONG, 1, 8)], 8, order, next_ifd=8)


def huge_count_exif():
    """A Model claiming two gigabytes of text, and an Exif IFD of 65535 entries."""
    head = b"II*\0" + struct.pack("<I", 8)
    ifd = struct.pack("<H", 2)
    ifd += struct.pack("<HHII", 0x0110, ASCII, 0x7FFFFFF0, 38)
    ifd += struct.pack("<HHII", 0x8769, LONG, 1, 38)
    ifd += struct.pack("<I", 0)
    return head + ifd + struct.pack("<H", 0xFFFF) + b"\0" * 24


def make_photos(folder, hostile):
    def write(name, data, where=folder):
        with open(os.path.join(where, name), "wb") as f:
            f.write(data)

    when = "2019:05:01 12:34:56"
    write("mm-original.jpg", jpeg(tiff(True, model="Canon EOS 5D", original=when)))
    write("ii-original.jpg",
          jpeg(tiff(False, model="  NIKON D750   ", original="2021:12:31 23:59:59",
                    digitized="2021:12:31 23:00:00")))
    write("mm-digitized-only.jpg", jpeg(tiff(True, digitized="2008:02:29 07:08:09")))
    write("ii-model-only.jpg", jpeg(tiff(False, model="Pixel 7")))
    write("no-exif.jpg", jpeg())
    # 200 kB of a maker's own segments ahead of the EXIF.
    private = b"".join(segment(0xEA, b"\x55" * 50000) for i in range(4))
    write("big-header.jpg", jpeg(tiff(False, model="ILCE-7M3", original=when), private))
    # An ICC profile that is none: exiv2 gives up on the file there, after the EXIF.
    write("bad-profile.jpg", jpeg(tiff(True, model="EOS R6", original=when),
                                  after=segment(0xE2, b"ICC_PROFILE\0\x01\x01" + b"\x55" * 300)))
    write("zero-date.jpg", jpeg(tiff(False, model="X100V", original="0000:00:00 00:00:00")))
    write("blank-date.jpg", jpeg(tiff(True, original="    :  :     :  :  ")))
    write("month-13.jpg", jpeg(tiff(False, original="2019:13:01 10:00:00")))
    write("hour-25.jpg", jpeg(tiff(True, original="2019:02:03 25:00:00")))
    write("zero-date-digitized.jpg",
          jpeg(tiff(True, original="0000:00:00 00:00:00", digitized="2015:06:07 08:09:10")))
    write("exif-in-png.png", png([(b"eXIf", tiff(True, model="iPhone 12", original=when))]))
    write("raw-profile.png",
          png([(b"zTXt", raw_profile(tiff(False, model="DSC-RX100", original=when)))]))
    write("no-exif.png", png([]))
    write("mm-strip.tif", tiff_image(True, "E-M1", "2020:02:29 00:00:00"))
    write("ii-strip.tif", tiff_image(False, "GR III", "1999:12:31 23:59:58"))

    full = jpeg(tiff(True, model="Canon EOS 5D", original=when))
    write("truncated.jpg", full[:40], hostile)
    write("looping-exif.jpg", jpeg(looping_exif()), hostile)
    write("huge-count-exif.jpg", jpeg(huge_count_exif()), hostile)
    write("empty.jpg", b"", hostile)
    write("random.jpg", os.urandom(200000), hostile)
    write("random-exif.jpg", b"\xff\xd8" + segment(0xE1, b"Exif\0\0" + os.urandom(4000)), hostile)
    # Waits for a writer if it is ever opened.
    os.mkfifo(os.path.join(hostile, "fifo.jpg"))

    # Two photos of one size that differ in date and camera, and a third of another size.
    cache = os.path.join(folder, "cache")
    os.makedirs(cache, exist_ok=True)
    write("a.jpg", jpeg(tiff(True, model="Camera A", original="2001:01:01 01:01:01")), cache)
    write("b.jpg", jpeg(tiff(True, model="Camera B", original="2002:02:02 02:02:02")), cache)
    write("c.jpg", jpeg(tiff(True, model="Camera CCC", original="2003:03:03 03:03:03")), cache)


# --- Songs --------------------------------------------------------------------------------------

def mpeg_frames(count=8):
    """MPEG-1 Layer III frames, 128 kbit/s at 44.1 kHz, 417 bytes each, holding silence."""
    return (b"\xff\xfb\x90\x64" + b"\0" * 413) * count


def syncsafe(n):
    return bytes([(n >> 21) & 0x7F, (n >> 14) & 0x7F, (n >> 7) & 0x7F, n & 0x7F])


def id3v2(version, frames):
    """frames: (id, text); v2.3 in UTF-16 with a byte order mark, v2.4 in UTF-8."""
    body = b""
    for frame_id, value in frames:
        if version == 3:
            data = b"\x01" + value.encode("utf-16")
            size = struct.pack(">I", len(data))
        else:
            data = b"\x03" + value.encode("utf-8")
            size = syncsafe(len(data))
        body += frame_id.encode() + size + b"\0\0" + data
    body += b"\0" * 64
    return b"ID3" + bytes([version, 0, 0]) + syncsafe(len(body)) + body


def id3v1(title, artist, album, year, track):
    field = lambda s, n: s.encode("latin-1")[:n].ljust(n, b"\0")
    return (b"TAG" + field(title, 30) + field(artist, 30) + field(album, 30) + field(year, 4) +
            b"\0" * 28 + b"\0" + bytes([track, 255]))


def vorbis_comment(fields, framing):
    vendor = b"quorvel test"
    out = struct.pack("<I", len(vendor)) + vendor + struct.pack("<I", len(fields))
    for key, value in fields:
        entry = ("%s=%s" % (key, value)).encode()
        out += struct.pack("<I", len(entry)) + entry
    return out + (b"\x01" if framing else b"")


def flac(fields):
    # Block sizes of 4096, frame sizes unknown; 44100 Hz, 2 channels, 16 bits, 44100 samples, no MD5.
    bits = (44100 << 44) | (1 << 41) | (15 << 36) | 44100
    info = struct.pack(">HH", 4096, 4096) + b"\0" * 6 + bits.to_bytes(8, "big") + b"\0" * 16
    comment = vorbis_comment(fields, False)
    return (b"fLaC" + bytes([0]) + len(info).to_bytes(3, "big") + info +
            bytes([0x84]) + len(comment).to_bytes(3, "big") + comment)


def ogg_crc(data):
    crc = 0
    for byte in data:
        crc ^= byte << 24
        for _ in range(8):
            crc = ((crc << 1) ^ 0x04C11DB7) if crc & 0x80000000 else crc << 1
            crc &= 0xFFFFFFFF
    return crc


def ogg_page(packets, sequence, granule, flags):
    lacing, body = b"", b""
    for packet in packets:
        size = len(packet)
        lacing += b"\xff" * (size // 255) + bytes([size % 255])
        body += packet
    header = (b"OggS\0" + bytes([flags]) + struct.pack("<qIII", granule, 0x5175, sequence, 0) +
              bytes([len(lacing)]) + lacing)
    page = header + body
    crc = ogg_crc(page)
    return page[:22] + struct.pack("<I", crc) + page[26:]


def ogg_vorbis(fields):
    ident = (b"\x01vorbis" + struct.pack("<IBIiiiB", 0, 2, 44100, 0, 128000, 0, 0xB8) + b"\x01")
    comment = b"\x03vorbis" + vorbis_comment(fields, True)
    setup = b"\x05vorbis" + b"\0" * 32
    return (ogg_page([ident], 0, 0, 2) + ogg_page([comment, setup], 1, 0, 0) +
            ogg_page([b"\0" * 40], 2, 44100, 4))


def ogg_opus(fields):
    head = b"OpusHead" + struct.pack("<BBHIhB", 1, 2, 312, 48000, 0, 0)
    tags = b"OpusTags" + vorbis_comment(fields, False)
    return ogg_page([head], 0, 0, 2) + ogg_page([tags], 1, 0, 0) + ogg_page([b"\xfc"], 2, 960, 4)


def atom(kind, payload):
    return struct.pack(">I", len(payload) + 8) + kind + payload


def m4a(items):
    """ftyp, moov (mvhd and udta/meta/ilst) and an empty mdat: the tags of an AAC file."""
    ilst = b""
    for key, value in items:
        if key == b"trkn":
            data = atom(b"data", b"\0" * 8 + struct.pack(">HHHH", 0, value[0], value[1], 0))
        else:
            data = atom(b"data", struct.pack(">II", 1, 0) + value.encode())
        ilst += atom(key, data)
    handler = atom(b"hdlr", b"\0" * 8 + b"mdirappl" + b"\0" * 9)
    meta = atom(b"meta", b"\0\0\0\0" + handler + atom(b"ilst", ilst))
    mvhd = atom(b"mvhd", b"\0" * 4 + struct.pack(">IIII", 0, 0, 1000, 1000) + b"\0\x01\0\0" +
                b"\x01\0" + b"\0" * 10 + b"\0\x01\0\0" + b"\0" * 12 + b"\0\x01\0\0" +
                b"\0" * 12 + b"\x40\0\0\0" + b"\0" * 24 + struct.pack(">I", 2))
    return (atom(b"ftyp", b"M4A \0\0\0\0M4A mp42isom") + atom(b"moov", mvhd + atom(b"udta", meta))
            + atom(b"mdat", b""))


def make_songs(folder, hostile):
    def write(name, data, where=folder):
        with open(os.path.join(where, name), "wb") as f:
            f.write(data)

    frames = mpeg_frames()
    write("id3v1.mp3", frames + id3v1("Morning Song", "The Birds", "Dawn", "1987", 7))
    write("id3v23.mp3", id3v2(3, [("TIT2", "Über Alles"), ("TPE1", "  Ärzte  "),
                                  ("TALB", "Live"), ("TRCK", "3/12"), ("TYER", "2019")]) + frames)
    write("id3v24.mp3", id3v2(4, [("TIT2", "Second Title"), ("TPE1", "Señora"),
                                  ("TALB", "Álbum"), ("TRCK", "11"), ("TDRC", "2019-05-01")]) +
          frames)
    write("id3v24-title-only.mp3", id3v2(4, [("TIT2", "Lonely")]) + frames)
    write("untagged.mp3", frames)
    write("id3v24-and-v1.mp3", id3v2(4, [("TIT2", "From v2")]) + frames +
          id3v1("From v1", "Artist v1", "Album v1", "2001", 4))
    song = [("TITLE", "Weiß"), ("ARTIST", "Comet"), ("ALBUM", "Orbit"), ("TRACKNUMBER", "05"),
            ("DATE", "1999-12-31")]
    write("vorbis.flac", flac(song))
    write("untagged.flac", flac([]))
    write("vorbis.ogg", ogg_vorbis(song[:2] + [("TRACKNUMBER", "2/9"), ("DATE", "2004")]))
    write("opus.opus", ogg_opus([("ARTIST", "日本の歌手"), ("TITLE", "歌"), ("DATE", "2022")]))
    write("atoms.m4a", m4a([(b"\xa9nam", "Track Name"), (b"\xa9ART", "Someone"),
                           (b"\xa9alb", "Records"), (b"trkn", (4, 10)),
                           (b"\xa9day", "2015-03-01T00:00:00Z")]))
    write("untagged.m4a", m4a([]))

    tagged = id3v2(3, [("TIT2", "Cut"), ("TPE1", "Short")]) + frames
    write("truncated.mp3", tagged[:24], hostile)
    write("huge-id3.mp3", b"ID3\x04\x00\x00" + syncsafe(0x0FFFFFFF) + b"TIT2" +
          syncsafe(0x0FFFFFF0) + b"\0\0\x03" + b"A" * 100, hostile)
    write("empty.mp3", b"", hostile)
    write("random.mp3", os.urandom(200000), hostile)
    write("huge-atom.m4a", atom(b"ftyp", b"M4A \0\0\0\0") + struct.pack(">I", 0xFFFFFFF0) +
          b"moov" + b"\0" * 64, hostile)
    write("truncated.flac", flac(song)[:50], hostile)
    write("text.ogg", b"just some words, no song at all\n", hostile)


def tags(paths):
    import mutagen
    result = {}
    for path in paths:
        values = {}
        try:
            song = mutagen.File(path, easy=True)
        except Exception:
            song = None
        if song is not None and song.tags is not None:
            for key in ("artist", "album", "title", "tracknumber", "date"):
                found = song.tags.get(key)
                if found:
                    values[key] = str(found[0])
        result[path] = values
    json.dump(result, sys.stdout, ensure_ascii=False)


if __name__ == "__main__":
    if sys.argv[1] == "make":
        hostile = os.path.join(sys.argv[2], "hostile")
        os.makedirs(hostile, exist_ok=True)
        make_photos(sys.argv[2], hostile)
        make_songs(sys.argv[2], hostile)
    else:
        tags(sys.argv[2:])
