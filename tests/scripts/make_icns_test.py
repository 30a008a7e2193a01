"""The app icon script writes a well-formed .icns of PNG images, the same bytes on every run.

Usage: make_icns_test.py SOURCE_DIRECTORY WORK_DIRECTORY
"""
import pathlib
import struct
import subprocess
import sys
import unittest
import zlib

WORK = pathlib.Path(sys.argv.pop(2))
SOURCE = pathlib.Path(sys.argv.pop(1))
SCRIPT = SOURCE / "scripts" / "make-icns"
# The types macOS reads for each pixel size (the @2x ones share the larger drawings).
EXPECTED = {b"icp4": 16, b"icp5": 32, b"icp6": 64, b"ic07": 128, b"ic08": 256, b"ic09": 512,
            b"ic10": 1024, b"ic11": 32, b"ic12": 64, b"ic13": 256, b"ic14": 512}


def entries(data):
    found, offset = {}, 8
    while offset < len(data):
        kind, length = data[offset:offset + 4], struct.unpack(">I", data[offset + 4:offset + 8])[0]
        if length < 8 or offset + length > len(data):
            raise AssertionError(f"entry {kind!r} overruns the file")
        found[kind] = data[offset + 8:offset + length]
        offset += length
    return found


def png_facts(png):
    assert png[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
    offset, chunks = 8, {}
    while offset < len(png):
        length = struct.unpack(">I", png[offset:offset + 4])[0]
        kind, body = png[offset + 4:offset + 8], png[offset + 8:offset + 8 + length]
        crc = struct.unpack(">I", png[offset + 8 + length:offset + 12 + length])[0]
        assert crc == zlib.crc32(kind + body), f"bad checksum in {kind!r}"
        chunks.setdefault(kind, b"")
        chunks[kind] += body
        offset += 12 + length
    width, height, depth, colour = struct.unpack(">IIBB", chunks[b"IHDR"][:10])
    pixels = zlib.decompress(chunks[b"IDAT"])
    return width, height, depth, colour, pixels


class MakeIcnsTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        WORK.mkdir(parents=True, exist_ok=True)
        cls.first, cls.second = WORK / "first.icns", WORK / "second.icns"
        for output in (cls.first, cls.second):
            subprocess.run([sys.executable, str(SCRIPT), str(output)], check=True)
        cls.data = cls.first.read_bytes()

    def test_the_file_is_an_icns_whose_length_and_entries_add_up(self):
        self.assertEqual(self.data[:4], b"icns")
        self.assertEqual(struct.unpack(">I", self.data[4:8])[0], len(self.data))
        self.assertEqual(set(entries(self.data)), set(EXPECTED))

    def test_every_entry_is_an_rgba_png_of_its_size_with_a_transparent_corner_and_an_opaque_centre(self):
        for kind, png in entries(self.data).items():
            width, height, depth, colour, pixels = png_facts(png)
            size = EXPECTED[kind]
            self.assertEqual((width, height, depth, colour), (size, size, 8, 6), kind)
            stride = 1 + 4 * size
            self.assertEqual(len(pixels), stride * size, kind)
            corner_alpha = pixels[1 + 3]
            centre_row = size // 2
            centre_alpha = pixels[centre_row * stride + 1 + 4 * (size // 4) + 3]
            self.assertEqual(corner_alpha, 0, kind)
            self.assertEqual(centre_alpha, 255, kind)

    def test_two_runs_write_the_same_bytes(self):
        self.assertEqual(self.first.read_bytes(), self.second.read_bytes())

    def test_it_refuses_to_run_without_an_output(self):
        result = subprocess.run([sys.executable, str(SCRIPT)], capture_output=True)
        self.assertEqual(result.returncode, 2)
        self.assertIn(b"Usage", result.stderr)


if __name__ == "__main__":
    unittest.main()
