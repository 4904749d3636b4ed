#!/usr/bin/env python3
# Reads back the files of fuzz_writers with readers of their own: xlrd for the Excel workbook,
# xmllint for the XML packet and its stylesheet, html5lib for the HTML page, a UTF-8 decode
# for the text file. One request per line on standard input:
#   <kind> <cols> <rows> <valid-utf8 0|1> <path>
# answered by one line, "ok" or "error <what>".
import io
import subprocess
import sys
import traceback

import html5lib
import xlrd


def read_xls(path, cols, rows, valid):
    log = io.StringIO()
    book = xlrd.open_workbook(path, logfile=log)
    # The writer ends the file with the last record byte, inside the last sector, as intended.
    warnings = [w for w in log.getvalue().splitlines() if w and "not 512 + multiple of sector size" not in w]
    if warnings:
        return "xlrd: " + " ".join(warnings)[:300]
    sheet = book.sheet_by_index(0)
    if sheet.nrows > rows or sheet.ncols > cols:
        return "a sheet of %dx%d for a range of %dx%d" % (sheet.ncols, sheet.nrows, cols, rows)
    for r in range(sheet.nrows):
        for c in range(sheet.ncols):
            sheet.cell_value(r, c)
    return None


def read_xml(path, cols, rows, valid):
    for f in (path, path[:-4] + ".xsl"):
        p = subprocess.run(["xmllint", "--noout", f], capture_output=True)
        if p.returncode != 0:
            return "xmllint: " + p.stderr.decode("utf-8", "replace")[:300].replace("\n", " ")
    return None


def read_html(path, cols, rows, valid):
    with open(path, "rb") as f:
        data = f.read()
    if valid:
        try:
            data.decode("utf-8")
        except UnicodeDecodeError as e:
            return "not UTF-8: %s" % e
    doc = html5lib.parse(data, treebuilder="etree", namespaceHTMLElements=False)
    table = doc.find(".//table")
    if table is None:
        return "no table"
    trs = list(table.iter("tr"))
    if len(trs) != rows + 1:
        return "%d table rows for %d rows (and the sizing row)" % (len(trs), rows)
    return None


def read_text(path, cols, rows, valid):
    with open(path, "rb") as f:
        data = f.read()
    if valid:
        try:
            data.decode("utf-8")
        except UnicodeDecodeError as e:
            return "not UTF-8: %s" % e
    return None


READERS = {"xls": read_xls, "xml": read_xml, "html": read_html, "txt": read_text}

for line in sys.stdin:
    kind, cols, rows, valid, path = line.rstrip("\n").split(" ", 4)
    try:
        what = READERS[kind](path, int(cols), int(rows), valid == "1")
    except Exception as e:  # the reader refused the file
        what = "%s: %s" % (type(e).__name__, str(e)[:300].replace("\n", " "))
    print("ok" if what is None else "error " + what, flush=True)
