unit System.Generics.Collections;

{ Stand-in for the installation's System.Generics.Collections unit: enough for the example's scan. }

interface

implementation

end.
