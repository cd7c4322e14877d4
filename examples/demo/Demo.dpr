program Demo;

{ A small address-book program: the main form lists contacts that the
  storage unit loads from a CSV file. }

{$I Demo.inc}

uses
  Forms,
  Main in 'Main.pas' {MainForm},
  About in 'forms\About.pas' {AboutBox},
  Contacts in 'Contacts.pas',
  {$IFDEF USE_LOGGING}
  Logger,
  {$ENDIF}
  Storage;

{$R *.RES}

begin
  Application.Initialize;
  Application.CreateForm(TMainForm, MainForm);
  Application.Run;
end.
