program Demo;

{$APPTYPE CONSOLE}
{$IFNDEF DEBUG}
  {$DEFINE RELEASE}
{$ELSE}
  {$UNDEF RELEASE}
{$ENDIF}

uses
  {$IFOPT D+} DebugTools, {$ELSE} Speed, {$ENDIF}
  SysUtils,
  Main in 'Main.pas' {MainForm},
  Data.Store in 'data\Store.pas',
  Vcl.Forms;

{$R *.RES}

begin
  Application.Run;
end.
