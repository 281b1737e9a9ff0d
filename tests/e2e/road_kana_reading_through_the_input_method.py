"""A dealer types a customer's name in kana through the Japanese input method and converts it to
kanji: the reading the input method showed lands in ふりがな."""

from harness import RoadFailed, Session, as_unprivileged_user, road


@road
def kana_reading_through_the_input_method():
    with Session("kana-reading-through-the-input-method", ime=True) as s:
        s.start()
        s.wait_main_window()
        s.click(s.find(role="push button", name="レコードの挿入"))
        name = s.field("氏名")
        s.click(name)
        s.ime_on()
        s.type("yamada")
        s.key("space")
        s.screenshot("converted")
        s.key("Return")  # the input method commits 山田
        s.wait_text(name, "山田")
        s.ime_off()
        s.key("Return")  # leaves the name box, which stores the name and its reading
        s.wait_text(s.field("ふりがな"), "やまだ")
        s.click(s.find(role="push button", name="レコードの登録"))
        s.wait_text(s.find(description="件数"), "1")
        s.quit_program(answer=None)
        rows = s.dump()
        got = [(r["氏名"], r["ふりがな"]) for r in rows]
        if got != [("山田", "やまだ")]:
            raise RoadFailed(f"expected one estimate 山田 read やまだ, the book holds {got!r}")


if __name__ == "__main__":
    as_unprivileged_user()
    kana_reading_through_the_input_method()
