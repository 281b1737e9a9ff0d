"""A dealer types a comment and amounts with the number pad: every Enter (the number pad's, and
Shift+Enter as well) moves on to the next box as Tab does, and no line break is ever stored."""

from harness import Session, road, RoadFailed


@road
def enter_on_every_keyboard():
    with Session("enter-on-every-keyboard") as s:
        s.cli("add", "作成日=令和０８年１２月０１日", "氏名=Sato")
        s.start()
        s.wait_main_window()
        s.resize_main(1500, 1150)

        def after_tab(field):
            """The box Tab moves to from the box of `field`."""
            s.click(s.field(field))
            s.wait_focus(field, lambda f: f.description == field)
            s.key("Tab")
            return s.wait_focus(f"the box after {field}", lambda f: f.description != field).description

        for field, typed in (("コメント", "abc"), ("車両価格1", "1000")):
            following = after_tab(field)
            for keys in ("Return", "KP_Enter", "shift+Return", "shift+KP_Enter"):
                s.click(s.field(field))
                s.wait_focus(field, lambda f: f.description == field)
                s.type(typed[0])
                s.key(keys)
                s.wait_focus(f"{following} after {keys} in {field}", lambda f: f.description == following)
            shown = s.text(s.field(field))
            if "\n" in shown or "\r" in shown or "\u2028" in shown:
                raise RoadFailed(f"{field} took a line break: {shown!r}")

        s.screenshot("typed")
        s.click(s.find(role="push button", name="レコードの登録"))
        if s.quit_program(answer=None) != 0:
            raise RoadFailed("the program ended with an error status")
        stored = s.dump()[0]
        if stored["コメント"] != "aaaa":
            raise RoadFailed(f"コメント stored as {stored['コメント']!r}, expected 'aaaa'")
        if stored["車両価格1"] != "1111":
            raise RoadFailed(f"車両価格1 stored as {stored['車両価格1']!r}, expected '1111'")


if __name__ == "__main__":
    enter_on_every_keyboard()
