"""The program started where its lock file cannot be made (the runtime directory is gone) says
so, naming the file, and ends with an error status; a second copy started while one runs still
ends at once and silently, leaving the first as it was."""

import os

from harness import Session, road, wait_until, RoadFailed


@road
def start_without_a_lock_file():
    with Session("start-without-a-lock-file") as s:
        gone = os.path.join(s.work, "no-such-runtime")
        s.start(env={"XDG_RUNTIME_DIR": gone})
        notice = s.dialog()
        lock = os.path.join(gone, "EX_Vendaro")
        shown = " ".join(s.text(label) for label in s.find_all(role="label", within=notice))
        if lock not in shown:
            raise RoadFailed(f"the message does not name {lock}: {shown!r}")
        s.screenshot("no-lock-file")
        s.key("Return")
        status = s.wait_exit()
        if status == 0:
            raise RoadFailed("the program ended with status 0 without its lock file")

        # A second copy beside a running one: gone at once, without a word.
        first = s.start()
        s.wait_main_window()
        second = s.start()
        status = s.wait_exit()
        if status != 0:
            raise RoadFailed(f"the second copy ended with status {status}")
        s.app = first
        if first.poll() is not None:
            raise RoadFailed("the first copy ended as well")
        wait_until("no dialog from the second copy", lambda: not s.find_all(role="alert", deep=False))
        del second
        if s.quit_program(answer=None) != 0:
            raise RoadFailed("the program ended with an error status")


if __name__ == "__main__":
    start_without_a_lock_file()
