unit Forms;

{ Stand-in for the compiler library's Forms unit: enough for the demo's scan. }

interface

uses Messages, Windows, SysUtils, Classes, Graphics, Controls;

type
  TForm = class(TControl)
  end;

  TApplication = class
  public
    ExeName: string;
    procedure Initialize;
    procedure CreateForm(FormClass: TClass; var Reference);
    procedure Run;
  end;

var
  Application: TApplication;

implementation

procedure TApplication.Initialize;
begin
end;

procedure TApplication.CreateForm(FormClass: TClass; var Reference);
begin
end;

procedure TApplication.Run;
begin
end;

end.
