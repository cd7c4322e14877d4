object MainForm: TMainForm
  Left = 200
  Top = 120
  Width = 480
  Height = 360
  Caption = 'Address book'
  OnCreate = FormCreate
  object ListBox1: TListBox
    Left = 8
    Top = 8
    Width = 456
    Height = 312
    TabOrder = 0
  end
end
