#!/usr/bin/python3
"""Writes productlist/tests/data/product_list.xlsx, the workbook the product list tests read,
and sale_week.xlsx, a register's sale export whose days are date cells as openpyxl writes them.

Made with Debian's python3-openpyxl, then touched up in the zip where openpyxl 3.0 writes
differently from spreadsheets: texts as shared strings (one kept inline, one rich text with a
phonetic guide), a price stored as 398.0, and a first sheet whose part is not sheet1.xml (the
reader must follow the workbook's relationships to find it).

    /usr/bin/python3 tools/make_product_xlsx.py   # Debian's python, where openpyxl is
"""
import datetime
import io
import pathlib
import re
import zipfile

import openpyxl

OUT = pathlib.Path(__file__).resolve().parent.parent / "productlist/tests/data/product_list.xlsx"
FIXED_TIME = datetime.datetime(2024, 4, 1, 9, 0, 0)


def workbook_bytes():
    wb = openpyxl.Workbook()
    wb.properties.creator = "zukaro tests"
    wb.properties.created = FIXED_TIME
    wb.properties.modified = FIXED_TIME
    ws = wb.active
    ws.title = "商品一覧"
    ws.append(["ＪＡＮコード", "メーカー名", "商品名", "規格", "ロット", "売価", "枚数", "税率"])
    # A JAN typed as a number, a price that is a float (written 398.0), copies as a number.
    ws.append([4901234567894, "カトー製菓", "RICH-TEXT", "60g", "L-0123", 398.0, 2, "8%"])
    # The spec cell left out, the lot kept an inline string, a boolean in column I.
    ws.append(["49012348", "髙橋食品①", "のり塩", None, "B-77", 128, None, 10, True])
    # Row 4 stays empty; row 5 has a price with binary noise and an out-of-range copies cell.
    ws.cell(row=5, column=1, value="4512345678906")
    ws.cell(row=5, column=3, value="おまけ")
    ws.cell(row=5, column=6, value=0.1 + 0.2)
    ws.cell(row=5, column=7, value=1000)
    # A second sheet that must not be read.
    other = wb.create_sheet("メモ")
    other.append(["この", "シートは", "読まない"])
    buffer = io.BytesIO()
    wb.save(buffer)
    return buffer.getvalue()


MAIN_NS = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
REL_NS = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
RICH = ('<si><r><t>ポテトチップス</t></r><r><rPr><b/></rPr>'
        '<t xml:space="preserve">　うすしお味</t></r>'
        '<rPh sb="0" eb="7"><t>ポテトチップス</t></rPh><phoneticPr fontId="1"/></si>')


def replace_once(text, old, new):
    assert text.count(old) == 1, old
    return text.replace(old, new)


def move_to_shared_strings(sheet, keep_inline):
    """openpyxl 3.0 writes every text inline; spreadsheets share them. Returns the sheet and
    the sharedStrings part."""
    items = []

    def shared(match):
        ref, text = match.group(1), match.group(2)
        if ref in keep_inline:
            return match.group(0)
        items.append(RICH if text == "RICH-TEXT" else f"<si><t>{text}</t></si>")
        return f'<c r="{ref}" t="s"><v>{len(items) - 1}</v></c>'

    sheet = re.sub(r'<c r="([A-Z]+[0-9]+)" t="inlineStr"><is><t>(.*?)</t></is></c>', shared,
                   sheet)
    sst = (f'<sst xmlns="{MAIN_NS}" count="{len(items)}" uniqueCount="{len(items)}">'
           + "".join(items) + "</sst>")
    return sheet, sst


