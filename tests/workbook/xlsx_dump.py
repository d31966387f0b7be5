#!/usr/bin/python3
"""Reads an .xlsx file with openpyxl and prints what the tests compare, as JSON.

  xlsx_dump.py BOOK.xlsx          cells with font, borders and fill, widths, heights, switches
  xlsx_dump.py --texts BOOK.xlsx  only the cell texts, read row by row (for big sheets)

Columns and rows are counted from 0, as xls_dump.py counts them. Every warning openpyxl gives
while reading is returned in "warnings".
"""
import json
import sys
import warnings

import openpyxl


def rgb(colour):
    if colour is None or colour.type != "rgb" or colour.rgb in (None, "00000000"):
        return None
    value = colour.rgb[-6:]
    return [int(value[i:i + 2], 16) for i in (0, 2, 4)]


def cell_info(cell):
    font, border, fill = cell.font, cell.border, cell.fill
    edges = [border.left, border.right, border.top, border.bottom]
    return {
        "text": cell.value,
        "font": font.name,
        "size": font.sz,
        "bold": bool(font.b),
        "italic": bool(font.i),
        "underline": font.u,
        "colour": rgb(font.color),
        "borders": [e.style for e in edges],
        "borderColours": [rgb(e.color) for e in edges],
        "fill": fill.patternType,
        "fillColour": rgb(fill.fgColor),
        "fillBackground": rgb(fill.bgColor),
    }


def dump_book(stream):
    book = openpyxl.load_workbook(stream)
    sheet = book.worksheets[0]
    out = {"sheets": len(book.worksheets), "title": sheet.title,
           "nrows": sheet.max_row, "ncols": sheet.max_column}
    out["cells"] = [[cell_info(c) for c in row] for row in sheet.iter_rows()]
    columns = {}
    for dim in sheet.column_dimensions.values():
        for c in range(dim.min - 1, dim.max):
            columns[str(c)] = {"width": dim.width, "hidden": bool(dim.hidden)}
    out["columns"] = columns
    out["rows"] = {str(r - 1): {"height": d.ht, "hidden": bool(d.hidden)}
                   for r, d in sheet.row_dimensions.items() if d.ht is not None or d.hidden}
    out["defaultRowHeight"] = sheet.sheet_format.defaultRowHeight
    # An attribute left out means shown, as the format defines it.
    out["gridLines"] = sheet.sheet_view.showGridLines is not False
    out["headings"] = sheet.sheet_view.showRowColHeaders is not False
    return out


def dump_texts(stream):
    book = openpyxl.load_workbook(stream, read_only=True)
    sheet = book.worksheets[0]
    sheet.reset_dimensions()  # count what the rows hold, not what the file claims
    texts = [["" if v is None else v for v in row] for row in sheet.iter_rows(values_only=True)]
    return {"nrows": len(texts), "texts": texts}


def main():
    args = sys.argv[1:]
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        # Opened here, so a name with any extension is read and the file is closed.
        with open(args[-1], "rb") as stream:
            result = dump_texts(stream) if args[0] == "--texts" else dump_book(stream)
    result["warnings"] = "".join(str(w.message) for w in caught)
    json.dump(result, sys.stdout)


if __name__ == "__main__":
    main()
