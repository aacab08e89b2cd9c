#!/usr/bin/env python3
"""Writes a Vemra.dat with a few tasks in every category, scrambled as the
program stores them, for looking at the program by hand.

usage: tools/make_sample_data.py FOLDER
"""
import sys

KEY = b"7318"


def scramble(text: str) -> bytes:
    data = text.replace("€", "^").encode("cp1252")
    return bytes(b ^ (KEY[i % 4] + 96) for i, b in enumerate(data))


def value(raw: bytes) -> bytes:
    # Values whose ends the profile reader would strip are quoted.
    fragile = lambda c: c <= 0x20 or c in (0x85, 0xA0, 0x22, 0x27)
    return b'"' + raw + b'"' if raw and (fragile(raw[0]) or fragile(raw[-1])) else raw


SECTIONS = {
    "Important": [
        ("12-24-2026", "18:00", "Bescherung vorbereiten"),
        ("01-05-2027", "09:30", "Zahnarzt Dr. Größer"),
        ("12-09-2026", "14:15", "Angebot an Müller & Söhne schicken"),
    ],
    "Others": [
        ("12-31-2026", "00:00", "Sekt kaufen (ca. 20 €)"),
        ("12-10-2026", "00:00", "Bücher zurückgeben"),
    ],
    "Done": [
        ("12-01-2026", "10:00", "Winterreifen aufziehen"),
    ],
}


def main() -> None:
    folder = sys.argv[1]
    lines = []
    for section, tasks in SECTIONS.items():
        lines.append(f"[{section}]".encode())
        for i, (date, time, text) in enumerate(tasks):
            lines.append(f"{100 + i}=".encode() + value(scramble(f"{date}|{time}|{text}")))
    lines.append(b"[Reminder]")
    for i in range(len(SECTIONS["Important"])):
        lines.append(f"{100 + i}=".encode() + value(scramble("A")))
    with open(f"{folder}/Vemra.dat", "wb") as out:
        out.write(b"\r\n".join(lines) + b"\r\n")


if __name__ == "__main__":
    main()
