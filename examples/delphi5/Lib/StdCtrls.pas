unit StdCtrls;

{ Stand-in for the compiler library's StdCtrls unit: enough for the demo's scan. }

interface

uses Messages, Windows, Classes, Controls, Graphics;

type
  TLabel = class(TControl)
  end;

  TButton = class(TControl)
  end;

  TListBox = class(TControl)
  public
    Items: TStrings;
  end;

implementation

end.
