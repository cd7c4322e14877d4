unit MainForm;

interface

uses
  Windows, Messages, SysUtils, Classes, Controls, Forms, StdCtrls,
  StockStore;

type
  TInventoryForm = class(TForm)
    ItemList: TListBox;
    procedure FormCreate(Sender: TObject);
  end;

var
  InventoryForm: TInventoryForm;

implementation

uses IniFiles;

{$R *.dfm}

procedure TInventoryForm.FormCreate(Sender: TObject);
begin
  LoadStock(ChangeFileExt(ParamStr(0), '.ini'));
end;

end.
