"""A dealer prints estimates on paper forms through a real printer queue: a layout with items near
all four edges lands on the paper where it was placed, measured from the paper's edges; a stored
adjustment set moves every item by exactly its offsets; a continuous layout prints every estimate
of the view. The queue (cups-pdf, 1200 dpi) writes what it printed as a PDF file.

Where an item landed is measured on the rendered page, by the corner of its ink, against the
same item printed to a PDF file (whose text boxes sit exactly at the places): the queue's
conversion describes its fonts differently, so its text boxes alone do not say where the ink is."""

from harness import RoadFailed, Session, road
from layouts import Ink, add_layout, pdf_words, write_list
from printer import PrinterQueue

POINTS_PER_UNIT = 72 / 96  # a layout unit is 1/96 inch
# A4 is 793 by 1122 layout units: an item a few millimetres in from every edge.
EDGES = [("TOPLEFT", 19, 19), ("TOPRIGHT", 690, 19), ("BOTTOMLEFT", 19, 1085), ("BOTTOMRIGHT", 650, 1085),
         ("MIDDLE", 379, 561)]


def print_form(s, queue, command):
    s.menu("ﾌｧｲﾙ(F)", command)
    dialog = s.dialog()
    printer_box = s.find(role="combo box", within=dialog)
    if queue.name not in s.text(printer_box) and queue.name not in printer_box.name:
        raise RoadFailed(f"the print dialog does not offer the queue {queue.name}: {s.text(printer_box)!r}")
    s.key("Return")
    s.no_dialog()
    return queue.wait_job_pdf()


def placed(words, text):
    hits = [w for w in words if w[3] == text]
    if len(hits) != 1:
        raise RoadFailed(f"{text!r} printed {len(hits)} times; the page holds {[w[3] for w in words]}")
    return hits[0]


@road
def print_a_form_on_a_printer():
    with Session("print-a-form-on-a-printer", env={"VENDARO_TODAY": "2026-12-11"}) as s, PrinterQueue() as queue:
        for name in ("一郎", "二郎", "三郎"):
            s.cli("add", f"氏名={name}")
        s.start(env=queue.env)
        s.wait_main_window()
        s.quit_program(answer=None)
        add_layout(s, "EDGES", [("@" + text, x, y, 10) for text, x, y in EDGES])
        add_layout(s, "ALL", [("氏名", 100, 100, 12)], continuous=True)
        write_list(s, ["EDGES", "ALL"])

        # The reference: the layout printed to a PDF file (360 dpi), every text box at its place to
        # within a dot.
        reference = s.path("reference.pdf")
        s.cli("print", "form", "--layout", "1", "--pdf", reference)
        for text, x, y in EDGES:
            _, left, top, _ = placed(pdf_words(reference), text)
            if abs(left - x * POINTS_PER_UNIT) > 0.25 or abs(top - y * POINTS_PER_UNIT) > 0.25:
                raise RoadFailed(f"{text} is at ({left:.2f}, {top:.2f}) pt in the PDF file, placed at "
                                 f"({x * POINTS_PER_UNIT:.2f}, {y * POINTS_PER_UNIT:.2f}) pt")

        # No adjustment set is stored: the queue's own resolution and printable area give it.
        s.start(env=queue.env)
        s.wait_main_window()
        printed = print_form(s, queue, "EDGES印刷")
        derived = pdf_words(printed)
        truth, paper = Ink(reference, s.work), Ink(printed, s.work)
        for text, x, y in EDGES:
            mm_x, mm_y = x / 96 * 25.4, y / 96 * 25.4
            window = (mm_x - 3, mm_y - 3, mm_x + 40, mm_y + 8)
            want, got = truth.corner(*window), paper.corner(*window)
            if want is None or got is None:
                raise RoadFailed(f"no ink of {text} near ({mm_x:.1f}, {mm_y:.1f}) mm")
            if abs(got[0] - want[0]) > 0.5 or abs(got[1] - want[1]) > 0.5:
                raise RoadFailed(f"{text} printed with its ink at ({got[0]:.2f}, {got[1]:.2f}) mm from the paper's "
                                 f"edges, placed with it at ({want[0]:.2f}, {want[1]:.2f}) mm")

        # A continuous layout: one sheet per estimate in view, each with its name.
        every = pdf_words(print_form(s, queue, "ALL印刷"))
        pages = {page: text for page, _, _, text in every}
        if sorted(pages.values()) != sorted(["一郎", "二郎", "三郎"]) or len(pages) != 3:
            raise RoadFailed(f"the continuous run printed {pages}")

        # OK in the print function settings stores the set they show, derived for this queue.
        s.menu("編集", "印刷設定")
        chooser = s.dialog("印刷名")
        s.click(s.find(role="push button", name="OK", within=chooser))
        editor = s.dialog("印刷設定")
        s.click(s.find(role="push button", name="印刷機能修正", within=editor))
        tool = s.dialog("印刷機能修正")
        s.click(s.find(role="push button", name="OK(&Y)", within=tool))
        s.no_dialog("印刷機能修正")
        s.click(s.find(role="push button", name="ｷｬﾝｾﾙ", within=editor))
        s.no_dialog("印刷設定")
        s.quit_program(answer=None)
        a, b, v, h = (int(n) for n in s.read_setting("ToolEdit.INI")[:4])
        if (a, b) != (25, 2):
            raise RoadFailed(f"the set derived for a 1200-dpi queue has the scale {a}/{b}, not 25/2")

        # That set stored with its offsets changed: 3 mm down, 2 mm right.
        s.write_setting("ToolEdit.INI", [str(a), str(b), str(v + 3), str(h + 2)])
        s.start(env=queue.env)
        s.wait_main_window()
        moved = pdf_words(print_form(s, queue, "EDGES印刷"))
        def offset_dots(mm):  # as the print run turns an offset into device dots, toward zero
            return int(int(mm * 379 / 100) * 25 / 2)
        right = (offset_dots(h + 2) - offset_dots(h)) / 1200 * 72
        down = (offset_dots(v + 3) - offset_dots(v)) / 1200 * 72
        for text, _, _ in EDGES:
            _, left0, top0, _ = placed(derived, text)
            _, left1, top1, _ = placed(moved, text)
            if abs(left1 - left0 - right) > 0.05 or abs(top1 - top0 - down) > 0.05:
                raise RoadFailed(f"{text} moved by ({left1 - left0:.2f}, {top1 - top0:.2f}) pt, "
                                 f"the offsets move it by ({right:.2f}, {down:.2f}) pt")
        s.quit_program(answer=None)


if __name__ == "__main__":
    print_a_form_on_a_printer()
