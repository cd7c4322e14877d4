unit System.IniFiles;

{ Stand-in for the installation's System.IniFiles unit: enough for the example's scan. }

interface

implementation

end.
