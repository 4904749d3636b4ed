// The link through which the filter control reads the filterable items of a component (a grid
// view) and the criteria it edits.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "data/cxDataStorage.h"
#include "data/cxFilter.h"
#include "editors/cxFilterControlUtils.h"

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

// ---------------------------------------------------------------------------------------------
// The filter control's model: its working criteria and the rows that show it, one group row
// per criteria group and one condition row per criteria item. Layout, painting, input and the
// control window come on top of this; the row rectangles are not kept here yet.

class TcxFilterControlModel;

// A leaf of the working criteria. It never filters records: its data value is always Null.
class TcxFilterControlCriteriaItem : public TcxFilterCriteriaItem {
 public:
  using TcxFilterCriteriaItem::TcxFilterCriteriaItem;
  void GetDataValue(Pointer data, Variant& v) override;
  void GetFieldCaption(String& s) override;
  void GetFieldName(String& s) override;

 private:
  // The item's index in the link, -1 when the item is not valid.
  Integer LinkIndex();
};

// The working criteria; maps item links to IDs and names through the link, for streams.
class TcxFilterControlCriteria : public TcxFilterCriteria {
 public:
  explicit TcxFilterControlCriteria(TcxFilterControlModel* control);
  Integer GetIDByItemLink(TObject* link) override;
  void GetNameByItemLink(TObject* link, String& s) override;
  TObject* GetItemLinkByID(Integer id) override;
  TObject* GetItemLinkByName(const String& name) override;
  TcxFilterCriteriaItemClass GetItemClass() override;
  void AssignEvents(TcxFilterCriteria*) override {}
  TcxFilterControlModel* Control() const { return control_; }

 private:
  TcxFilterControlModel* control_;
};

class TcxGroupViewInfo;

class TcxCustomRowViewInfo {
 public:
  TcxCustomRowViewInfo(TcxFilterControlModel* control, TcxGroupViewInfo* parent,
                       TcxCustomFilterCriteriaItem* criteria_item);
  virtual ~TcxCustomRowViewInfo() = default;
  // Group rows always; a condition row once it has an item and an operator.
  virtual bool IsReady() const { return true; }
  virtual bool IsGroup() const { return false; }

  String ButtonText() const;
  TcxFilterControlModel* Control() const { return control_; }
  TcxCustomFilterCriteriaItem* CriteriaItem() const { return criteriaItem_; }
  TcxGroupViewInfo* Parent() const { return parent_; }
  // The number of ancestor groups.
  Integer Level() const;

 private:
  TcxFilterControlModel* control_;
  TcxGroupViewInfo* parent_;
  TcxCustomFilterCriteriaItem* criteriaItem_;
};

class TcxGroupViewInfo : public TcxCustomRowViewInfo {
 public:
  TcxGroupViewInfo(TcxFilterControlModel* control, TcxGroupViewInfo* parent,
                   TcxFilterCriteriaItemList* criteria_group);
  bool IsGroup() const override { return true; }

  TcxFilterBoolOperatorKind BoolOperator() const { return boolOperator_; }
  void SetBoolOperator(TcxFilterBoolOperatorKind value) { boolOperator_ = value; }
  String BoolOperatorText() const;
  String Caption() const;
  Integer RowCount() const { return Integer(rows_.size()); }
  TcxCustomRowViewInfo* Rows(Integer index) const { return rows_.at(std::size_t(index)).get(); }
  // The row is owned by this group from now on.
  TcxCustomRowViewInfo* Add(std::unique_ptr<TcxCustomRowViewInfo> row);
  void Remove(TcxCustomRowViewInfo* row);
  void Clear() { rows_.clear(); }

 private:
  TcxFilterBoolOperatorKind boolOperator_;
  std::vector<std::unique_ptr<TcxCustomRowViewInfo>> rows_;
};

struct TcxValueInfo {
  Variant Value = Null();
  String ValueText;
};