def touch_up(parts):
    sheet, sst = move_to_shared_strings(parts["xl/worksheets/sheet1.xml"].decode(), {"E3"})
    # Floats as other writers store them; openpyxl writes 398 and 0.3.
    sheet = replace_once(sheet, "<v>398</v>", "<v>398.0</v>")
    sheet = replace_once(sheet, "<v>0.3</v>", "<v>0.30000000000000004</v>")
    parts["xl/worksheets/sheet1.xml"] = sheet.encode()
    parts["xl/sharedStrings.xml"] = sst.encode()
    types = parts["[Content_Types].xml"].decode()
    parts["[Content_Types].xml"] = replace_once(
        types, "</Types>",
        '<Override PartName="/xl/sharedStrings.xml" ContentType="application/'
        'vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/></Types>').encode()

    # Swap the two sheets' parts and their relationship targets: the first sheet of the
    # workbook now lives in sheet2.xml, with relative targets as spreadsheets write them.
    first, second = parts["xl/worksheets/sheet1.xml"], parts["xl/worksheets/sheet2.xml"]
    parts["xl/worksheets/sheet1.xml"], parts["xl/worksheets/sheet2.xml"] = second, first
    rels = parts["xl/_rels/workbook.xml.rels"].decode()
    rels = replace_once(rels, 'Target="/xl/worksheets/sheet1.xml"', 'Target="@FIRST@"')
    rels = replace_once(rels, 'Target="/xl/worksheets/sheet2.xml"', 'Target="worksheets/sheet1.xml"')
    rels = replace_once(rels, 'Target="@FIRST@"', 'Target="worksheets/sheet2.xml"')
    rels = replace_once(
        rels, "</Relationships>",
        f'<Relationship Type="{REL_NS}/sharedStrings" Target="sharedStrings.xml" Id="rId99"/>'
        "</Relationships>")
    parts["xl/_rels/workbook.xml.rels"] = rels.encode()


SALE_OUT = OUT.parent / "sale_week.xlsx"


def sale_week_bytes():
    """A register's export of next week's sale: days as date cells (a day number styled as a
    date; one with a time of day) and as texts, a 軽減税率対象 of ○/1/×."""
    wb = openpyxl.Workbook()
    wb.properties.creator = "zukaro tests"
    wb.properties.created = FIXED_TIME
    wb.properties.modified = FIXED_TIME
    ws = wb.active
    ws.title = "特売"
    ws.append(["商品コード", "JANコード", "商品名", "規格", "売価", "特売価格", "特売開始日",
               "特売終了日", "軽減税率対象"])
    ws.append([101, 4901234567894, "ポテトチップス うすしお味", "60g", 158, 128,
               datetime.date(2026, 12, 14), datetime.datetime(2026, 12, 20, 23, 59), "○"])
    ws.append([102, "49012348", "焼のり", "10枚", 298, 248, "2026/12/14", "12/20", 1])
    ws.append([103, 4512345678906, "衣料用洗剤", "900g", 498, None, None, None, "×"])
    ws.append([104, 4569999000010, "緑茶", "2L", 198, 178, datetime.date(2026, 12, 21),
               datetime.date(2026, 12, 14), 1])
    buffer = io.BytesIO()
    wb.save(buffer)
    return buffer.getvalue()


def main():
    with zipfile.ZipFile(io.BytesIO(workbook_bytes())) as source:
        names = source.namelist()
        parts = {name: source.read(name) for name in names}
    touch_up(parts)
    with zipfile.ZipFile(OUT, "w", zipfile.ZIP_DEFLATED) as target:
        for name in names + [n for n in parts if n not in names]:
            info = zipfile.ZipInfo(name, date_time=FIXED_TIME.timetuple()[:6])
            info.compress_type = zipfile.ZIP_DEFLATED
            target.writestr(info, parts[name])
    # The result must still be a workbook that a spreadsheet program reads.
    check = openpyxl.load_workbook(OUT)
    assert check.sheetnames == ["商品一覧", "メモ"]
    assert check["商品一覧"]["C2"].value == "ポテトチップス　うすしお味", check["商品一覧"]["C2"].value
    assert check["商品一覧"]["E3"].value == "B-77"
    print(OUT)
    with zipfile.ZipFile(io.BytesIO(sale_week_bytes())) as source:
        parts = [(name, source.read(name)) for name in source.namelist()]
    with zipfile.ZipFile(SALE_OUT, "w", zipfile.ZIP_DEFLATED) as target:
        for name, data in parts:
            info = zipfile.ZipInfo(name, date_time=FIXED_TIME.timetuple()[:6])
            info.compress_type = zipfile.ZIP_DEFLATED
            target.writestr(info, data)
    check = openpyxl.load_workbook(SALE_OUT)
    assert check["特売"]["G2"].value == datetime.datetime(2026, 12, 14), check["特売"]["G2"].value
    assert check["特売"]["G2"].is_date
    print(SALE_OUT)


if __name__ == "__main__":
    main()
