// Helpers of the export tests: a fresh folder per test and whole-file reads.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "export/cxHtmlXmlTxtExport.h"
#include "tests/support/TestSupport.h"

// A new empty folder below the system's temporary folder, removed with the object.
class TTempFolder {
 public:
  TTempFolder() {
    String pattern = (std::filesystem::temp_directory_path() / "korvan_export_XXXXXX").string();
    path_ = mkdtemp(pattern.data()) ? pattern : String();
  }
  ~TTempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  // The path of a file inside the folder.
  String File(const String& name) const { return path_ + "/" + name; }
  const String& Path() const { return path_; }

 private:
  String path_;
};

// What the shell command prints (its standard output).
inline String CommandOutput(const String& command) {
  String out;
  if (std::FILE* p = popen(command.c_str(), "r")) {
    char buf[512];
    while (std::fgets(buf, sizeof(buf), p)) out += buf;
    pclose(p);
  }
  return out;
}

// Whether the command is on the search path: the checks with external tools (xmllint,
// xsltproc) skip without them.
inline bool HaveCommand(const String& name) {
  return std::system(("command -v '" + name + "' >/dev/null 2>&1").c_str()) == 0;
}

// Writes the Python script into the folder and answers what the system's Python prints running
// it on the file (standard output and errors).
inline String RunPythonScript(const TTempFolder& dir, const char* script, const String& file) {
  String path = dir.File("read.py");
  if (std::FILE* f = std::fopen(path.c_str(), "w")) {
    std::fputs(script, f);
    std::fclose(f);
  }
  return CommandOutput("/usr/bin/python3 '" + path + "' '" + file + "' 2>&1");
}

inline String ReadWholeFile(const String& path) {
  std::ifstream in(path, std::ios::binary);
  return String(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A provider of the type for the file, held as the links hold it: through its interface.
inline std::shared_ptr<IcxExportProvider> MakeProvider(Integer exportType, const String& fileName) {
  InitializeCxHtmlXmlTxtExport();
  return std::dynamic_pointer_cast<IcxExportProvider>(TcxExport::Provider(exportType, fileName));
}

// A style unlike the default one: left aligned "Arial" 10 pt.
inline TcxCacheCellStyle SampleStyle(Integer fontSize = 10) {
  TcxCacheCellStyle s = DefaultCellStyle();
  s.AlignText = catLeft;
  cxSetStyleFontName(s, "Arial");
  s.FontSize = fontSize;
  return s;
}

// The sheet the parser tests read back: a header merged over three columns (style 0), a
// Japanese text, a 2x2 merged cell holding `mergedText` and an empty cell with the header's
// style; answers the header's style index.
inline Integer FillParsedSheet(IcxExportProvider& p, const String& mergedText) {
  p.SetRange(3, 3, true);
  Integer header = p.RegisterStyle(SampleStyle(12));
  p.SetCellStyleEx(0, 0, 1, 3, header);
  p.SetCellDataString(0, 0, "Report <2026> & \"more\"");
  p.SetCellDataString(0, 1, "日本語");
  p.SetCellUnion(1, 1, 2, 2);
  p.SetCellDataString(1, 1, mergedText);
  p.SetCellStyle(0, 2, header);
  return header;
}

// The message of the EcxExportData that `action` raises ("" when it raises none).
template <class F>
String ExportErrorOf(F&& action) {
  try {
    action();
  } catch (const EcxExportData& e) {
    return e.Message();
  }
  return {};
}

// The rows of the page's first table as html5lib reads them, one line per row with a text:
// each cell's text, "/n" for a span of n columns, "[src]" for a picture.
inline String ReadHtmlTableRows(const TTempFolder& dir, const String& page) {
  return RunPythonScript(dir,
                         "import sys, html5lib\n"
                         "with open(sys.argv[1], 'rb') as f:\n"
                         "    doc = html5lib.parse(f, treebuilder='etree', namespaceHTMLElements=False)\n"
                         "table = doc.find('.//table')\n"
                         "for tr in table.iter('tr'):\n"
                         "    cells = []\n"
                         "    for td in tr.findall('td'):\n"
                         "        text = ''.join(td.itertext()).replace('\\xa0', '').strip()\n"
                         "        img = td.find('.//img')\n"
                         "        if img is not None: text += '[' + img.get('src') + ']'\n"
                         "        if text:\n"
                         "            span = td.get('colspan', '1')\n"
                         "            cells.append(text + ('' if span == '1' else '/' + span))\n"
                         "    if cells: print(' '.join(cells))\n",
                         page);
}
