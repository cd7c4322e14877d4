unit Chains;

{$mode objfpc}{$H+}{$macro on}
{$DEFINE LEVEL := 3}

interface

uses
  {$IF Defined(DEBUG) and (CompilerVersion >= 15)} DebugLog,
  {$ELSEIF FPC_FULLVERSION >= 30000} NewLog,
  {$ELSE} OldLog, {$IFEND}
  {$IFDEF MSWINDOWS}{$IF SizeOf(Pointer) = 8} Win64Api, {$ELSE} Win32Api, {$ENDIF}{$ENDIF}
  {$IF LEVEL * 2 > 5} Deep, {$IFEND}
  {$IFOPT R+} Checked {$ELSEIF Declared(Integer)} Plain {$ELSE} Other {$ENDIF};

implementation

{$IF not Defined(FPC)} uses Legacy; {$ENDIF}

end.
