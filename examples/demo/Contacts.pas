unit Contacts;

{ The contact record and the book that holds them. }

{$I Demo.inc}

interface

uses Classes, TextUtils;

type
  TContact = class
    Name, Phone: string;
  end;

  TContactBook = class(TList)
    procedure FillList(Items: TStrings);
  end;

implementation

{$IFDEF USE_LOGGING}
uses Logger;
{$ENDIF}

procedure TContactBook.FillList(Items: TStrings);
var
  I: Integer;
begin
  Items.Clear;
  for I := 0 to Count - 1 do
    Items.Add(TContact(Items[I]).Name); // a comment with uses Nothing;
end;

end.
