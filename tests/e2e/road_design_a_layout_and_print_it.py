"""A dealer designs a print layout of two items and prints an estimate with it: 編集, 印刷設定, the
new layout chosen in the print name dialog; in the layout editor the layout's name and A4 paper,
item 1 the customer's name and item 2 the body price, each picked from the item list and placed
by its Ｘ座標 and Ｙ座標, the second reached with the item number bar; OK; then File, the layout's
new print command, the printer chosen in the print dialog, printed. The queue (cups-pdf) writes
the sheet as a PDF file, on which both texts must stand where the layout puts them, measured from
the paper's edges."""

import re
import struct
import subprocess
import unicodedata

from harness import RoadFailed, Session, road
from printer import PrinterQueue

# 379 layout units make 100 mm.
UNITS_PER_100_MM = 379
MM_PER_POINT = 25.4 / 72
TOLERANCE_MM = 0.5

LAYOUT_NAME = "Mitsumorisho"
CUSTOMER = "山田太郎"
PRICE = "1500000"
# The face of every item, a Japanese face installed on the machine (tools/install-deps.sh), and
# the size the road gives the items.
ITEM_FACE = "Noto Sans CJK JP"
ITEM_POINTS = 12
# What each item prints, its expression and its place in layout units.
ITEMS = [
    {"expression": "氏名", "text": CUSTOMER, "x": 190, "y": 152},
    {"expression": "車両価格1", "text": PRICE, "x": 417, "y": 266},
]


def units_to_mm(units):
    return units * 100 / UNITS_PER_100_MM


def font_ascent(face):
    """The ascent of the font the system gives for `face`, as a fraction of its size: the part of
    a text line above its baseline (the font's horizontal header; these fonts do not ask for their
    typographic figures instead)."""
    found = subprocess.run(["fc-match", "-f", "%{file}\n%{index}", face], capture_output=True, text=True,
                           check=True).stdout.split("\n")
    with open(found[0], "rb") as f:
        data = f.read()
    index = int(found[1] or 0)
    base = struct.unpack(">I", data[12 + 4 * index:16 + 4 * index])[0] if data[:4] == b"ttcf" else 0
    count = struct.unpack(">H", data[base + 4:base + 6])[0]
    tables = {data[base + 12 + 16 * i:base + 16 + 16 * i]: struct.unpack(">I", data[base + 20 + 16 * i:base + 24 + 16 * i])[0]
              for i in range(count)}
    units_per_em = struct.unpack(">H", data[tables[b"head"] + 18:tables[b"head"] + 20])[0]
    os2 = tables[b"OS/2"]
    if struct.unpack(">H", data[os2 + 62:os2 + 64])[0] & 0x80:
        raise RoadFailed(f"the font for {face!r} ({found[0]}) asks for its typographic figures: measure with those")
    return struct.unpack(">h", data[tables[b"hhea"] + 4:tables[b"hhea"] + 6])[0] / units_per_em


def printed_lines(pdf):
    """The lines of text on the first page, each with the place of its first character's origin in
    millimetres from the paper's left edge and of its baseline from the top edge, and the page's
    size in millimetres."""
    html = subprocess.run(["pdftotext", "-bbox", "-f", "1", "-l", "1", pdf, "-"], capture_output=True,
                          text=True, check=True).stdout
    page = re.search(r'<page width="([\d.]+)" height="([\d.]+)"', html)
    if not page:
        raise RoadFailed(f"the printed PDF has no page: {html[:300]!r}")
    # The origin of every glyph drawn, as cairo's picture of the page gives it.
    svg = subprocess.run(["pdftocairo", "-svg", "-f", "1", "-l", "1", pdf, "-"], capture_output=True,
                         check=True).stdout.decode("utf-8", errors="replace")
    glyphs = [(float(x), float(y)) for x, y in re.findall(r'<use xlink:href="#glyph[^"]*" x="([-\d.]+)" y="([-\d.]+)"', svg)]
    lines = []
    for m in re.finditer(r'<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>', html):
        x0, y0, _, y1 = (float(v) for v in m.groups()[:4])
        # Some CJK fonts put radicals in a PDF's text: read as a person reads.
        text = unicodedata.normalize("NFKC", m.group(5))
        baseline = [gy for gx, gy in glyphs if abs(gx - x0) < 0.1 and y0 - 0.1 <= gy <= y1 + 0.1]
        if not baseline:
            raise RoadFailed(f"no glyph of the printed word {text!r} starts at {x0:.2f} pt")
        at = (x0 * MM_PER_POINT, baseline[0] * MM_PER_POINT)
        # Words on one baseline that follow each other make one line.
        if lines and abs(lines[-1]["at"][1] - at[1]) < 0.05 and x0 * MM_PER_POINT > lines[-1]["at"][0]:
            lines[-1]["text"] += text
        else:
            lines.append({"text": text, "at": at})
    return lines, (float(page.group(1)) * MM_PER_POINT, float(page.group(2)) * MM_PER_POINT)


