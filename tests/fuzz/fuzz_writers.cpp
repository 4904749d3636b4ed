// The Excel, XML, HTML and text writers with random values: texts with control characters,
// invalid UTF-8 and huge lengths, NaN and infinities, extreme dates and currencies, merged
// cells, styles and column widths. Each file is read back by a reader of its own
// (read_exports.py beside this file: xlrd, xmllint, html5lib, a UTF-8 decode), which must
// accept it. Input: the writer, the range, then cells.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>

#include "FuzzSession.h"
#include "export/cxHtmlXmlTxtExport.h"
#include "export/cxXLSExport.h"
#include "rtl/SysUtils.h"

namespace {

// The reader process: requests on its standard input, answers on its output. Started on first
// use and again after it ended (its status is told).
struct TReader {
  FILE* To = nullptr;
  FILE* From = nullptr;
  pid_t Pid = 0;
};

TReader StartReader() {
  int in[2], out[2];
  if (pipe(in) != 0 || pipe(out) != 0) std::abort();
  pid_t pid = fork();
  if (pid == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    close(in[1]);
    close(out[0]);
    execl("/usr/bin/python3", "python3", KORVAN_FUZZ_DIR "/read_exports.py", (char*)nullptr);
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  signal(SIGPIPE, SIG_IGN);
  TReader t;
  t.To = fdopen(in[1], "w");
  t.From = fdopen(out[0], "r");
  t.Pid = pid;
  return t;
}

String Ask(TReader& r, const char* kind, Integer cols, Integer rows, bool valid, const String& path) {
  std::fprintf(r.To, "%s %d %d %d %s\n", kind, int(cols), int(rows), valid ? 1 : 0, path.c_str());
  std::fflush(r.To);
  char line[1024];
  // libFuzzer's timer interrupts the wait now and then: go on waiting.
  while (!std::fgets(line, sizeof line, r.From)) {
    if (errno != EINTR) return String();
    clearerr(r.From);
  }
  String s(line);
  while (!s.empty() && s.back() == '\n') s.pop_back();
  return s;
}

String ReadBack(const char* kind, Integer cols, Integer rows, bool valid, const String& path) {
  static TReader reader = StartReader();
  String answer = Ask(reader, kind, cols, rows, valid, path);
  if (!answer.empty()) return answer;
  int status = 0;
  fclose(reader.To);
  fclose(reader.From);
  waitpid(reader.Pid, &status, 0);
  std::fprintf(stderr, "fuzz: the reader ended (status %d); started again\n", status);
  reader = StartReader();
  answer = Ask(reader, kind, cols, rows, valid, path);
  return answer.empty() ? String("error the reader ended twice") : answer;
}

const String& Folder() {
  static String dir = [] {
    char d[] = "/tmp/korvan_fuzz_writers_XXXXXX";
    if (!mkdtemp(d)) std::abort();
    return String(d);
  }();
  return dir;
}

double DoubleOf(TFuzzInput& in) {
  static const double kSpecial[] = {std::numeric_limits<double>::quiet_NaN(),
                                    std::numeric_limits<double>::infinity(),
                                    -std::numeric_limits<double>::infinity(),
                                    std::numeric_limits<double>::max(),
                                    -std::numeric_limits<double>::max(),
                                    std::numeric_limits<double>::denorm_min(),
                                    -0.0,
                                    1e-300,
                                    2958465.99999999,
                                    -693593.5,
                                    -1e9,
                                    1e9};
  const uint8_t pick = in.Byte();
  if (pick < sizeof(kSpecial) / sizeof(kSpecial[0])) return kSpecial[pick];
  const uint64_t bits = in.Word64();
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

// A text: bytes of the input, sometimes repeated to a huge length.
// Huge texts share a budget per input, so that the readers (html5lib in pure Python) stay
// within the time limit.
size_t hugeBudget = 0;

String TextOf(TFuzzInput& in, bool& valid) {
  const uint8_t head = in.Byte();
  String s = in.Short(24);
  if ((head & 0x80) && hugeBudget > 0) {
    String huge;
    const size_t times = size_t(head & 0x7f) * 700 + 1;
    for (size_t i = 0; i < times && huge.size() < 70000; ++i) huge += s.empty() ? String("x") : s;
    s = huge;
    hugeBudget = s.size() < hugeBudget ? hugeBudget - s.size() : 0;
  }
  if (!IsValidUtf8(s)) valid = false;
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  StartFuzzSession();
  static bool registered = [] {
    InitializeCxHtmlXmlTxtExport();
    InitializeCxXLSExport();
    return true;
  }();
  (void)registered;
  TFuzzInput in(data, size);
  hugeBudget = 150000;
  struct TWriter {
    Integer Type;
    const char* Kind;
    const char* Ext;
  };
  static const TWriter writers[] = {{cxExportToExcel, "xls", ".xls"},
                                    {cxExportToXml, "xml", ".xml"},
                                    {cxExportToHtml, "html", ".html"},
                                    {cxExportToText, "txt", ".txt"}};
  const TWriter& w = writers[in.Byte() % 4];
  const Integer cols = 1 + in.Byte() % 8, rows = 1 + in.Byte() % 8;
  const String file = Folder() + "/out" + w.Ext;
  bool valid = true;
  try {
    auto p = std::dynamic_pointer_cast<IcxExportProvider>(TcxExport::Provider(w.Type, file));
    p->SetRange(cols, rows, in.Byte() & 1);
    if (w.Type == cxExportToText && (in.Byte() & 1)) {
      auto* separators = dynamic_cast<IcxExportSeparators*>(p.get());
      for (int i = 0; i < 3; ++i) separators->AddSeparator(TextOf(in, valid));
    }
    for (int steps = 0; !in.Empty() && steps < 64; ++steps) {
      const uint8_t op = in.Byte();
      const Integer c = in.Byte() % cols, r = in.Byte() % rows;
      switch (op % 12) {
        case 0: p->SetCellDataString(c, r, TextOf(in, valid)); break;
        case 1: {
          // Wide texts reach the writers decoded from UTF-8 (whole surrogate pairs).
          p->SetCellDataWideString(c, r, UTF8Decode(TextOf(in, valid)));
          break;
        }
        case 2: p->SetCellDataDouble(c, r, DoubleOf(in)); break;
        case 3: p->SetCellDataInteger(c, r, Integer(in.Word32())); break;
        case 4: p->SetCellValue(c, r, VarFromDateTime(DoubleOf(in))); break;
        case 5: p->SetCellValue(c, r, VarFromCurrency(Currency::FromRaw(Int64(in.Word64())))); break;
        case 6: p->SetCellValue(c, r, Variant(DoubleOf(in))); break;
        case 7: {
          TcxCacheCellStyle style = DefaultCellStyle();
          style.AlignText = Byte(in.Byte() % 3);
          style.FontSize = Integer(in.Byte()) - 16;
          style.FontStyle = Byte(in.Byte() & 15);
          style.FontCharset = in.Byte();
          for (TcxCellBorders& b : style.Borders) b = {Byte(in.Byte() & 1), Integer(in.Byte() % 8) - 1, Integer(in.Word32())};
          style.BrushStyle = Byte(in.Byte() & 1);
          style.FontColor = Integer(in.Word32());
          style.BrushBkColor = Integer(in.Word32());
          const String font = in.Short(40);
          if (!IsValidUtf8(font)) valid = false;
          cxSetStyleFontName(style, font);
          p->SetCellStyle(c, r, style);
          break;
        }
        case 8: p->SetCellUnion(c, r, 1 + in.Byte() % (rows - r), 1 + in.Byte() % (cols - c)); break;
        case 9: p->SetColumnWidth(c, Integer(int16_t(in.Word32()))); break;
        case 10: p->SetRowHeight(r, Integer(int16_t(in.Word32()))); break;
        default: p->SetCellValue(c, r, Variant(TextOf(in, valid))); break;
      }
    }
    p->Commit();
  } catch (const EcxExportData&) {
    return 0;  // a refused range or cell, reported as the export's error
  }
  const String answer = ReadBack(w.Kind, cols, rows, valid, file);
  if (answer != "ok") {
    std::fprintf(stderr, "fuzz: the %s file was not read back: %s\n", w.Kind, answer.c_str());
    std::abort();
  }
  return 0;
}
