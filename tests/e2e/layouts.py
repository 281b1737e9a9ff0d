"""Print layouts for the roads, written into the layout tables of a program directory before the
program starts (the tables exist after a first start), and read back after it ends."""

import sqlite3
import subprocess
import unicodedata
import os
import re


def _text(value):
    return sqlite3.Binary(value.encode("cp932"))


def add_layout(s, name, items, paper=(210, 297), continuous=False):
    """Appends a layout: `items` are (expression, x, y, size) in layout units; returns its number."""
    data = sqlite3.connect(s.path("CARDATA", "EsPrtData.DB"))
    columns = ["印刷名", "印刷フォームの印刷", "印刷サイズＸ", "印刷サイズＹ", "連続印刷", "日付の表示"]
    values = [_text(name), _text("False"), paper[0], paper[1], _text("True" if continuous else "False"), _text("True")]
    columns += [f"項目{k}" for k in range(1, len(items) + 1)]
    values += [_text(expression) for expression, *_ in items]
    data.execute(f'INSERT INTO records ({", ".join(chr(34) + c + chr(34) for c in columns)}) '
                 f'VALUES ({", ".join("?" * len(values))})', values)
    data.commit()
    number = data.execute("SELECT COUNT(*) FROM records").fetchone()[0]
    data.close()
    for table, prefix, at in (("EsPrtPosX.DB", "Ｘ座標", 1), ("EsPrtPosY.db", "Ｙ座標", 2), ("EsPrtSize.DB", "サイズ", 3)):
        db = sqlite3.connect(s.path("CARDATA", table))
        cols = ", ".join(f'"{prefix}{k}"' for k in range(1, len(items) + 1))
        db.execute(f'INSERT INTO records ({cols}) VALUES ({", ".join("?" * len(items))})', [i[at] for i in items])
        db.commit()
        db.close()
    return number


def write_list(s, names):
    """The layout list naming layouts 1, 2, ... in that order."""
    lines = []
    for n, name in enumerate(names, start=1):
        lines += [name, str(n)]
    s.write_setting("EsPrintName.INI", lines + ["新規追加", str(len(names) + 1)])


def stored_positions(s, item):
    """(X, Y) of an item in every layout, in layout order."""
    out = []
    for table, prefix in (("EsPrtPosX.DB", "Ｘ座標"), ("EsPrtPosY.db", "Ｙ座標")):
        db = sqlite3.connect(s.path("CARDATA", table))
        out.append([r[0] for r in db.execute(f'SELECT "{prefix}{item}" FROM records ORDER BY rid')])
        db.close()
    return list(zip(*out))


def pdf_words(path):
    """The words of a PDF file as (page, xMin, yMin, text) in points from the page's top-left
    corner, the text read as a person reads it (NFKC)."""
    html = subprocess.run(["pdftotext", "-bbox", path, "-"], capture_output=True, text=True, check=True).stdout
    words, page = [], 0
    for line in html.splitlines():
        if "<page " in line:
            page += 1
        m = re.search(r'<word xMin="([-0-9.]+)" yMin="([-0-9.]+)" xMax="[-0-9.]+" yMax="[-0-9.]+">([^<]*)</word>', line)
        if m:
            words.append((page, float(m.group(1)), float(m.group(2)), unicodedata.normalize("NFKC", m.group(3))))
    return words


class Ink:
    """The dark pixels of a PDF page rendered at `dpi` (poppler's pdftoppm), for finding where
    something was printed on the paper independently of how a PDF describes its fonts."""

    def __init__(self, pdf, work, dpi=600, page=1):
        root = os.path.join(work, "ink")
        subprocess.run(["pdftoppm", "-r", str(dpi), "-gray", "-f", str(page), "-l", str(page), "-singlefile", pdf, root],
                       check=True)
        with open(root + ".pgm", "rb") as f:
            data = f.read()
        m = re.match(rb"P5\s+(\d+)\s+(\d+)\s+(\d+)\s", data)
        self.width, self.height = int(m.group(1)), int(m.group(2))
        self.pixels = data[m.end():]
        self.dpi = dpi

    def corner(self, left_mm, top_mm, right_mm, bottom_mm):
        """The top-left corner (mm from the paper's left and top edges) of the ink inside the
        window, or None when the window is blank."""
        px = lambda mm: max(0, int(mm / 25.4 * self.dpi))
        x0, x1 = px(left_mm), min(self.width, px(right_mm))
        first_row, first_col = None, None
        for y in range(px(top_mm), min(self.height, px(bottom_mm))):
            row = self.pixels[y * self.width + x0:y * self.width + x1]
            dark = [i for i, v in enumerate(row) if v < 128]
            if dark:
                first_row = y if first_row is None else first_row
                first_col = dark[0] if first_col is None else min(first_col, dark[0])
        if first_row is None:
            return None
        return (x0 + first_col) / self.dpi * 25.4, first_row / self.dpi * 25.4
