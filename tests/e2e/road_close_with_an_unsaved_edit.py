"""A dealer closes the program while an estimate is still being typed: the close question keeps
it (yes) or drops it (no), and the next start shows what was kept."""

from harness import RoadFailed, Session, road


@road
def close_with_an_unsaved_edit():
    with Session("close-with-an-unsaved-edit") as s:
        s.cli("add", "氏名=Saved Before")
        s.start()
        s.wait_main_window()
        s.click(s.find(role="push button", name="レコードの挿入"))
        s.click(s.field("氏名"))
        s.type("Kept On Close")
        # The window manager's close button, as a dealer closes a window.
        s.key("alt+F4")
        question = s.dialog()
        s.screenshot("close-question")
        s.key("Return")  # yes: save it
        if s.wait_exit() != 0:
            raise RoadFailed("the program ended with an error status")
        names = sorted(r["氏名"] for r in s.dump())
        if names != ["Kept On Close", "Saved Before"]:
            raise RoadFailed(f"after saving on close, the book holds {names!r}")

        s.start()
        s.wait_main_window()
        s.wait_text(s.field("氏名"), lambda t: t in ("Kept On Close", "Saved Before"))
        s.click(s.find(role="push button", name="レコードの挿入"))
        s.click(s.field("氏名"))
        s.type("Dropped On Close")
        s.key("alt+F4")
        s.dialog()
        s.key("n")  # no: the edit is dropped
        s.wait_exit()
        names = sorted(r["氏名"] for r in s.dump())
        if names != ["Kept On Close", "Saved Before"]:
            raise RoadFailed(f"after dropping the edit on close, the book holds {names!r}")


if __name__ == "__main__":
    close_with_an_unsaved_edit()
