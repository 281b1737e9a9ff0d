"""A dealer types an estimate on the numeric keypad as figures are written on paper: the date with
slashes, the price and a statutory fee with grouping commas. The quote at today's 10 % appears, the
figure agreed with the customer (typed with commas too) becomes the quote exactly, and the estimate
is stored with those figures."""

from harness import Session, road, wait_until, RoadFailed

# The keys for each character: digits and the slash on the numeric keypad; the keypad has no
# comma, so a person takes the comma key beside it (a key of the keyboard map, never one that
# xdotool would have to map first, whose first press the program may miss).
KEYPAD = {**{str(d): f"KP_{d}" for d in range(10)}, ",": "comma", "/": "KP_Divide"}


def keypad(s, box, text):
    """Clicks into a box of the main window and, once it has the focus, types `text` key by key on
    the numeric keypad."""
    s.click(box)
    s.wait_focus(s.describe(box), lambda f: s.describe(f) == s.describe(box))
    s.key(*(KEYPAD[c] for c in text))


@road
def type_grouped_amounts_on_the_keypad():
    with Session("type-grouped-amounts-on-the-keypad", env={"VENDARO_TODAY": "2026-12-11"}) as s:
        s.start()  # a new installation: no "Zei.INI"
        s.wait_main_window()
        s.resize_main(1500, 1150)
        s.click(s.find(role="push button", name="レコードの挿入"))

        # The creation date typed by hand becomes its era date text when the box is left.
        created = s.field("作成日")
        keypad(s, created, "2026/12/20")
        s.key("Tab")
        s.wait_text(created, "令和０８年１２月２０日")

        price = s.field("車両価格1")
        keypad(s, price, "1,500,000")
        s.key("Tab")
        s.wait_text(price, "1500000")
        fee = s.field("販売費用10")  # ・検査登録, held in trust
        keypad(s, fee, "35,000")
        s.key("Tab")
        s.wait_text(fee, "35000")

        # 1,500,000 and its tax of 150,000, and the fee, which is not taxed.
        quote = s.field("見積金額")
        s.wait_text(quote, "1685000")
        s.wait_text(s.field("車両消費税3"), "150000")
        s.screenshot("typed")

        # The customer agrees on 1,680,000: typed in the discount dialog, it becomes the quote.
        s.click(quote, double=True)
        dialog = s.dialog("値引きの選択")
        # The dialog puts the focus into its one box; the keys wait until it is the active window.
        s.click(s.find(role="text", within=dialog))
        wait_until("the discount dialog to be active", lambda: s.active_window_title().startswith("値引きの選択"))
        s.key(*(KEYPAD[c] for c in "1,680,000"))
        s.key("Return")
        s.no_dialog("値引きの選択")
        s.wait_text(quote, "1680000")
        s.wait_text(s.field("車両価格2"), "-4545")
        s.screenshot("discounted")

        s.click(s.find(role="push button", name="レコードの登録"))
        s.wait_text(s.find(description="件数"), "1")
        if s.quit_program(answer=None) != 0:
            raise RoadFailed("the program ended with an error status")

        s.stored_estimate({"作成日": "令和０８年１２月２０日", "項番": "20261220", "車両価格1": "1500000", "車両価格2": "-4545",
                           "車両項目2": "値引き", "車両価格3": "1495455", "車両消費税3": "149545", "販売費用10": "35000",
                           "諸費用合計": "35000", "販売合計": "1680000", "見積金額": "1680000"})


if __name__ == "__main__":
    type_grouped_amounts_on_the_keypad()
