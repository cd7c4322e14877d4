unit StdCtrls;

{ Stand-in for the compiler library's StdCtrls unit: enough for the demo's scan. }

interface

uses Messages, Windows, Classes, Controls, Graphics;

implementation

end.
