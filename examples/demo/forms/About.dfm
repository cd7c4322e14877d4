object AboutBox: TAboutBox
  Left = 240
  Top = 160
  Width = 300
  Height = 140
  Caption = 'About'
  object Label1: TLabel
    Left = 16
    Top = 16
    Caption = 'Address book 1.0'
  end
  object OKButton: TButton
    Left = 110
    Top = 70
    Caption = 'OK'
    ModalResult = 1
  end
end
