unit TextUtils;

interface

function SplitCsv(const Line: string; Index: Integer): string;

implementation

{$IFNDEF DELPHI5_UP}
uses SysUtils;
{$ENDIF}

function SplitCsv(const Line: string; Index: Integer): string;
begin
  Result := Line;
end;

end.