class TcxConditionViewInfo : public TcxCustomRowViewInfo {
 public:
  // A row created by the user (no criteria item) takes the first item.
  TcxConditionViewInfo(TcxFilterControlModel* control, TcxGroupViewInfo* parent,
                       TcxFilterCriteriaItem* criteria_item);
  bool IsReady() const override { return !itemText_.empty() && !OperatorText().empty(); }
  // False for the operators that take no value (9, 10 and 15 to 36).
  bool HasValues() const;
  // Reads the item's properties, helper, value type and supported operators.
  void PrepareEditor();
  // -1 picks the first item (by caption under SortItems); resets operator and values.
  void SetItemIndex(Integer index);
  // Keeps the values that the new operator can take when `keep` is set.
  void SetOperator(TcxFilterControlOperator value, bool keep = true);
  void AddValue(const Variant& value = Null(), const String& text = "");

  Integer ItemIndex() const { return itemIndex_; }
  TObject* ItemLink() const { return itemLink_; }
  const String& ItemText() const { return itemText_; }
  TcxFilterControlOperator Operator() const { return operator_; }
  String OperatorText() const { return FilterOperatorCaption(operator_); }
  const TcxFilterControlOperators& SupportedOperators() const { return supported_; }
  TClass HelperClass() const { return helperClass_; }
  TcxValueTypeClass ValueType() const { return valueType_; }
  std::vector<TcxValueInfo>& Values() { return values_; }
  const std::vector<TcxValueInfo>& Values() const { return values_; }

 private:
  void ResetValues();

  TcxFilterControlOperator operator_ = 0;
  Integer itemIndex_ = -1;
  TObject* itemLink_ = nullptr;
  String itemText_;
  TClass helperClass_ = nullptr;
  TcxFilterControlOperators supported_;
  TcxValueTypeClass valueType_ = nullptr;
  std::vector<TcxValueInfo> values_;
};

class TcxFilterControlModel {
 public:
  explicit TcxFilterControlModel(IcxFilterControl* link = nullptr);
  virtual ~TcxFilterControlModel();

  IcxFilterControl* Link() const { return link_; }
  // The rows then show the link's criteria, or a lone root when the link has none.
  void SetLink(IcxFilterControl* value);
  bool HasItems() const;
  TcxFilterControlCriteria* Criteria() const { return criteria_.get(); }
  TcxGroupViewInfo* Root() const { return root_.get(); }
  // Every row in pre-order: a group, then its children depth first.
  const std::vector<TcxCustomRowViewInfo*>& RowList() const { return rowList_; }
  bool SortItems() const { return sortItems_; }
  void SetSortItems(bool value) { sortItems_ = value; }

  // Resets the rows to a lone root (AND) and empties the working criteria.
  virtual void Clear();
  // Raises EcxFilterControlError "Can't build filter from source" for an item the link does
  // not list; the rows built before it stay.
  void BuildViewFromCriteria();
  // False, with the criteria unchanged, while a condition row lacks its item or operator.
  bool BuildCriteriaFromView();
  bool AllRowsReady() const;
  // A filter stream of the working criteria (version 3, with item names). Loading raises
  // "Can't build filter from source", with nothing changed, when the link has no items; items
  // the link does not have are left out.
  void LoadFromStream(TStream& stream);
  void SaveToStream(TStream& stream);
  // Copies the rows into the link's criteria, fires OnApplyFilter and shows what the link
  // keeps; the rows are rebuilt even when the copy or the event raises.
  virtual void ApplyFilter();

  std::function<void()> OnApplyFilter;
  void RebuildRowList();
  // 7 and 8 go when the working criteria does not support LIKE.
  virtual void RemoveUnsupportedOperators(TcxFilterControlOperators& operators);
  // The first index whose item link is `link`, -1 when none.
  Integer ItemIndexOf(TObject* link) const;
  // Index of the item a new condition takes.
  Integer FirstItemIndex() const;

 private:
  void ResetRows();
  void AddGroupRows(TcxGroupViewInfo* row, TcxFilterCriteriaItemList* group);
  void AddGroupCriteria(TcxGroupViewInfo* row, TcxFilterCriteriaItemList* group);
  void AddConditionCriteria(TcxConditionViewInfo* row, TcxFilterCriteriaItemList* group);

  IcxFilterControl* link_;
  std::unique_ptr<TcxFilterControlCriteria> criteria_;
  std::unique_ptr<TcxGroupViewInfo> root_;
  std::vector<TcxCustomRowViewInfo*> rowList_;
  bool sortItems_ = false;
};
