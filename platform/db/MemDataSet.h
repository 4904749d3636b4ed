// An in-memory data set: records held in typed columns, writable, with string bookmarks,
// record numbers and filters. Its records stay while it is closed, so a test can fill it
// before opening it and a query can fill it when it opens.
#pragma once

#include <unordered_map>

#include "db/DB.h"
#include "db/MemStorage.h"

class TMemDataSet : public TDataSet {
  KORVAN_CLASS(TMemDataSet, TDataSet)

 public:
  explicit TMemDataSet(TComponent* owner);
  ~TMemDataSet() override;

  // The structure, set while closed: one definition per column. Changing it empties the
  // records.
  void AddFieldDef(const String& name, TFieldType type, Integer size = 0, bool required = false);
  void ClearFieldDefs();
  // Adds a record at the end (the data set closed or browsing); values by column, Empty
  // leaving Null. Open data sets see it after a Refresh.
  void AppendRow(const std::vector<Variant>& values);
  // Removes every record.
  void EmptyDataSet();
  Integer RowCount() const { return Integer(rows_); }

  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v) { readOnly_ = v; }

  Integer RecordCount() const override;
  Integer RecNo() const override;
  void SetRecNo(Integer value) override;
  bool IsSequenced() const override { return true; }
  bool BookmarkValid(const TBookmarkStr& bookmark) const override;
  Integer CompareBookmarks(const TBookmarkStr& a, const TBookmarkStr& b) const override;
  bool Locate(const String& keyFields, const Variant& keyValues, TLocateOptions options) override;
  Variant Lookup(const String& keyFields, const Variant& keyValues, const String& resultFields) override;

 protected:
  // Replaces structure and records at once (the CSV query): one column per definition.
  struct TColumnDef {
    String Name;
    TFieldType Type;
    Integer Size;
  };
  void LoadColumns(std::vector<TColumnDef> defs, std::vector<TMemColumn> columns, std::size_t rows);

  void InternalOpen() override;
  void InternalClose() override;
  bool IsCursorOpen() const override { return cursorOpen_; }
  TGetResult GetRecord(TRecordBuffer& buf, TGetMode mode) override;
  void InternalFirst() override { cursor_ = -1; }
  void InternalLast() override { cursor_ = ViewCount(); }
  void InternalSetToRecord(const TRecordBuffer& buf) override;
  TBookmarkStr GetBookmarkStr(const TRecordBuffer& buf) const override;
  void InternalGotoBookmark(const TBookmarkStr& bookmark) override;
  Variant GetStoredValue(const TRecordBuffer& buf, Integer fieldNo) const override;
  bool GetStoredCell(const TRecordBuffer& buf, Integer fieldNo, TStoredCell& cell) const override;
  void InternalPost() override;
  void InternalDelete() override;
  bool GetCanModify() const override { return !readOnly_; }
  void FilterChanged() override;

 private:
  Integer ViewCount() const;
  std::size_t ViewRow(Integer pos) const;
  Integer ViewPosOfRow(std::size_t row) const;  // -1 when the row is filtered out
  Integer RowOfId(Int64 id) const;              // -1 when no record has the id
  Variant ReadCell(std::size_t row, std::size_t col) const;
  void WriteCell(std::size_t row, std::size_t col, const Variant& value);
  void RebuildView();
  void InsertRow(std::size_t row);
  bool ParseBookmark(const TBookmarkStr& bookmark, Int64& id) const;
  Integer FindRow(const String& keyFields, const Variant& keyValues, TLocateOptions options);

  std::vector<TColumnDef> defs_;
  std::vector<TMemColumn> columns_;
  std::vector<std::vector<Variant>> others_;  // values of columns of kind Other
  // The record id of each row; while the rows are those loaded or appended in order, row r
  // has id r and the list is not kept (a row costs no more than its values).
  std::vector<Int64> ids_;
  bool idsIdentity_ = true;
  std::size_t rows_ = 0;
  Int64 IdOfRow(std::size_t row) const { return idsIdentity_ ? Int64(row) : ids_[row]; }
  void KeepIds();
  Int64 nextId_ = 0;
  bool idsAscending_ = true;
  mutable std::unordered_map<Int64, Integer> idIndex_;
  mutable bool idIndexValid_ = false;

  bool filtering_ = false;  // the view holds only the accepted rows
  std::vector<std::size_t> view_;
  Integer cursor_ = -1;     // position in the view; -1 before the first, ViewCount() after the last
  bool cursorOpen_ = false;
  bool readOnly_ = false;
};

// The in-memory data set as a query with parameters (the records are the data set's own).
class TMemQuery : public TMemDataSet {
  KORVAN_CLASS(TMemQuery, TMemDataSet)

 public:
  explicit TMemQuery(TComponent* owner);
  TParams* Params() const { return params_.get(); }
  const String& SQL() const { return sql_; }
  void SetSQL(const String& v) { sql_ = v; }

 private:
  std::unique_ptr<TParams> params_;
  String sql_;
};
