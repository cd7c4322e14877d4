unit Logger;

interface

procedure LogLine(const S: string);

implementation

{ Contacts uses this unit too: the two form a cycle. }
uses TextUtils, Contacts;

procedure LogLine(const S: string);
begin
end;

end.
