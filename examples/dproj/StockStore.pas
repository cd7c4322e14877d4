unit StockStore;

interface

uses System.Generics.Collections;

procedure LoadStock(const FileName: string);

implementation

uses
{$IFDEF DEBUG}
  StockTrace;
{$ELSE}
  StockCache;
{$ENDIF}

procedure LoadStock(const FileName: string);
begin
end;

end.
