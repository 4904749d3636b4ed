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
