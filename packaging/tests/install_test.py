#!/usr/bin/python3
"""Installs the build into a scratch prefix and checks what a desktop finds there.

    install_test.py BUILD_DIR VERSION APP_ID

Exits 77 (skipped) only when a validator is not installed at all.
"""
import gzip
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET

BUILD_DIR, VERSION, APP_ID = sys.argv[1:4]
ICON_SIZES = (16, 32, 48, 64, 128, 256)
SKIP = 77


def desktop_entry(path):
    """The keys of the [Desktop Entry] group."""
    keys, group = {}, None
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if line.startswith("["):
                group = line
            elif group == "[Desktop Entry]" and "=" in line and not line.startswith("#"):
                key, value = line.split("=", 1)
                keys[key.strip()] = value.strip()
    return keys


def png_size(path):
    with open(path, "rb") as f:
        header = f.read(24)
    if header[:8] != b"\x89PNG\r\n\x1a\n" or header[12:16] != b"IHDR":
        raise AssertionError(f"{path} is not a PNG file")
    return struct.unpack(">II", header[16:24])


class InstalledFiles(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.mkdtemp(prefix="fuelix-install-")
        cls.prefix = os.path.join(cls.tmp, "usr")
        run = subprocess.run(
            ["cmake", "--install", BUILD_DIR, "--prefix", cls.prefix],
            capture_output=True, text=True)
        if run.returncode != 0:
            raise AssertionError("cmake --install failed:\n" + run.stdout + run.stderr)
        cls.desktop = os.path.join(cls.prefix, "share/applications", APP_ID + ".desktop")
        cls.metainfo = os.path.join(cls.prefix, "share/metainfo", APP_ID + ".metainfo.xml")

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.tmp)

    def path(self, relative):
        return os.path.join(self.prefix, relative)

    def test_program_and_documents_are_installed(self):
        program = self.path("bin/fuelix")
        self.assertTrue(os.access(program, os.X_OK), program)
        for relative in ("share/doc/fuelix/copyright", "share/doc/fuelix/changelog.gz",
                         "share/man/man1/fuelix.1.gz"):
            self.assertTrue(os.path.isfile(self.path(relative)), relative)
        with gzip.open(self.path("share/man/man1/fuelix.1.gz"), "rt") as page:
            self.assertIn(".TH FUELIX 1", page.read())
        with gzip.open(self.path("share/doc/fuelix/changelog.gz"), "rt") as changelog:
            self.assertTrue(changelog.readline().startswith(f"fuelix ({VERSION})"))

    def test_icon_at_every_size_under_the_app_id(self):
        for size in ICON_SIZES:
            icon = self.path(f"share/icons/hicolor/{size}x{size}/apps/{APP_ID}.png")
            self.assertTrue(os.path.isfile(icon), icon)
            self.assertEqual(png_size(icon), (size, size), icon)

    def test_desktop_entry_names_the_program_and_its_icon(self):
        entry = desktop_entry(self.desktop)
        self.assertEqual(entry["Type"], "Application")
        self.assertEqual(entry["Name"], "Fuelix")
        self.assertEqual(entry["Exec"].split()[0], "fuelix")
        self.assertEqual(entry["Icon"], APP_ID)
        # The program's WM_CLASS class is its application name.
        self.assertEqual(entry["StartupWMClass"], "Fuelix")

    def test_metainfo_uses_the_same_ids_and_this_version(self):
        root = ET.parse(self.metainfo).getroot()
        self.assertEqual(root.get("type"), "desktop-application")
        self.assertEqual(root.findtext("id"), APP_ID)
        launchable = root.find("launchable")
        self.assertEqual(launchable.get("type"), "desktop-id")
        self.assertEqual(launchable.text, os.path.basename(self.desktop))
        self.assertEqual(root.findtext("provides/binary"), "fuelix")
        releases = [r.get("version") for r in root.findall("releases/release")]
        self.assertEqual(releases[0], VERSION)
        self.assertRegex(root.find("releases/release").get("date"), r"^\d{4}-\d\d-\d\d$")
        self.assertIsNotNone(root.find("content_rating[@type='oars-1.1']"))
        image = root.findtext("screenshots/screenshot/image")
        self.assertTrue(image.startswith("https://fuelix.example.org/"), image)

    def validate(self, tool, *args):
        if shutil.which(tool) is None:
            raise unittest.SkipTest(f"{tool} is not installed")
        run = subprocess.run([tool, *args], capture_output=True, text=True)
        self.assertEqual(run.returncode, 0, run.stdout + run.stderr)

    def test_desktop_file_validate(self):
        self.validate("desktop-file-validate", self.desktop)

    def test_appstreamcli_validate(self):
        self.validate("appstreamcli", "validate", "--no-net", self.metainfo)


if __name__ == "__main__":
    result = unittest.main(argv=sys.argv[:1], exit=False, verbosity=2).result
    if result.wasSuccessful():
        sys.exit(SKIP if result.skipped else 0)
    sys.exit(1)
