// Editor defaults read from a data-set field: the provider that editor properties ask for the
// values they have not set themselves.
#pragma once

#include "db/DB.h"
#include "editors/cxEdit.h"
#include "foundation/cxClasses.h"

class TcxCustomDBEditDefaultValuesProvider : public TcxCustomEditDefaultValuesProvider {
  KORVAN_CLASS(TcxCustomDBEditDefaultValuesProvider, TcxCustomEditDefaultValuesProvider)

 public:
  explicit TcxCustomDBEditDefaultValuesProvider(TPersistent* owner);
  ~TcxCustomDBEditDefaultValuesProvider() override;

  TDataSource* DataSource() const { return dataSource_; }
  void SetDataSource(TDataSource* value);
  TField* Field() const { return field_; }
  void SetField(TField* value);

  bool CanSetEditMode() override;
  TAlignment DefaultAlignment() override;
  Integer DefaultBlobKind() override;
  bool DefaultCanModify() override;
  String DefaultDisplayFormat() override;
  String DefaultEditFormat() override;
  String DefaultEditMask() override;
  bool DefaultIsFloatValue() override;
  Integer DefaultMaxLength() override;
  double DefaultMaxValue() override;
  double DefaultMinValue() override;
  Integer DefaultPrecision() override;
  bool DefaultReadOnly() override;
  bool DefaultRequired() override;
  bool IsBlob() override;
  bool IsCurrency() override;
  bool IsDataAvailable() override;
  bool IsDataStorage() override { return true; }
  bool IsDisplayFormatDefined(bool currencyAccepted) override;
  // The text comes from OnGetText or a date-time display format, not a numeric format.
  bool IsNonNumericDisplayFormatDefined();
  bool IsOnSetTextAssigned() override;
  bool IsValidChar(char32_t c) override;

 private:
  void ComponentFreed(TComponent* c);
  double RangeValue(bool maximum);

  TDataSource* dataSource_ = nullptr;
  TField* field_ = nullptr;
  TcxFreeNotificator* notificator_;
};
