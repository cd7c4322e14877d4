unit Vcl.StdCtrls;

{ Stand-in for the installation's Vcl.StdCtrls unit: enough for the example's scan. }

interface

uses Vcl.Controls;

implementation

end.
