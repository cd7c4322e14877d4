unit About;

interface

uses Windows, Classes, Graphics, Forms, Controls, StdCtrls;

type
  TAboutBox = class(TForm)
    Label1: TLabel;
    OKButton: TButton;
  end;

var
  AboutBox: TAboutBox;

implementation

{$R *.DFM}

end.
