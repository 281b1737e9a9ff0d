"""A dealer places the items of a print layout on the picture of the form: drags one with the
mouse, nudges it with the arrow keys, makes the editor larger to see more of the form, and keeps
the places with OK."""

import os
import re
import sqlite3

from harness import Session, road, wait_until, RoadFailed

NAME = "配置テスト"


def cp932(text):
    return sqlite3.Binary(text.encode("cp932"))


def make_layout(s):
    """Layout 1: A4, two items, as the layout tables hold them."""
    data = sqlite3.connect(s.path("CARDATA", "EsPrtData.DB"))
    data.execute('INSERT INTO records ("印刷名", "印刷フォームの印刷", "印刷サイズＸ", "印刷サイズＹ", "日付の表示", '
                 '"項目1", "項目2") VALUES (?, ?, 210, 297, ?, ?, ?)',
                 (cp932(NAME), cp932("False"), cp932("True"), cp932("@AAAA"), cp932("@BBBB")))
    data.commit()
    data.close()
    for table, column, values in (("EsPrtPosX.DB", "Ｘ座標", (100, 300)), ("EsPrtPosY.db", "Ｙ座標", (100, 400)),
                                  ("EsPrtSize.DB", "サイズ", (12, 12))):
        db = sqlite3.connect(s.path("CARDATA", table))
        db.execute(f'INSERT INTO records ("{column}1", "{column}2") VALUES (?, ?)', values)
        db.commit()
        db.close()
    s.write_setting("EsPrintName.INI", [NAME, "1", "新規追加", "2"])


def stored(s, table, column):
    db = sqlite3.connect(s.path("CARDATA", table))
    row = db.execute(f'SELECT "{column}1", "{column}2" FROM records ORDER BY rid').fetchone()
    db.close()
    return row


def window_size(s, wid):
    geometry = s.xdotool("getwindowgeometry", wid)
    m = re.search(r"Geometry: (\d+)x(\d+)", geometry)
    return int(m.group(1)), int(m.group(2))


@road
def place_items_on_a_form():
    with Session("place-items-on-a-form") as s:
        # A first start makes the tables of a new installation; the layout goes into them.
        s.start()
        s.wait_main_window()
        s.quit_program(answer=None)
        make_layout(s)

        s.start()
        s.wait_main_window()
        s.menu("編集", "印刷設定")
        chooser = s.dialog("印刷名")
        s.click(s.find(role="combo box", within=chooser))
        s.key("Up")  # from 新規追加 up to the layout
        s.click(s.find(role="push button", name="OK", within=chooser))
        editor = s.dialog("印刷設定")
        s.click(s.find(role="check box", name="修正モード", within=editor))
        x_box, y_box = s.field("Ｘ座標1"), s.field("Ｙ座標1")
        s.wait_text(x_box, "100")

        # Dragged 40 dots right and 20 down at the scale of 1/2: 80 and 40 layout units.
        item = s.find(role="label", name="AAAA", within=editor)
        x, y, w, h = s.extents(item)
        s.xdotool("mousemove", "--sync", str(x + 4), str(y + h // 2))
        s.xdotool("mousedown", "1")
        for step in range(1, 5):
            s.xdotool("mousemove", "--sync", str(x + 4 + step * 10), str(y + h // 2 + step * 5))
        s.wait_text(x_box, "180")
        s.wait_text(y_box, "140")
        s.xdotool("mouseup", "1")
        s.screenshot("dragged")

        # The arrow keys: one unit, with Shift ten.
        s.key("Right")
        s.wait_text(x_box, "181")
        s.key("shift+Down")
        s.wait_text(y_box, "150")
        s.key("shift+Left", "Up")
        s.wait_text(x_box, "171")
        s.wait_text(y_box, "149")

        # The editor grows, and the preview with it, at the same scale.
        wid = s.wait_window("^印刷設定$")
        preview = s.find(name="プレビュー", within=editor)
        before = s.extents(preview)
        item_before = s.extents(item)
        s.xdotool("windowsize", "--sync", wid, "1200", "900")
        wait_until("the editor at 1200 by 900", lambda: window_size(s, wid) == (1200, 900))
        wait_until("a larger preview", lambda: s.extents(s.find(name="プレビュー", within=editor))[2] > before[2] + 400)
        after = s.extents(s.find(role="label", name="AAAA", within=editor))
        if after[2:] != item_before[2:]:
            raise RoadFailed(f"the item changed its size with the window: {item_before[2:]} to {after[2:]}")
        s.screenshot("larger")

        s.click(s.find(role="push button", name="OK(&Y)", within=editor))
        s.no_dialog("印刷設定")
        if s.quit_program(answer=None) != 0:
            raise RoadFailed("the program ended with an error status")

        xs, ys = stored(s, "EsPrtPosX.DB", "Ｘ座標"), stored(s, "EsPrtPosY.db", "Ｙ座標")
        if xs != (171, 300) or ys != (149, 400):
            raise RoadFailed(f"stored positions X {xs}, Y {ys}; expected X (171, 300), Y (149, 400)")


if __name__ == "__main__":
    place_items_on_a_form()
