unit Controls;

{ Stand-in for the compiler library's Controls unit: enough for the demo's scan. }

interface

uses Messages, Windows, Classes, Graphics;

type
  TControl = class
  end;

implementation

end.
