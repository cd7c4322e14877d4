library Hooks;

uses
  ShareMem, System.SysUtils, Hook in 'Hook.pas';

exports Install, Remove;

begin
end.
