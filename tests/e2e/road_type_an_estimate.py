"""A dealer types a new estimate: the date from the calendar, the address from the postal code,
the customer and the price, saves it and finds it under its month tab."""

import os

from harness import ROOT, Session, road, wait_until, RoadFailed


@road
def type_an_estimate():
    with Session("type-an-estimate", env={"VENDARO_TODAY": "2026-12-11"}) as s:
        s.import_postal(os.path.join(ROOT, "tests", "fixtures", "13TOKYO.CSV"))
        s.start()
        s.wait_main_window()
        s.resize_main(1500, 1150)

        s.click(s.find(role="push button", name="レコードの挿入"))

        # The creation date, picked from the calendar.
        created = s.field("作成日")
        s.click(created, double=True)
        calendar = s.dialog("日付設定")
        s.click(s.find(role="table cell", name="20", within=calendar))
        s.no_dialog("日付設定")
        s.wait_text(created, "令和０８年１２月２０日")

        # The address, filled from the postal code.
        postal = s.field("郵便番号")
        s.click(postal)
        s.type("1050014")
        s.click(s.find(role="label", name="住所変換"))
        directory = s.dialog("郵便番号変換")
        s.screenshot("postal-directory")
        s.click(s.find(role="push button", name="OK(&Y)", within=directory))
        s.no_dialog("郵便番号変換")
        address = s.wait_text(s.field("住所"), lambda t: t.startswith("東京都港区芝"))

        # The customer and the price; leaving the price box works out the quote.
        s.click(s.field("氏名"))
        s.type("Yamada Taro")
        price = s.field("車両価格1")
        s.click(price)
        s.type("1500000")
        s.key("Tab")
        quote = s.field("見積金額")
        shown = s.wait_text(quote, lambda t: t.strip() not in ("", "0"))
        s.screenshot("typed")

        s.click(s.find(role="push button", name="レコードの登録"))
        # Saved, it is filed under its month.
        month = s.find(role="page tab", name="令和０８年１２月")
        s.click(month)
        s.wait_text(s.find(description="件数"), "1")
        s.wait_text(s.field("氏名"), "Yamada Taro")
        s.screenshot("month-tab")
        if s.quit_program(answer=None) != 0:
            raise RoadFailed("the program ended with an error status")

        rows = s.dump()
        if len(rows) != 1:
            raise RoadFailed(f"expected one estimate stored, found {len(rows)}")
        r = rows[0]
        expect = {"作成日": "令和０８年１２月２０日", "郵便番号": "1050014", "住所": address,
                  "氏名": "Yamada Taro", "車両価格1": "1500000", "見積金額": shown.strip().replace(",", "")}
        for field, value in expect.items():
            if r[field] != value:
                raise RoadFailed(f"{field} stored as {r[field]!r}, expected {value!r}")


if __name__ == "__main__":
    type_an_estimate()
