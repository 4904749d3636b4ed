// The CSV query: a read-only, static data set over one CSV file of a folder, opened from a
// connection string that names the folder ("DBQ=", inside "Extended Properties" or not) and
// the text "SELECT [TOP n] * FROM file.csv".
#pragma once

#include "db/MemDataSet.h"

KORVAN_EXCEPTION(EADOError, EDatabaseError);

enum TCursorType { ctUnspecified, ctOpenForwardOnly, ctKeyset, ctDynamic, ctStatic };
enum TADOLockType { ltUnspecified, ltReadOnly, ltPessimistic, ltOptimistic, ltBatchOptimistic };

// The folder named by a connection string: the value of DBQ (or DefaultDir) at the top level
// or inside the quoted Extended Properties; empty when it names none.
String ConnectionStringFolder(const String& connectionString);

// Registers the data-set classes of this unit (and those of DB) by name for form
// descriptions.
void InitializeADODB();

class TCustomADODataSet : public TMemDataSet {
  KORVAN_CLASS(TCustomADODataSet, TMemDataSet)

 public:
  explicit TCustomADODataSet(TComponent* owner);

  const String& ConnectionString() const { return connectionString_; }
  void SetConnectionString(const String& v);
  TCursorType CursorType() const { return cursorType_; }
  void SetCursorType(TCursorType v) { cursorType_ = v; }
  TADOLockType LockType() const { return lockType_; }
  void SetLockType(TADOLockType v) { lockType_ = v; }
  // The most records read; 0 reads them all.
  Integer MaxRecords() const { return maxRecords_; }
  void SetMaxRecords(Integer v);
  // The encoding of the file last opened ("UTF-8", "UTF-16LE", "UTF-16BE", "Shift-JIS").
  const String& FileEncoding() const { return encoding_; }

 protected:
  // The table to read and the TOP limit (negative: none).
  virtual void GetCommand(String& tableName, Int64& top) const = 0;
  void InternalOpen() override;
  void InternalClose() override;

 private:
  String connectionString_;
  TCursorType cursorType_ = ctUnspecified;
  TADOLockType lockType_ = ltUnspecified;
  Integer maxRecords_ = 0;
  String encoding_;
};

class TADOQuery : public TCustomADODataSet {
  KORVAN_CLASS(TADOQuery, TCustomADODataSet)

 public:
  explicit TADOQuery(TComponent* owner);
  ~TADOQuery() override;
  // The statement; only "SELECT [TOP n] * FROM name" is understood.
  TStrings* SQL() const { return sql_.get(); }

 protected:
  void GetCommand(String& tableName, Int64& top) const override;

 private:
  std::unique_ptr<TStringList> sql_;
};

// A whole file by its name, as "SELECT * FROM name" reads it.
class TADOTable : public TCustomADODataSet {
  KORVAN_CLASS(TADOTable, TCustomADODataSet)

 public:
  explicit TADOTable(TComponent* owner);
  const String& TableName() const { return tableName_; }
  void SetTableName(const String& v);

 protected:
  void GetCommand(String& tableName, Int64& top) const override;

 private:
  String tableName_;
};
