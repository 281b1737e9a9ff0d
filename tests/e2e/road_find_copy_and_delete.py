"""A dealer finds a customer's estimate by name, copies it into a new estimate for the same
customer, saves the copy, and deletes the old one."""

from harness import RoadFailed, Session, road


@road
def find_copy_and_delete():
    with Session("find-copy-and-delete", env={"VENDARO_TODAY": "2026-12-11"}) as s:
        for name, price in (("Aoki", "1000000"), ("Baba", "2000000"), ("Chiba", "3000000")):
            s.cli("add", f"氏名={name}", f"車両価格1={price}", "作成日=令和０８年１２月０１日")
        s.start()
        s.wait_main_window()
        count = s.find(description="件数")
        s.wait_text(count, "3")

        # Find: the field 氏名 chosen from the list, the name typed.
        s.click(s.find(role="push button", name="検索"))
        find = s.dialog("検索")
        s.pick(s.find(role="combo box", name="検索項目", within=find), "氏名")
        s.click(s.find(role="combo box", name="検索内容", within=find))
        s.type("Baba")
        s.key("Return")
        s.no_dialog("検索")
        s.wait_text(s.field("氏名"), "Baba")

        # Copy it into a new estimate and save the copy.
        s.click(s.find(role="push button", name="複写"))
        copy = s.dialog("複写設定")
        # The fields to copy: the customer's name, moved to the list of fields copied.
        s.click(s.find(role="list item", name="氏名", within=copy))
        s.click(s.find(role="push button", name="＞", within=copy))
        s.screenshot("copy-pattern")
        s.click(s.find(role="push button", name="はい(Y)", within=copy))
        s.no_dialog("複写設定")
        s.wait_text(s.field("氏名"), "Baba")
        s.click(s.find(role="push button", name="レコードの登録"))
        s.wait_text(count, "4")

        # Back on the old one (found again), delete it after the question.
        s.click(s.find(role="push button", name="最後のレコード"))
        s.wait_text(s.field("作成日"), "令和０８年１２月０１日")
        s.wait_text(s.field("氏名"), lambda t: t in ("Aoki", "Baba", "Chiba"))
        doomed = s.text(s.field("氏名"))
        s.click(s.find(role="push button", name="レコードの削除"))
        s.dialog()
        s.screenshot("delete-question")
        s.key("Return")
        s.wait_text(count, "3")
        s.quit_program(answer=None)

        rows = s.dump()
        names = sorted(r["氏名"] for r in rows)
        expected = sorted(["Aoki", "Baba", "Baba", "Chiba"])
        expected.remove(doomed)
        if names != expected:
            raise RoadFailed(f"the book holds {names!r}, expected {expected!r}")
        copies = [r for r in rows if r["氏名"] == "Baba" and r["作成日"] != "令和０８年１２月０１日"]
        if doomed != "Baba" and not copies:
            raise RoadFailed("the copy of Baba's estimate is not in the book")


if __name__ == "__main__":
    find_copy_and_delete()
