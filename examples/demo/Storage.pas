unit Storage;

interface

uses SysUtils, Classes, Contacts;

function LoadBook(const FileName: string): TContactBook;

implementation

uses TextUtils, Compress;

(* Compress is not part of the demo: the scan reports it as not found. *)

function LoadBook(const FileName: string): TContactBook;
begin
  Result := TContactBook.Create;
end;

end.
