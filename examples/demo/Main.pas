unit Main;

interface

uses
  Windows, Messages, SysUtils, Classes, Graphics, Controls, Forms, Dialogs,
  StdCtrls, Contacts;

type
  TMainForm = class(TForm)
    ListBox1: TListBox;
    procedure FormCreate(Sender: TObject);
  private
    FBook: TContactBook;
  end;

var
  MainForm: TMainForm;

implementation

uses Storage, TextUtils, About;

{$R *.DFM}

procedure TMainForm.FormCreate(Sender: TObject);
begin
  FBook := LoadBook(ChangeFileExt(Application.ExeName, '.csv'));
  if FBook = nil then
    ShowMessage('No contacts yet');
  FBook.FillList(ListBox1.Items);
end;

end.
