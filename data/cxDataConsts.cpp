#include "data/cxDataConsts.h"

#define CX_RES(Name, Text) const TcxResourceStringRec Name{#Name, Text}

CX_RES(cxSDataReadError, "Stream read error");
CX_RES(cxSDataWriteError, "Stream write error");
CX_RES(cxSDataRecordIndexError, "RecordIndex out of range");
CX_RES(cxSDataItemIndexError, "ItemIndex out of range");
CX_RES(cxSDataRowIndexError, "RowIndex out of range");
CX_RES(cxSDataProviderModeError, "This operation is not supported in provider mode");
CX_RES(cxSDataInvalidStreamFormat, "Invalid stream format");
CX_RES(cxSDataCustomDataSourceInvalidCompare, "GetInfoForCompare not implemented");
CX_RES(cxSDataDetailFilterControllerNotFound, "DetailFilterController not found");
CX_RES(cxSDataNotInGridMode, "DataController not in GridMode");
CX_RES(cxSDataKeyFieldNotFound, "Key Field not found");
CX_RES(cxSDataItemExistError, "Item already exists");
CX_RES(cxSFilterStringAll, "(All)");
CX_RES(cxSFilterStringCustom, "(Custom...)");
CX_RES(cxSFilterStringBlanks, "(Blanks)");
CX_RES(cxSFilterStringNonBlanks, "(NonBlanks)");

String cxGetDataResourceString(const TcxResourceStringRec& rec) { return LoadReplaceableResString(rec); }
