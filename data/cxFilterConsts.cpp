#include "data/cxFilterConsts.h"

#define CX_RES(Name, Text) const TcxResourceStringRec Name{#Name, Text}

CX_RES(cxSFilterOperatorEqual, "equals");
CX_RES(cxSFilterOperatorNotEqual, "does not equal");
CX_RES(cxSFilterOperatorLess, "is less than");
CX_RES(cxSFilterOperatorLessEqual, "is less than or equal to");
CX_RES(cxSFilterOperatorGreater, "is greater than");
CX_RES(cxSFilterOperatorGreaterEqual, "is greater than or equal to");
CX_RES(cxSFilterOperatorLike, "like");
CX_RES(cxSFilterOperatorNotLike, "not like");
CX_RES(cxSFilterOperatorBeginsWith, "begins with");
CX_RES(cxSFilterOperatorDoesNotBeginWith, "does not begin with");
CX_RES(cxSFilterOperatorEndsWith, "ends with");
CX_RES(cxSFilterOperatorDoesNotEndWith, "does not end with");
CX_RES(cxSFilterOperatorContains, "contains");
CX_RES(cxSFilterOperatorDoesNotContain, "does not contain");
CX_RES(cxSFilterOperatorBetween, "between");
CX_RES(cxSFilterOperatorNotBetween, "not between");
CX_RES(cxSFilterOperatorInList, "in");
CX_RES(cxSFilterOperatorNotInList, "not in");
CX_RES(cxSFilterOperatorYesterday, "is yesterday");
CX_RES(cxSFilterOperatorToday, "is today");
CX_RES(cxSFilterOperatorTomorrow, "is tomorrow");
CX_RES(cxSFilterOperatorLast7Days, "is last 7 days");
CX_RES(cxSFilterOperatorLastWeek, "is last week");
CX_RES(cxSFilterOperatorLast14Days, "is last 14 days");
CX_RES(cxSFilterOperatorLastTwoWeeks, "is last two weeks");
CX_RES(cxSFilterOperatorLast30Days, "is last 30 days");
CX_RES(cxSFilterOperatorLastMonth, "is last month");
CX_RES(cxSFilterOperatorLastYear, "is last year");
CX_RES(cxSFilterOperatorPast, "is past");
CX_RES(cxSFilterOperatorThisWeek, "is this week");
CX_RES(cxSFilterOperatorThisMonth, "is this month");
CX_RES(cxSFilterOperatorThisYear, "is this year");
CX_RES(cxSFilterOperatorNext7Days, "is next 7 days");
CX_RES(cxSFilterOperatorNextWeek, "is next week");
CX_RES(cxSFilterOperatorNext14Days, "is next 14 days");
CX_RES(cxSFilterOperatorNextTwoWeeks, "is next two weeks");
CX_RES(cxSFilterOperatorNext30Days, "is next 30 days");
CX_RES(cxSFilterOperatorNextMonth, "is next month");
CX_RES(cxSFilterOperatorNextYear, "is next year");
CX_RES(cxSFilterOperatorFuture, "is future");
CX_RES(cxSFilterOperatorIsNull, "is blank");
CX_RES(cxSFilterOperatorIsNotNull, "is not blank");
CX_RES(cxSFilterAndCaption, "and");
CX_RES(cxSFilterOrCaption, "or");
CX_RES(cxSFilterNotCaption, "not");
CX_RES(cxSFilterBlankCaption, "blank");

namespace {
TcxFilterResourceTextHook filterTextHook = nullptr;
}  // namespace

void SetFilterResourceTextHook(TcxFilterResourceTextHook hook) { filterTextHook = hook; }
TcxFilterResourceTextHook FilterResourceTextHook() { return filterTextHook; }

void GetFilterResourceText(const String& text, String& result) {
  result = filterTextHook != nullptr ? filterTextHook(text) : text;
}

String cxGetFilterResourceString(const TcxResourceStringRec& rec) {
  String r;
  GetFilterResourceText(LoadReplaceableResString(rec), r);
  return r;
}
