#!/usr/bin/python3
"""Reads an .xls file with xlrd and prints what the tests compare, as JSON.

  xls_dump.py BOOK.xls          cells with their font, borders and fill, widths, heights
  xls_dump.py --texts BOOK.xls  only the cell texts (fast enough for big sheets)
  xls_dump.py --stream FILE     length and MD5 of the "Workbook" stream of a compound file

Every warning xlrd logs while reading is returned in "warnings", so a test can insist on a
file that an independent reader takes without complaint.
"""
import hashlib
import io
import json
import sys

import xlrd
from xlrd import compdoc


def rgb(book, index):
    colour = book.colour_map.get(index)
    return list(colour) if colour else None


def cell_info(book, sheet, r, c):
    cell = sheet.cell(r, c)
    xf = book.xf_list[cell.xf_index]
    font = book.font_list[xf.font_index]
    border = xf.border
    fill = xf.background
    return {
        "text": cell.value if cell.ctype == xlrd.XL_CELL_TEXT else None,
        "blank": cell.ctype == xlrd.XL_CELL_BLANK,
        "font": font.name,
        "height": font.height,
        "bold": bool(font.bold),
        "italic": bool(font.italic),
        "underline": font.underline_type,
        "colour": rgb(book, font.colour_index),
        "borders": [border.left_line_style, border.right_line_style,
                    border.top_line_style, border.bottom_line_style],
        "borderColours": [rgb(book, border.left_colour_index), rgb(book, border.right_colour_index),
                          rgb(book, border.top_colour_index), rgb(book, border.bottom_colour_index)],
        "fill": fill.fill_pattern,
        "fillColour": rgb(book, fill.pattern_colour_index),
    }


def dump_book(path, texts_only):
    log = io.StringIO()
    book = xlrd.open_workbook(path, logfile=log, formatting_info=not texts_only)
    sheet = book.sheet_by_index(0)
    out = {"nrows": sheet.nrows, "ncols": sheet.ncols, "sheets": book.nsheets}
    if texts_only:
        out["texts"] = [[sheet.cell_value(r, c) for c in range(sheet.ncols)]
                        for r in range(sheet.nrows)]
    else:
        out["cells"] = [[cell_info(book, sheet, r, c) for c in range(sheet.ncols)]
                        for r in range(sheet.nrows)]
        out["columns"] = {str(c): {"width": i.width, "hidden": i.hidden}
                          for c, i in sheet.colinfo_map.items()}
        out["rows"] = {str(r): {"height": i.height, "hidden": i.hidden}
                       for r, i in sheet.rowinfo_map.items()}
        out["gridLines"] = bool(sheet.show_grid_lines)
        out["headings"] = bool(sheet.show_sheet_headers)
    out["warnings"] = log.getvalue()
    return out


def dump_stream(path):
    log = io.StringIO()
    with open(path, "rb") as f:
        doc = compdoc.CompDoc(f.read(), logfile=log)
    data = bytes(doc.get_named_stream("Workbook"))
    return {"size": len(data), "md5": hashlib.md5(data).hexdigest(), "warnings": log.getvalue()}


def main():
    args = sys.argv[1:]
    if args[0] == "--stream":
        result = dump_stream(args[1])
    elif args[0] == "--texts":
        result = dump_book(args[1], True)
    else:
        result = dump_book(args[0], False)
    json.dump(result, sys.stdout)


if __name__ == "__main__":
    main()
