// The repository item classes of the editor kinds built so far: each owns properties of its
// kind.
#pragma once

#include "editors/cxMaskEdit.h"
#include "editors/cxTextEdit.h"

class TcxEditRepositoryTextItem : public TcxEditRepositoryItem {
  KORVAN_CLASS(TcxEditRepositoryTextItem, TcxEditRepositoryItem)

 public:
  explicit TcxEditRepositoryTextItem(TComponent* owner)
      : TcxEditRepositoryItem(owner, TcxTextEditProperties::StaticClass()) {}
  TcxTextEditProperties* Properties() const {
    return static_cast<TcxTextEditProperties*>(TcxEditRepositoryItem::Properties());
  }
  void SetProperties(TcxTextEditProperties* value) { TcxEditRepositoryItem::SetProperties(value); }
};

class TcxEditRepositoryMaskItem : public TcxEditRepositoryItem {
  KORVAN_CLASS(TcxEditRepositoryMaskItem, TcxEditRepositoryItem)

 public:
  explicit TcxEditRepositoryMaskItem(TComponent* owner)
      : TcxEditRepositoryItem(owner, TcxMaskEditProperties::StaticClass()) {}
  TcxMaskEditProperties* Properties() const {
    return static_cast<TcxMaskEditProperties*>(TcxEditRepositoryItem::Properties());
  }
  void SetProperties(TcxMaskEditProperties* value) { TcxEditRepositoryItem::SetProperties(value); }
};

// Registers the item classes for streaming and the text and mask kinds in the properties
// registry.
void InitializeCxEditRepositoryItems();
