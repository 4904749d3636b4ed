// Texts of the data controller: its failure messages and the special entries of filter value
// lists, fetched through the replaceable resource-text access.
#pragma once

#include "foundation/cxClasses.h"

extern const TcxResourceStringRec cxSDataReadError;
extern const TcxResourceStringRec cxSDataWriteError;
extern const TcxResourceStringRec cxSDataRecordIndexError;
extern const TcxResourceStringRec cxSDataItemIndexError;
extern const TcxResourceStringRec cxSDataRowIndexError;
extern const TcxResourceStringRec cxSDataProviderModeError;
extern const TcxResourceStringRec cxSDataInvalidStreamFormat;
extern const TcxResourceStringRec cxSDataCustomDataSourceInvalidCompare;
extern const TcxResourceStringRec cxSDataDetailFilterControllerNotFound;
extern const TcxResourceStringRec cxSDataNotInGridMode;
extern const TcxResourceStringRec cxSDataKeyFieldNotFound;
extern const TcxResourceStringRec cxSDataItemExistError;
extern const TcxResourceStringRec cxSFilterStringAll;
extern const TcxResourceStringRec cxSFilterStringCustom;
extern const TcxResourceStringRec cxSFilterStringBlanks;
extern const TcxResourceStringRec cxSFilterStringNonBlanks;

// The loaded text of `rec`.
String cxGetDataResourceString(const TcxResourceStringRec& rec);
