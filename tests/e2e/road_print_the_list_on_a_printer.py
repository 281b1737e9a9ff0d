"""A dealer prints the estimate list on a real printer: File, 一覧印刷, the printer chosen in the
print dialog, printed. The queue (cups-pdf) writes what it printed as a PDF file, whose lines
must be the list's lines as the list print makes them."""

import os
import subprocess
import unicodedata

from harness import ROOT, RoadFailed, Session, road
from printer import PrinterQueue


def pdf_lines(path):
    text = subprocess.run(["pdftotext", "-layout", path, "-"], capture_output=True, text=True, check=True).stdout
    # Some CJK fonts put radicals such as ⼦ for 子 in a PDF's text: read as a person reads.
    return [" ".join(unicodedata.normalize("NFKC", line).split()) for line in text.splitlines() if line.strip()]


@road
def print_the_list_on_a_printer():
    with Session("print-the-list-on-a-printer", env={"VENDARO_TODAY": "2026-12-11"}) as s, PrinterQueue() as queue:
        s.cli("restore", os.path.join(ROOT, "samples", "estimates.csv"))
        expected = [" ".join(unicodedata.normalize("NFKC", line).split())
                    for line in s.cli("print", "list", "--text").splitlines() if line.strip()]
        if not expected:
            raise RoadFailed("the list print made no lines from the sample estimates")

        s.start(env=queue.env)
        s.wait_main_window()
        s.menu("ﾌｧｲﾙ(F)", "一覧印刷")
        dialog = s.dialog()
        s.screenshot("print-dialog")
        printer_box = s.find(role="combo box", within=dialog)
        if queue.name not in s.text(printer_box) and queue.name not in printer_box.name:
            raise RoadFailed(f"the print dialog does not offer the queue {queue.name}: {s.text(printer_box)!r}")
        s.key("Return")
        s.no_dialog()
        pdf = queue.wait_job_pdf()
        printed = pdf_lines(pdf)
        missing = [line for line in expected if line not in printed]
        if missing:
            raise RoadFailed(f"{len(missing)} of {len(expected)} list lines are not on the printed page, "
                             f"first: {missing[0]!r}; printed: {printed[:5]!r}")
        s.quit_program(answer=None)


if __name__ == "__main__":
    print_the_list_on_a_printer()
