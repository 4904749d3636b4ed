// The streams of the data layer on arbitrary bytes: the variant stream, filter criteria (whose
// texts must never raise once read) and the data controller's "DataController1" stream. The
// first byte picks the reader.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "data/cxCustomData.h"
#include "data/cxFilter.h"
#include "data/cxVariants.h"
#include "rtl/SysUtils.h"

namespace {

class TField : public TObject {
 public:
  explicit TField(Integer id) : ID(id) {}
  Integer ID;
};

class TItem : public TcxFilterCriteriaItem {
 public:
  using TcxFilterCriteriaItem::TcxFilterCriteriaItem;
  void GetDataValue(Pointer, Variant& v) override { v = Null(); }
  void GetFieldCaption(String& s) override { s = "Caption"; }
  void GetFieldName(String& s) override { s = "Name"; }
};

class TCriteria : public TcxFilterCriteria {
 public:
  TcxFilterCriteriaItemClass GetItemClass() override { return &CreateFilterCriteriaItem<TItem>; }
  TCriteria() : fields_{TField(1), TField(2), TField(3)} {}
  Integer GetIDByItemLink(TObject* link) override { return static_cast<TField*>(link)->ID; }
  void GetNameByItemLink(TObject* link, String& s) override { s = "F" + IntToStr(static_cast<TField*>(link)->ID); }
  TObject* GetItemLinkByID(Integer id) override {
    for (auto& f : fields_)
      if (f.ID == id) return &f;
    return nullptr;
  }
  TObject* GetItemLinkByName(const String& name) override {
    for (auto& f : fields_)
      if ("F" + IntToStr(f.ID) == name) return &f;
    return nullptr;
  }

 private:
  TField fields_[3];
};

TMemoryStream* StreamOf(const uint8_t* data, size_t size) {
  auto* m = new TMemoryStream;
  if (size > 0) m->WriteBuffer(data, Int64(size));
  m->SetPosition(0);
  return m;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  std::unique_ptr<TMemoryStream> s(StreamOf(data + 1, size - 1));
  switch (data[0] % 3) {
    case 0: {
      Variant v;
      try {
        ReadVariantFromStream(*s, v);
      } catch (const EReadError&) {
      }
      break;
    }
    case 1: {
      TCriteria c;
      bool read = true;
      try {
        c.ReadData(*s);
      } catch (const EReadError&) {
        read = false;
      }
      if (read) {
        String text;
        c.FilterText(text);
        c.FilterCaption(text);
      }
      break;
    }
    default: {
      static TObject items[3];
      TcxDataController c(nullptr);
      const TcxValueTypeClass types[] = {TcxStringValueType::Class(), TcxIntegerValueType::Class(),
                                         TcxVariantValueType::Class()};
      for (int i = 0; i < 3; ++i) {
        c.AddItem(&items[i]);
        c.ChangeValueTypeClass(i, types[i]);
      }
      try {
        c.ReadDataFromStream(*s);
      } catch (const EcxInvalidDataControllerOperation&) {
      }
      break;
    }
  }
  return 0;
}
