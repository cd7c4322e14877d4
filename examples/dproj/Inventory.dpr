program Inventory;

{ A small stock-keeping program. Its project file, Inventory.dproj, has two
  configurations: Debug defines DEBUG and puts debug\ on the search path, so
  StockStore traces every change; Release defines RELEASE and caches instead.
  "Forms" is found as Vcl.Forms through the project's unit scope names. }

uses
  Forms,
  MainForm in 'MainForm.pas' {InventoryForm},
  StockStore in 'StockStore.pas';

{$R *.res}

begin
  Application.Initialize;
  Application.MainFormOnTaskbar := True;
  Application.CreateForm(TInventoryForm, InventoryForm);
  Application.Run;
end.
