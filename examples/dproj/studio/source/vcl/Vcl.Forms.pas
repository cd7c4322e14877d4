unit Vcl.Forms;

{ Stand-in for the installation's Vcl.Forms unit: enough for the example's scan. }

interface

uses Vcl.Controls;

implementation

end.
