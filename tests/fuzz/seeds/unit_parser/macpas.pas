unit MacChain;
{$mode macpas}
interface
{$setc TARGET_OS_MAC := TRUE}
{$ifc not defined __ppc__ and defined CPUPOWERPC32}
  {$setc __ppc__ := 1}
{$elsec}
  {$setc __ppc__ := 0}
{$endc}
{$ifc TARGET_OS_MAC and (__ppc__ = 0)}
uses MacTypes, CFBase;
{$elifc undefined TARGET_OS_MAC}
uses Other;
{$endc}
end.