def place_item(s, editor, panel, item, number):
    """Fills the item number `number` shown in the editor's item panel: its expression and its size
    from their lists, and its place typed into Ｘ座標 and Ｙ座標."""
    s.pick(s.field(f"項目{number}", within=panel), item["expression"])
    s.pick(s.field(f"サイズ{number}", within=panel), str(ITEM_POINTS))
    for axis, value in (("Ｘ", item["x"]), ("Ｙ", item["y"])):
        box = s.field(f"{axis}座標{number}", within=panel)
        s.click(box)
        s.key("ctrl+a")
        s.type(str(value))
        s.key("Tab")
        s.wait_text(box, str(value))
        # The place in millimetres beside the box follows.
        s.wait_text(s.find(description=f"{axis}座標（mm）", within=panel), str(value * 100 // UNITS_PER_100_MM))
    # The preview shows the item as it prints for the current estimate.
    s.find(role="label", name=item["text"], within=editor)


@road
def design_a_layout_and_print_it():
    with Session("design-a-layout-and-print-it", env={"VENDARO_TODAY": "2026-12-11"}) as s, PrinterQueue() as queue:
        s.cli("add", f"氏名={CUSTOMER}", f"車両価格1={PRICE}")
        if not subprocess.run(["fc-list", ITEM_FACE], capture_output=True, text=True).stdout.strip():
            raise RoadFailed(f"the face {ITEM_FACE!r} is not installed (tools/install-deps.sh installs it)")
        s.write_setting("EsCarFont.INI", [ITEM_FACE])
        s.start(env=queue.env)
        s.wait_main_window()

        # A new layout, from the print name dialog.
        s.menu("編集(E)", "印刷設定")
        names = s.dialog("印刷名")
        s.wait_text(s.find(role="combo box", within=names), "新規追加")
        s.click(s.find(role="push button", name="OK", within=names))
        s.no_dialog("印刷名")
        editor = s.dialog("印刷設定")

        # Its name and its paper, A4. (Searches keep to a panel of the editor: its preview holds a
        # label for each of its 240 items.)
        top = s.field("印刷名", within=editor).parent
        for field, value in (("印刷名", LAYOUT_NAME), ("印刷サイズＸ", "210"), ("印刷サイズＹ", "297")):
            box = s.field(field, within=top)
            s.click(box)
            s.key("ctrl+a")
            s.type(value)
            s.key("Tab")
            s.wait_text(box, value)

        # The item boxes show in edit mode.
        number = s.find(role="label", description="NO.", within=editor)
        left = number.parent.parent
        s.click(s.find(role="check box", name="修正モード", within=left))
        s.wait_text(number, "1")
        place_item(s, editor, left, ITEMS[0], 1)

        # Item 2, one step along the item number bar (its right arrow).
        x, y, w, h = s.extents(s.find(role="scroll bar", name="NO.", within=number.parent))
        s.click_at(x + w - h // 2 - 1, y + h // 2)
        s.wait_text(number, "2")
        place_item(s, editor, left, ITEMS[1], 2)
        s.screenshot("layout")

        s.click(s.find(role="push button", name="OK(&Y)", within=editor))
        s.no_dialog("印刷設定")

        # The layout's print command, the queue in the print dialog.
        s.menu("ﾌｧｲﾙ(F)", f"{LAYOUT_NAME}印刷")
        dialog = s.dialog()
        printer_box = s.find(role="combo box", within=dialog)
        if queue.name not in s.text(printer_box) and queue.name not in printer_box.name:
            raise RoadFailed(f"the print dialog does not offer the queue {queue.name}: {s.text(printer_box)!r}")
        s.screenshot("print-dialog")
        s.key("Return")
        s.no_dialog()
        pdf = queue.wait_job_pdf()

        lines, (width, height) = printed_lines(pdf)
        if abs(width - 210) > 1 or abs(height - 297) > 1:
            raise RoadFailed(f"the sheet was printed on {width:.1f} x {height:.1f} mm, not on A4")
        # An item's place is the top-left corner of its text line: one ascent of the item font
        # above the baseline.
        ascent_mm = font_ascent(ITEM_FACE) * ITEM_POINTS * 25.4 / 72
        misplaced = []
        for item in ITEMS:
            printed = [line["at"] for line in lines if line["text"] == item["text"]]
            if len(printed) != 1:
                raise RoadFailed(f"{item['text']!r} is printed {len(printed)} times; the sheet reads "
                                 f"{[line['text'] for line in lines]!r}")
            at = (printed[0][0], printed[0][1] - ascent_mm)
            want = (units_to_mm(item["x"]), units_to_mm(item["y"]))
            print(f"{item['text']}: printed at ({at[0]:.2f}, {at[1]:.2f}) mm, placed at ({want[0]:.2f}, {want[1]:.2f}) mm")
            if abs(at[0] - want[0]) > TOLERANCE_MM or abs(at[1] - want[1]) > TOLERANCE_MM:
                misplaced.append(f"{item['text']} at ({at[0]:.2f}, {at[1]:.2f}) mm, "
                                 f"placed at ({want[0]:.2f}, {want[1]:.2f}) mm")
        if misplaced:
            raise RoadFailed("printed away from the layout's places: " + "; ".join(misplaced))

        s.quit_program(answer=None)
        # The layout is listed under its name, before the entry for a new one.
        listed = s.read_setting("EsPrintName.INI")
        if listed != [LAYOUT_NAME, "1", "新規追加", "2"]:
            raise RoadFailed(f"the layout list reads {listed!r}")


if __name__ == "__main__":
    design_a_layout_and_print_it()
