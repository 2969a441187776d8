' A direct printer that printers.conf names, found by its name in another letter case, and a
' line of printers.conf that Windows cannot use, which names no printer. The runner compares
' the bytes the loopback printer received. Wine's VBScript skips a procedure called while an
' error is pending, so each error is read before it is checked.
On Error Resume Next

Set p = NewRawlet()
p.PrinterName = "KITCHEN"
found = Err.Number & " " & Err.Description
Err.Clear
Check "the configured printer is found by its name in any letter case", found, "0 "
p.PrinterData = "Table 4" & Chr(13) & Chr(10) & Chr(0) & Chr(255)
p.PrinterClose
printed = Err.Number & " " & Err.Description
Err.Clear
Check "printing to the configured printer", printed, "0 "

Set p = NewRawlet()
p.PrinterName = "Labels"
refusal = Err.Number & " " & Err.Description
Err.Clear
Check "a skipped line names no printer", refusal, "32000 The printer name is not valid"
Finish
