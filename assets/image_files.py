"""The file formats OffClock's pictures are written in: PNG (RGBA), ICO (32-bit BMP entries) and GIF (one
palette of at most 256 colours, LZW-coded). Standard library only; the same pixels give the same bytes."""

import struct
import zlib


def png_bytes(rows):
    width, height = len(rows[0]) // 4, len(rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    raw = b"".join(b"\x00" + row for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def ico_bytes(images):
    """32-bit BMP entries: doubled height in the header, BGRA rows bottom-up, then the 1-bit AND mask."""
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for rows in images:
        width, height = len(rows[0]) // 4, len(rows)
        blob = bytearray(struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 32, 0, 0, 0, 0, 0, 0))
        for row in reversed(rows):
            for i in range(0, len(row), 4):
                blob += bytes((row[i + 2], row[i + 1], row[i], row[i + 3]))
        mask_stride = (width + 31) // 32 * 4
        for row in reversed(rows):
            bits = bytearray(mask_stride)
            for x in range(width):
                if row[x * 4 + 3] == 0:
                    bits[x // 8] |= 0x80 >> (x % 8)
            blob += bits
        entries.append(struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(blob), offset))
        blobs.append(bytes(blob))
        offset += len(blob)
    return struct.pack("<HHH", 0, 1, len(images)) + b"".join(entries) + b"".join(blobs)


def quantize(rows):
    """Keeps the 256 most frequent colours and maps every other to its nearest one."""
    counts = {}
    for row in rows:
        for i in range(0, len(row), 4):
            c = row[i:i + 3]
            counts[c] = counts.get(c, 0) + 1
    palette = sorted(counts, key=lambda c: (-counts[c], c))[:256]
    index = {c: i for i, c in enumerate(palette)}
    pixels = bytearray()
    for row in rows:
        for i in range(0, len(row), 4):
            c = row[i:i + 3]
            if c not in index:
                index[c] = min(range(len(palette)),
                               key=lambda j: sum((a - b) * (a - b) for a, b in zip(c, palette[j])))
            pixels.append(index[c])
    palette += [b"\x00\x00\x00"] * (256 - len(palette))
    return b"".join(palette), bytes(pixels)


def lzw_encode(pixels, min_code_size=8):
    """Variable-length LZW as GIF wants it: starts with a clear code, grows to 12 bits, clears when full."""
    clear, end = 1 << min_code_size, (1 << min_code_size) + 1
    out = bytearray()
    bit_buf = bit_count = 0

    def emit(code, size):
        nonlocal bit_buf, bit_count
        bit_buf |= code << bit_count
        bit_count += size
        while bit_count >= 8:
            out.append(bit_buf & 0xFF)
            bit_buf >>= 8
            bit_count -= 8

    def reset():
        return {bytes([i]): i for i in range(clear)}, end + 1, min_code_size + 1

    table, next_code, size = reset()
    emit(clear, size)
    word = b""
    for value in pixels:
        grown = word + bytes([value])
        if grown in table:
            word = grown
            continue
        emit(table[word], size)
        if next_code < 4096:
            table[grown] = next_code
            next_code += 1
            # The decoder adds each entry one code later, so widen once it would need the new width.
            if next_code > (1 << size) and size < 12:
                size += 1
        else:
            emit(clear, size)
            table, next_code, size = reset()
        word = bytes([value])
    if word:
        emit(table[word], size)
        if next_code == (1 << size) and size < 12:
            size += 1
    emit(end, size)
    if bit_count:
        out.append(bit_buf & 0xFF)
    return bytes(out)


def gif_bytes(rows):
    width, height = len(rows[0]) // 4, len(rows)
    palette, pixels = quantize(rows)
    data = lzw_encode(pixels)
    blocks = b"".join(bytes([len(data[i:i + 255])]) + data[i:i + 255] for i in range(0, len(data), 255))
    # Global table present, 8-bit colour resolution, 2^(7+1) entries.
    screen = struct.pack("<HHBBB", width, height, 0xF7, 0, 0)
    image = b"\x2c" + struct.pack("<HHHHB", 0, 0, width, height, 0)
    return b"GIF89a" + screen + palette + image + b"\x08" + blocks + b"\x00" + b"\x3b"
