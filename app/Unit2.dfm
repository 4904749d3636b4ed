object _SummaryTypeEditor: T_SummaryTypeEditor
  Left = 0
  Top = 0
  BorderStyle = bsDialog
  Caption = 'Set Summary Type'
  ClientHeight = 252
  ClientWidth = 201
  Color = clBtnFace
  Font.Charset = SHIFTJIS_CHARSET
  Font.Color = clWindowText
  Font.Height = -12
  Font.Name = #65325#65331' '#65328#12468#12471#12483#12463
  Font.Style = []
  OldCreateOrder = False
  Position = poScreenCenter
  PixelsPerInch = 96
  TextHeight = 12
  object rdgSummaryType: TcxRadioGroup
    Left = 8
    Top = 8
    Caption = 'Summary Type'
    Properties.Items = <
      item
        Caption = 'Average'
      end
      item
        Caption = 'Sum'
      end
      item
        Caption = 'Count'
      end
      item
        Caption = 'Min'
      end
      item
        Caption = 'Max'
      end>
    ItemIndex = 0
    TabOrder = 0
    Height = 121
    Width = 185
  end
  object cxGroupBox1: TcxGroupBox
    Left = 8
    Top = 136
    Caption = 'Use Diplay Format'
    TabOrder = 1
    Height = 73
    Width = 185
    object Label1: TLabel
      Left = 10
      Top = 48
      Width = 36
      Height = 12
      Caption = 'Test: '
    end
    object lblDiplayFormatTest: TLabel
      Left = 48
      Top = 48
      Width = 3
      Height = 12
    end
    object edtDisplayFormat: TcxTextEdit
      Left = 10
      Top = 20
      TabOrder = 0
      OnExit = edtDisplayFormatExit
      Width = 165
    end
  end
  object cxButton1: TcxButton
    Left = 63
    Top = 218
    Width = 75
    Height = 25
    Caption = '&OK'
    TabOrder = 2
    OnClick = cxButton1Click
    Colors.Normal = clBtnHighlight
    Colors.Hot = 8454143
    Glyph.Data = {
      CA00000089504E470D0A1A0A0000000D49484452000000100000001008020000
      0090916836000000914944415428919592E11180200885A1496CA34670B44660
      23D9E4F5830E092B8BF3BC03BEA7BC530681FEC4F291E3CA3F045CB96CC53473
      81D13D7DF7906815ED37ACB2FAA05E89A98A62C7E23D15F5416325D2A787D833
      4DA2DBD62E1ED2A0765EA4B9B21DDF4D8F9A34BAA7A707EC50D1294DF11D46CD
      48537AB8A889462F01425A54C9F79BEE7DF5810661F235C63800DD7594DE0559
      E72C0000000049454E44AE426082}
  end
end
