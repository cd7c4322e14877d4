unit StockCache;

{ Release builds keep the stock in memory between lookups. }

interface

uses Generics.Collections;

implementation

end.
