unit Forms;

{ Stand-in for the compiler library's Forms unit: enough for the demo's scan. }

interface

uses Messages, Windows, SysUtils, Classes, Graphics, Controls;

implementation

end.
