"""A dealer checks where a printer puts things: from the layout editor, the print function
settings show the adjustment set the printer's own resolution and printable area give, and print a
calibration sheet with millimetre rulers from the paper's edges and that set's values. Leaving
the new layout the editor was opened on with Cancel leaves no trace of it."""

import sqlite3

from harness import RoadFailed, Session, road, wait_until
from layouts import Ink, pdf_words
from printer import PrinterQueue


@road
def print_a_calibration_sheet():
    with Session("print-a-calibration-sheet") as s, PrinterQueue() as queue:
        s.start(env=queue.env)
        s.wait_main_window()
        s.menu("編集", "印刷設定")
        chooser = s.dialog("印刷名")
        s.click(s.find(role="push button", name="OK", within=chooser))  # 新規追加
        editor = s.dialog("印刷設定")
        s.click(s.find(role="push button", name="印刷機能修正", within=editor))
        tool = s.dialog("印刷機能修正")
        fields = s.find_all(role="spin button", within=tool, showing=True)[:4]
        shown = [s.text(f) for f in fields]
        # 1200 dpi is 12.5 dots per layout unit of 1/96 inch.
        if shown[:2] != ["25", "2"]:
            raise RoadFailed(f"set 1 shows {shown}, expected the derived scale 25 / 2")
        s.find(role="label", name="（保存された値がないため、プリンターの解像度と印刷可能範囲から求めた値です）", within=tool)

        s.click(s.find(role="push button", name="調整用紙印刷", within=tool))
        dialog = wait_until("the print dialog", lambda: next(
            (d for d in s.find_all(role="dialog", deep=False, showing=True) if d.name not in ("印刷設定", "印刷機能修正")),
            None))
        printer_box = s.find(role="combo box", within=dialog)
        if queue.name not in s.text(printer_box) and queue.name not in printer_box.name:
            raise RoadFailed(f"the print dialog does not offer the queue {queue.name}")
        s.key("Return")
        sheet = queue.wait_job_pdf()
        words = pdf_words(sheet)
        # The rulers' ticks, found by their ink: each a line a fifth of a millimetre wide, centred
        # on its millimetre from the paper's edge, where the derived offsets put it.
        ink = Ink(sheet, s.work)
        for mm in (10, 50, 100, 200):
            top_ruler = ink.corner(mm - 0.6, 1, mm + 0.6, 2.5)
            if top_ruler is None or abs(top_ruler[0] - (mm - 0.1)) > 0.5:
                raise RoadFailed(f"the top ruler's {mm} mm tick is printed at {top_ruler} mm from the paper's edge")
            left_ruler = ink.corner(1, mm - 0.6, 2.5, mm + 0.6)
            if left_ruler is None or abs(left_ruler[1] - (mm - 0.1)) > 0.5:
                raise RoadFailed(f"the left ruler's {mm} mm tick is printed at {left_ruler} mm from the paper's edge")
            if not any(w[3] == str(mm) for w in words):
                raise RoadFailed(f"the {mm} mm mark has no number")
        # The queue's conversion keeps only part of the sheet's text layer (whole words such as the
        # resolution and the scale); the offsets are on the sheet where the ticks are.
        text = " ".join(w[3] for w in words).replace("\u2215", "/")
        for expected in ("25/2", "1200 dpi"):
            if expected not in text:
                raise RoadFailed(f"{expected!r} is not on the sheet: {text[:300]}")
        s.screenshot("calibration-printed")

        s.click(s.find(role="push button", name="ｷｬﾝｾﾙ", within=tool))
        s.click(s.find(role="push button", name="ｷｬﾝｾﾙ", within=editor))
        s.no_dialog("印刷設定")
        s.quit_program(answer=None)
        if s.read_setting("EsPrintName.INI") != ["新規追加", "1"]:
            raise RoadFailed(f"the layout list reads {s.read_setting('EsPrintName.INI')}")
        db = sqlite3.connect(s.path("CARDATA", "EsPrtData.DB"))
        count = db.execute("SELECT COUNT(*) FROM records").fetchone()[0]
        db.close()
        if count != 0:
            raise RoadFailed(f"the cancelled new layout left {count} layout records")


if __name__ == "__main__":
    print_a_calibration_sheet()
