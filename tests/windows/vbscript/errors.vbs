' The errors a script sees: Err.Number, Err.Source and Err.Description as the control
' raises them. Nothing here may print anything.
On Error Resume Next

' First in the process, so the thread has opened no printer yet.
Set p = NewRawlet()
p.PrinterData = "lost"
CheckError "writing with no printer name and none open", 32037, "Rawleter", "error occur while write data to the printer"

p.PrinterName = "no such printer"
CheckError "an unknown printer", 32000, "Rawleter", "The printer name is not valid"
p.PrinterName = ""
CheckError "an empty printer name", 32000, "Rawleter", "The printer name is not valid"
p.PrinterName = String(100000, "x")
CheckError "a printer name of 100,000 characters", 32000, "Rawleter", "The printer name is not valid"
Check "PrinterName keeps its value after refusals", p.PrinterName, ""

p.EndPage
CheckError "EndPage while closed", 32033, "Rawleter", "You must first start a document"
p.EndDoc
CheckNoError "EndDoc while closed"
p.PrinterClose
CheckNoError "PrinterClose while closed"
p.About
CheckNoError "About"

p.PrinterName = "errors"
CheckNoError "an installed printer"
p.EndPage
CheckError "EndPage after naming a printer, still closed", 32033, "Rawleter", "You must first start a document"
p.PrinterTranslate = True
p.PrinterDocumentName = "quiet"
CheckNoError "settings that print nothing"
Check "PrinterData reads empty while closed", p.PrinterData, ""

' A wrong type for a property is the scripting engine's type mismatch, not a crash.
p.PrinterTranslate = "not a boolean"
Check "a text that is no boolean is refused", Err.Number, 13
Err.Clear

Finish
