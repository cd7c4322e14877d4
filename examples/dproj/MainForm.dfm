object InventoryForm: TInventoryForm
  Left = 0
  Top = 0
  Caption = 'Inventory'
  ClientHeight = 300
  ClientWidth = 400
  OnCreate = FormCreate
  object ItemList: TListBox
    Left = 8
    Top = 8
    Width = 384
    Height = 284
  end
end
