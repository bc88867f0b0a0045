#!/usr/bin/env python3
"""Writes the seed corpus of every fuzz target into corpus/<target>/ (run from anywhere).

Texts are UTF-16LE; several texts in one input are separated by a null unit. Binary
fields in front of the texts are little-endian, as the targets read them."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def u16(*texts):
    return "\0".join(texts).encode("utf-16-le")


SEEDS = {
    "caption": {
        "photo": u16("C:\\pics\\photo.jpg - Pixmorant"),
        "two_suffixes": u16("C:\\a - Pixmorant\\b.jpg - Pixmorant"),
        "name_with_suffix": u16("C:\\names\\a - Pixmorant b.png - Pixmorant"),
        "suffix_only": u16(" - Pixmorant"),
        "small_p": u16("C:\\pics\\photo.jpg - pixmorant"),
        "no_backslash": u16("photo.jpg - Pixmorant"),
        "folder": u16("C:\\pics\\ - Pixmorant"),
        "long_title": u16("a" * 248 + " - Pixmorant" + "b" * 40),
        "path_251": u16("C:\\" + "p" * 242 + "\\a.bmp - Pixmorant"),
        "split_emoji": u16("C:\\" + "p" * 255 + "\U0001F600.png - Pixmorant"),
    },
    "gsenv": {
        "bin": u16("C:\\gs\\gs10.02\\bin\\gsdll64.dll"),
        "root": u16("C:\\gsdll64.dll"),
        "bare": u16("gsdll64.dll"),
        "trailing": u16("C:\\gs\\bin\\"),
        "parent_251": u16("C:\\" + "p" * 248 + "\\bin\\gsdll64.dll"),
    },
    "command_line": {
        "defaults": u16("", "", "C:\\pics\\photo.jpg"),
        "both_on": u16("1", "1", "C:\\pics\\photo.jpg"),
        "status_on": u16("0", "21", "C:\\my pics\\photo 1.jpg"),
        "toolbar_on": u16("-1", "yes", "photo.jpg"),
        "long_name": u16("10", "", "n" * 500),
    },
    "decimal_color": {
        "red": b"\x00" + struct.pack("<I", 0xFF) + u16("255", "16777215", "16777216", "-1"),
        "letters": b"\x01" + struct.pack("<I", 0) + u16("12ab", "a1b", "", " +42"),
        "clamped": b"\x02" + struct.pack("<I", 0x202020) + u16("99999999999", "-2147483649", "\t7", "--3"),
    },
    "header_font": {
        "light_new": struct.pack("<ii", 1, 96) + u16("", "1", "9", "400", "Segoe UI"),
        "follow_dark": struct.pack("<ii", 0, 120) + u16("1", "0", "8", "700", "Microsoft Sans Serif"),
        "follow_other": struct.pack("<ii", 2, 96) + u16("1", "01", "abc", "", "F" * 32),
        "dark": struct.pack("<ii", 0, 144) + u16("2", "", "-12", "900", "F" * 31),
    },
    "config_paths": {
        "plugin": struct.pack("<H", 260) + u16("D:\\Apps\\plugins\\img\\plugin.wlx64", "D:\\x\\",
                                               "C:\\viewer\\px_run64.exe"),
        "no_backslash": struct.pack("<H", 60) + u16("plugin.wlx64", "f" * 235, "%VIEWER%\\px_run64.exe"),
        "limits": struct.pack("<H", 259) + u16("C:\\" + "d" * 233 + "\\p.wlx64", "f" * 236, "v" * 194),
    },
    "gs_target": {
        "appdata": b"\x00" + u16("%APPDATA%\\Viewer"),
        "trailing": b"\x01" + u16("C:\\cfg\\"),
        "limit": b"\x01" + u16("f" * 246),
        "empty": b"\x00",
    },
    "detect_string": {
        "whole": struct.pack("<i", 1172),
        "one_short": struct.pack("<i", 1171),
        "zero": struct.pack("<i", 0),
        "negative": struct.pack("<i", -1),
        "large": struct.pack("<i", 0x7FFFFFFF),
    },
    "text16": {
        "path": struct.pack("<H", 260) + u16("C:\\plugins\\", "pixmorant.ini", "", ""),
        "exact": struct.pack("<H", 8) + u16("abc", "def", "g", ""),
        "zero": struct.pack("<H", 0) + u16("", "", "", ""),
    },
    "kbd_action": {
        # code, key, Alt, Shift, Escape, Lister (bit 0 has a parent, bit 1 above the focus),
        # focus class, active class
        name: struct.pack("<iQhhhB", *fields) + u16(*texts)
        for name, fields, texts in [
            ("right", (0, 39, 0, 0, 0, 2), ("Pixmorant", "")),
            ("tab", (0, 9, 0, 0, 0, 2), ("Pixmorant", "")),
            ("tab_no_lister", (0, 9, 0, 0, 0, 0), ("FullScreenClass", "FullScreenClass")),
            ("digit", (0, ord("1"), 0, 0, 0, 2), ("Pixmorant", "")),
            ("digit_no_lister", (0, ord("1"), 0, 0, 0, 0), ("Pixmorant", "")),
            ("digit_case", (0, ord("8"), 0, 0, 0, 2), ("pixmorant", "")),
            ("tab_dialog", (0, 9, 0, 0, 0, 2), ("Button", "#32770")),
            ("digit_dialog", (0, ord("3"), 0, 0, 0, 2), ("Pixmorant", "#32770")),
            ("alt_shift_c", (0, ord("C"), -32768, -32767, 0, 2), ("", "")),
            ("m_escape", (0, ord("M"), -32768, 0, -32768, 3), ("Pixmorant", "Pixmorant")),
            ("escape_dialog", (0, 27, 0, 0, -32768, 2), ("", "#32770")),
            ("escape_fullscreen", (0, 27, 0, 0, -32768, 3), ("", "FullScreenClass")),
            ("escape_prefix", (0, 27, 0, 0, -32768, 3), ("", "#327701")),
            ("code3", (3, 27, 0, 0, -32768, 2), ("", "")),
            ("wheel", (0, 522, 0, 0, 0, 2), ("", "")),
        ]
    },
}

for target, seeds in SEEDS.items():
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    for name, content in seeds.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(content)
