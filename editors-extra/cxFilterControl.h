// The link through which the filter control reads the filterable items of a component (a grid
// view) and the criteria it edits. The control itself comes later.
#pragma once

#include "data/cxDataStorage.h"
#include "data/cxFilter.h"

class TcxCustomEditProperties;

class IcxFilterControl {
 public:
  virtual ~IcxFilterControl() = default;
  virtual String GetCaption(Integer index) = 0;
  virtual Integer GetCount() = 0;
  virtual TcxFilterCriteria* GetCriteria() = 0;
  virtual TObject* GetItemLink(Integer index) = 0;
  // The stable name written into filter streams.
  virtual String GetItemLinkName(Integer index) = 0;
  virtual String GetFieldName(Integer index) = 0;
  virtual TcxCustomEditProperties* GetProperties(Integer index) = 0;
  virtual TcxValueTypeClass GetValueType(Integer index) = 0;
};
