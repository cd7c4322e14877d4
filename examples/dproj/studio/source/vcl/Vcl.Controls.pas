unit Vcl.Controls;

{ Stand-in for the installation's Vcl.Controls unit: enough for the example's scan. }

interface

implementation

end.
