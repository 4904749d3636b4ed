#include "editors/cxEditRepositoryItems.h"

#include "editors/cxEditPaintUtils.h"
#include "rtl/TypInfo.h"

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxEditRepositoryTextItem) {
  p.Object("Properties", &TcxEditRepositoryTextItem::Properties,
           &TcxEditRepositoryTextItem::SetProperties, TcxTextEditProperties::StaticClass());
}

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxEditRepositoryMaskItem) {
  p.Object("Properties", &TcxEditRepositoryMaskItem::Properties,
           &TcxEditRepositoryMaskItem::SetProperties, TcxMaskEditProperties::StaticClass());
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
        RegisterClass(TcxEditRepositoryMaskItem::StaticClass());
        InitializeCxMaskEdit();
        EditPropertiesRegistry()->AddDescribedClass(
            TcxTextEditProperties::StaticClass(),
            LoadReplaceableResString(scxSEditRepositoryTextItem));
      },
      [] { EditPropertiesRegistry()->RemoveClass(TcxTextEditProperties::StaticClass()); });
}
