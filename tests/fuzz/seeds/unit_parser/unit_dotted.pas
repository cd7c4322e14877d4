{$MODE DELPHI}{$H+}
unit Vcl.Extra.Grid;

interface

{$IFDEF MSWINDOWS}
uses Winapi.Windows, System.Classes;
{$ELSE}
uses BaseUnix, Classes;
{$ENDIF}

implementation

{$IFDEF FPC}{$I inc.inc}{$ENDIF}

uses
  System.Math;

end.
