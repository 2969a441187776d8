' The control's side of the Wine comparison: WRITES assignments of 64 bytes to PrinterData
' in one document. Prints the seconds from the first assignment through PrinterClose.
'
'   cscript //nologo control_writes.vbs PRINTER WRITES
Set rawlet = CreateObject("Rawleter.Rawlet")
rawlet.PrinterName = WScript.Arguments(0)
writes = CLng(WScript.Arguments(1))
text = String(64, "x")

start = Timer
For i = 1 To writes
    rawlet.PrinterData = text
Next
rawlet.PrinterClose
WScript.Echo Timer - start
