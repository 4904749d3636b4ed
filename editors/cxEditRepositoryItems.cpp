#include "editors/cxEditRepositoryItems.h"

#include "editors/cxEditPaintUtils.h"
#include "rtl/TypInfo.h"

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxEditRepositoryTextItem) {
  p.Object("Properties", &TcxEditRepositoryTextItem::Properties,
           &TcxEditRepositoryTextItem::SetProperties, TcxTextEditProperties::StaticClass());
}

namespace {
const TcxResourceStringRec scxSEditRepositoryTextItem = {
    "scxSEditRepositoryTextItem", "TextEdit|Represents a single line text editor"};
}

void InitializeCxEditRepositoryItems() {
  InitUnit(
      "cxEditRepositoryItems",
      [] {
        InitializeCxEdit();
        RegisterClass(TcxEditRepositoryItem::StaticClass());
        RegisterClass(TcxEditRepositoryTextItem::StaticClass());
        EditPropertiesRegistry()->AddDescribedClass(
            TcxTextEditProperties::StaticClass(),
            LoadReplaceableResString(scxSEditRepositoryTextItem));
      },
      [] { EditPropertiesRegistry()->RemoveClass(TcxTextEditProperties::StaticClass()); });
}
