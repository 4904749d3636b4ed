// Texts of the filter layer: operator descriptions and the words of display texts, each
// fetched through the replaceable resource-text access and then through the filter text hook.
#pragma once

#include "foundation/cxClasses.h"

extern const TcxResourceStringRec cxSFilterOperatorEqual;
extern const TcxResourceStringRec cxSFilterOperatorNotEqual;
extern const TcxResourceStringRec cxSFilterOperatorLess;
extern const TcxResourceStringRec cxSFilterOperatorLessEqual;
extern const TcxResourceStringRec cxSFilterOperatorGreater;
extern const TcxResourceStringRec cxSFilterOperatorGreaterEqual;
extern const TcxResourceStringRec cxSFilterOperatorLike;
extern const TcxResourceStringRec cxSFilterOperatorNotLike;
extern const TcxResourceStringRec cxSFilterOperatorBeginsWith;
extern const TcxResourceStringRec cxSFilterOperatorDoesNotBeginWith;
extern const TcxResourceStringRec cxSFilterOperatorEndsWith;
extern const TcxResourceStringRec cxSFilterOperatorDoesNotEndWith;
extern const TcxResourceStringRec cxSFilterOperatorContains;
extern const TcxResourceStringRec cxSFilterOperatorDoesNotContain;
extern const TcxResourceStringRec cxSFilterOperatorBetween;
extern const TcxResourceStringRec cxSFilterOperatorNotBetween;
extern const TcxResourceStringRec cxSFilterOperatorInList;
extern const TcxResourceStringRec cxSFilterOperatorNotInList;
extern const TcxResourceStringRec cxSFilterOperatorYesterday;
extern const TcxResourceStringRec cxSFilterOperatorToday;
extern const TcxResourceStringRec cxSFilterOperatorTomorrow;
extern const TcxResourceStringRec cxSFilterOperatorLast7Days;
extern const TcxResourceStringRec cxSFilterOperatorLastWeek;
extern const TcxResourceStringRec cxSFilterOperatorLast14Days;
extern const TcxResourceStringRec cxSFilterOperatorLastTwoWeeks;
extern const TcxResourceStringRec cxSFilterOperatorLast30Days;
extern const TcxResourceStringRec cxSFilterOperatorLastMonth;
extern const TcxResourceStringRec cxSFilterOperatorLastYear;
extern const TcxResourceStringRec cxSFilterOperatorPast;
extern const TcxResourceStringRec cxSFilterOperatorThisWeek;
extern const TcxResourceStringRec cxSFilterOperatorThisMonth;
extern const TcxResourceStringRec cxSFilterOperatorThisYear;
extern const TcxResourceStringRec cxSFilterOperatorNext7Days;
extern const TcxResourceStringRec cxSFilterOperatorNextWeek;
extern const TcxResourceStringRec cxSFilterOperatorNext14Days;
extern const TcxResourceStringRec cxSFilterOperatorNextTwoWeeks;
extern const TcxResourceStringRec cxSFilterOperatorNext30Days;
extern const TcxResourceStringRec cxSFilterOperatorNextMonth;
extern const TcxResourceStringRec cxSFilterOperatorNextYear;
extern const TcxResourceStringRec cxSFilterOperatorFuture;
extern const TcxResourceStringRec cxSFilterOperatorIsNull;
extern const TcxResourceStringRec cxSFilterOperatorIsNotNull;
extern const TcxResourceStringRec cxSFilterAndCaption;
extern const TcxResourceStringRec cxSFilterOrCaption;
extern const TcxResourceStringRec cxSFilterNotCaption;
extern const TcxResourceStringRec cxSFilterBlankCaption;

// The filter text hook: when installed it produces the text for a loaded resource text. The
// editor framework installs ReplaceResourceText at its start; until then texts pass unchanged.
using TcxFilterResourceTextHook = String (*)(const String& text);
void SetFilterResourceTextHook(TcxFilterResourceTextHook hook);
TcxFilterResourceTextHook FilterResourceTextHook();
void GetFilterResourceText(const String& text, String& result);
// The resource text `rec`, loaded and passed through the hook.
String cxGetFilterResourceString(const TcxResourceStringRec& rec);
