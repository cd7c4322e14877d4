unit StockTrace;

{ Debug builds log every stock change; this directory is only on the search
  path of the Debug configuration. }

interface

uses SysUtils;

implementation

end.
