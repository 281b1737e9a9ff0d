"""A dealer recalls a customer and the car from the vehicle register into a new estimate while
the register program has its table open, and gets the postal code of the customer's address. The
register keeps a column of its own and its fields in its own order."""

import os
import select
import shutil
import sqlite3
import subprocess
import sys

from harness import ROOT, Session, road, wait_until, RoadFailed

# The register program: it holds INDATA.db open in a read transaction, and on each line it reads
# ("write", "lock") writes a row or locks the table whole, answering "ok" or the error.
OWNER = r"""
import sqlite3, sys
db = sqlite3.connect(sys.argv[1], timeout=2, isolation_level=None)
db.execute("BEGIN")
db.execute("SELECT count(*) FROM records").fetchone()
print("open", flush=True)
for line in sys.stdin:
    try:
        if line.strip() == "write":
            db.execute("COMMIT")
            db.execute("INSERT INTO records (使用者, 自動車登録番号) VALUES (?, ?)", ("鈴木".encode("cp932"), b"x"))
            db.execute("BEGIN")
            db.execute("SELECT count(*) FROM records").fetchone()
        elif line.strip() == "lock":
            db.execute("COMMIT")
            db.execute("BEGIN EXCLUSIVE")
            db.execute("COMMIT")
        print("ok", flush=True)
    except Exception as e:
        print(f"error {e}", flush=True)
"""


def make_register(path):
    db = sqlite3.connect(path)
    db.execute("CREATE TABLE records (番号 INTEGER PRIMARY KEY, 入庫回数 INTEGER, 使用者 TEXT, 使用者ふりがな TEXT, "
               "車名 TEXT, 型式 TEXT, 車台番号 TEXT, 自動車登録番号 TEXT, 使用者住所 TEXT, 電話番号 TEXT, "
               "初度登録年月 TEXT, 自賠責期間至 TEXT, 有効期間の満了する日 TEXT, 備考 TEXT)")
    row = {"入庫回数": 3, "使用者": "佐藤一郎", "使用者ふりがな": "さとう", "車名": "カローラ", "型式": "E-AE100",
           "車台番号": "AE100-1", "自動車登録番号": "品川500あ1111", "使用者住所": "東京都港区芝３丁目５－１",
           "電話番号": "03-1111-1111", "初度登録年月": "平成１０年４月", "自賠責期間至": "令和０８年０４月０１日",
           "有効期間の満了する日": "令和０８年０５月０１日", "備考": "常連"}
    values = [v.encode("cp932") if isinstance(v, str) else v for v in row.values()]
    db.execute(f"INSERT INTO records ({', '.join(row)}) VALUES ({', '.join('?' * len(row))})", values)
    db.commit()
    db.close()


@road
def recall_a_customer_from_the_vehicle_register():
    with Session("recall-from-the-register", env={"VENDARO_TODAY": "2026-12-11"}) as s:
        shutil.copy(os.path.join(ROOT, "tests", "fixtures", "13TOKYO.CSV"), s.path("KEN_ALL.CSV"))
        open(s.path("Tesmora.exe"), "wb").close()
        os.makedirs(s.path("CARDATA"), exist_ok=True)
        register = s.path("CARDATA", "INDATA.db")
        make_register(register)
        owner = subprocess.Popen([sys.executable, "-c", OWNER, register], stdin=subprocess.PIPE,
                                 stdout=subprocess.PIPE, text=True)

        def reply():
            ready = wait_until("the register program's answer",
                               lambda: select.select([owner.stdout], [], [], 0.1)[0], timeout=20)
            return ready[0].readline().strip()

        def tell(command):
            owner.stdin.write(command + "\n")
            owner.stdin.flush()
            return reply()

        try:
            if reply() != "open":
                raise RoadFailed("the register program could not open its table")
            s.start()
            s.wait_main_window()
            s.resize_main(1500, 1150)
            s.click(s.find(role="push button", name="レコードの挿入"))

            s.click(s.field("氏名"), double=True)
            recall = s.dialog("車検管理表からの呼び出し")
            s.screenshot("recall")
            answer = tell("write")
            if answer != "ok":
                raise RoadFailed(f"the register program could not write while the dialog was open: {answer}")
            s.click(s.find(role="push button", name="OK", within=recall))
            s.no_dialog("車検管理表からの呼び出し")
            s.wait_text(s.field("氏名"), "佐藤一郎")
            s.wait_text(s.field("郵便番号"), "1050014")
            answer = tell("lock")
            if answer != "ok":
                raise RoadFailed(f"the register is still held after its dialog closed: {answer}")
            s.click(s.find(role="push button", name="レコードの登録"))
            s.wait_text(s.find(description="件数"), "1")
            if s.quit_program(answer=None) != 0:
                raise RoadFailed("the program ended with an error status")
        finally:
            owner.stdin.close()
            try:
                owner.wait(timeout=10)
            except subprocess.TimeoutExpired:
                owner.kill()
                owner.wait()

        rows = s.dump()
        expect = {"氏名": "佐藤一郎", "ふりがな": "さとう", "住所": "東京都港区芝３丁目５－１", "郵便番号": "1050014",
                  "電話番号": "03-1111-1111", "下取車1": "カローラ", "下取車2": "品川500あ1111", "下取車3": "AE100-1",
                  "下取車4": "E-AE100", "下取車5": "平成１０年４月", "下取車6": "令和０８年０４月０１日"}
        if len(rows) != 1:
            raise RoadFailed(f"expected one estimate stored, found {len(rows)}")
        for field, value in expect.items():
            if rows[0][field] != value:
                raise RoadFailed(f"{field} stored as {rows[0][field]!r}, expected {value!r}")


if __name__ == "__main__":
    recall_a_customer_from_the_vehicle_register()
