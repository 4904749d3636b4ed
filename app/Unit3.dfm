object Form3: TForm3
  Left = 0
  Top = 0
  BorderStyle = bsDialog
  Caption = 'Export Wizard'
  ClientHeight = 158
  ClientWidth = 315
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
  object rdgExportType: TcxRadioGroup
    Left = 8
    Top = 8
    Caption = 'Export to ...'
    Properties.Items = <
      item
        Caption = 'General HTML file'
      end
      item
        Caption = 'Microsoft Excel file'
      end
      item
        Caption = 'General XML Datapacket file'
      end
      item
        Caption = 'ANSI Text file (Fixed format, XSV format, etc..)'
      end>
    Properties.ReadOnly = True
    ItemIndex = 0
    TabOrder = 0
    Height = 105
    Width = 299
  end
  object cxButton4: TcxButton
    Left = 160
    Top = 124
    Width = 75
    Height = 25
    Caption = '&Save'
    TabOrder = 1
    OnClick = cxButton4Click
    Colors.Normal = clBtnHighlight
    Colors.Hot = 8454143
    Glyph.Data = {
      9900000089504E470D0A1A0A0000000D49484452000000100000001008020000
      00909168360000006049444154289163FCCFF09F8124409286FF0CFF59202C83
      80090C0C0C173614FCFF8FAE9F9191112ECBC0C0C0449A7BE8A181058DCFC8C8
      48820688E7A8EC24CAFC0009694C80EC54744F1F3870004DC4C1C181222791AC
      81E4C4C7486AF20600C9BF1C2C6C91E76A0000000049454E44AE426082}
  end
  object cxButton19: TcxButton
    Left = 76
    Top = 124
    Width = 75
    Height = 25
    Caption = '&Aboat'
    TabOrder = 2
    OnClick = cxButton19Click
    Colors.Normal = clBtnHighlight
    Colors.Hot = 8454143
    Glyph.Data = {
      D100000089504E470D0A1A0A0000000D49484452000000100000001008020000
      0090916836000000984944415428919591510E84200C44072EE278336EE27213
      6F663D49F70343602C9BAC693438EFD1A44D0EC73F4F6E9F9B7B455A4153EA70
      233F407B3B5C4A5238BC9D5B89D369231BF9C4A1F3A69F0EA113D293103A423B
      3CC9582B5221FB71B3AB221D03936582853CCD46FF986F9C849BFB69367628A4
      EC2787F46657EFA3CE8F0986B3C68A5EED67BA49687174D321FD4E217F57D5D3
      2F72490264791C9A520000000049454E44AE426082}
  end
end
