"""A dealer on a new installation imports Japan Post's list from the File menu, with no settings
prepared, and fills an estimate's address from the postal code being typed."""

import os
import shutil

from harness import ROOT, Session, road, wait_until, RoadFailed


@road
def import_the_postal_list_on_a_new_installation():
    with Session("import-the-postal-list", env={"VENDARO_TODAY": "2026-12-11"}) as s:
        # The list as downloaded into the program directory; nothing else is prepared.
        shutil.copy(os.path.join(ROOT, "tests", "fixtures", "13TOKYO.CSV"), s.path("KEN_ALL.CSV"))
        s.start()
        s.wait_main_window()
        s.resize_main(1500, 1150)

        s.click(s.find(role="push button", name="レコードの挿入"))
        s.click(s.field("郵便番号"))
        s.type("1050014")

        s.menu("ﾌｧｲﾙ(F)", "郵便番号データ読込(Y)...")
        s.open_file_dialog("ＣＳＶファイル", s.path("KEN_ALL.CSV"))
        # Its progress, then how many rows it stored.
        done = "郵便番号データを4087件読み込みました。"
        s.find(role="label", name=done, timeout=60)
        s.screenshot("imported")
        s.key("Return")
        wait_until("the closing message to go", lambda: not s.find_all(role="label", name=done, showing=True))
        if s.read_setting("PostData.INI") != ["3", "7", "8", "9"]:
            raise RoadFailed(f"PostData.INI holds {s.read_setting('PostData.INI')!r}")

        # Code to address: the postal-code window stands on the code typed.
        s.click(s.find(role="label", name="住所変換"))
        directory = s.dialog("郵便番号変換")
        s.screenshot("directory-on-the-code")
        s.click(s.find(role="push button", name="OK(&Y)", within=directory))
        s.no_dialog("郵便番号変換")
        s.wait_text(s.field("住所"), "東京都港区芝（１～３丁目）")
        s.click(s.find(role="push button", name="レコードの登録"))
        s.wait_text(s.find(description="件数"), "1")
        if s.quit_program(answer=None) != 0:
            raise RoadFailed("the program ended with an error status")

        rows = s.dump()
        if len(rows) != 1 or rows[0]["郵便番号"] != "1050014" or rows[0]["住所"] != "東京都港区芝（１～３丁目）":
            raise RoadFailed(f"stored {[(r['郵便番号'], r['住所']) for r in rows]!r}")
        if s.cli("postal", "lookup", "東京都港区芝３丁目").strip() != "1050014":
            raise RoadFailed("the directory lookup does not find 1050014 for 東京都港区芝３丁目")


if __name__ == "__main__":
    import_the_postal_list_on_a_new_installation()
