// The CSV reader on arbitrary bytes: a clear error or consistent columns. The first byte picks
// a record limit (none for most inputs).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "db/CsvReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  TCsvOptions options;
  options.MaxRecords = data[0] < 32 ? int64_t(data[0] % 8) : -1;
  options.Locale.CurrentYear = 2026;
  std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  try {
    TCsvTable t = ReadCsvBytes(bytes, options, "fuzz.csv");
    if (t.Columns.size() != t.Names.size()) std::abort();
    for (const TMemColumn& c : t.Columns) {
      if (c.Count() != t.RecordCount) std::abort();
      for (std::size_t r = 0; r < c.Count(); ++r)
        if (!c.IsNull(r) && c.Kind() == TMemColumnKind::Text) (void)c.Text(r);
    }
  } catch (const ECsvError&) {
  }
  return 0;
}
