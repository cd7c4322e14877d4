unit Logger;

interface

procedure LogLine(const S: string);

implementation

uses TextUtils;

procedure LogLine(const S: string);
begin
end;

end.
