unit Dialogs;

{ Stand-in for the compiler library's Dialogs unit: enough for the demo's scan. }

interface

uses Windows, Messages, Classes, Graphics, Controls, Forms, StdCtrls;

procedure ShowMessage(const Msg: string);

implementation

procedure ShowMessage(const Msg: string);
begin
end;

end.
