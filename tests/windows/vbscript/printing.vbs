' Printing end to end: what each sequence of calls puts on the printer. The runner
' compares the jobs each queue's device received with the bytes it expects.
On Error Resume Next

' Queue "bytes": every byte value 0x00..0xFF reaches the printer unchanged.
Set p = NewRawlet()
p.PrinterName = "bytes"
all = ""
For i = 0 To 255
    all = all & Chr(i)
Next
p.PrinterData = all
CheckNoError "writing every byte value"
Check "PrinterData reads the last text while the queue is open", p.PrinterData = all, True
v = p
Check "the default member reads PrinterData", v = all, True
p.PrinterClose
CheckNoError "PrinterClose"
Check "PrinterData reads empty after PrinterClose", p.PrinterData, ""

' Queue "translate": ANSI to OEM on the way, the whole text, NUL included.
Set p = NewRawlet()
p.PrinterName = "translate"
p.PrinterTranslate = True
Check "PrinterTranslate reads back", p.PrinterTranslate, True
p.PrinterData = Chr(233) & Chr(0) & Chr(233) & "A"
p.PrinterTranslate = False
p.PrinterData = Chr(233)
p.PrinterClose
CheckNoError "translated writes"

' Queue "twowrites": assignments make one document, back to back; the empty text adds nothing.
Set p = NewRawlet()
p.PrinterName = "twowrites"
p.PrinterData = "AB"
p.PrinterData = ""
CheckNoError "writing the empty text"
p.PrinterData = "CD"
p.PrinterClose
CheckNoError "two writes"

' Queue "enddoc": EndDoc ends the document with a carriage return; the next write
' starts a new one.
Set p = NewRawlet()
p.PrinterName = "enddoc"
p.PrinterData = "text"
p.EndDoc
CheckNoError "EndDoc"
Check "PrinterData reads empty after EndDoc", p.PrinterData, ""
p.PrinterData = "next"
p.PrinterClose
CheckNoError "writing after EndDoc"

' Queue "kill": killDocument puts ESC @ at the end and closes; closed, it does nothing.
Set p = NewRawlet()
p.PrinterName = "kill"
p.PrinterData = "abc"
p.killDocument
CheckNoError "killDocument while printing"
p.killDocument
CheckNoError "killDocument while closed"

' Queue "startdoc": StartDoc opens; a second StartDoc inside the document changes nothing.
Set p = NewRawlet()
p.PrinterName = "startdoc"
p.StartDoc
p.PrinterData = "a"
p.StartDoc
p.PrinterData = "b"
p.PrinterClose
CheckNoError "StartDoc"

' Queue "endpage": ending a page keeps the document going.
Set p = NewRawlet()
p.PrinterName = "endpage"
p.PrinterData = "p1"
p.EndPage
CheckNoError "EndPage while printing"
p.PrinterData = "p2"
p.PrinterClose

' Queue "rename": naming the printer again ends the job; a bad name while printing
' leaves the queue open and the name in place.
Set p = NewRawlet()
p.PrinterName = "rename"
p.PrinterData = "x"
p.PrinterName = "RENAME"
CheckNoError "the same name in other letter case"
Check "the name is stored as the system spells it", p.PrinterName, "rename"
Check "PrinterData reads empty after a change of name", p.PrinterData, ""
p.PrinterData = "y"
p.PrinterName = "no such printer"
CheckError "an unknown name while printing", 32000, "Rawleter", "The printer name is not valid"
Check "the old name stays", p.PrinterName, "rename"
p.PrinterData = "z"
Check "the queue stayed open", p.PrinterData, "z"
p.PrinterClose

' Queue "release": releasing an instance with its queue open delivers the job.
Set p = NewRawlet()
p.PrinterName = "release"
p.PrinterData = "r"
Set p = Nothing

' Queues "shared1" and "shared2": instances on one thread share the printer handle.
Set a = NewRawlet()
Set b = NewRawlet()
a.PrinterName = "shared1"
b.PrinterName = "shared2"
a.PrinterData = "1"
b.PrinterData = "2"
a.PrinterData = "3"
CheckNoError "writing on a handle another instance replaced"
b.PrinterClose
a.PrinterClose
CheckNoError "closing both"

'' Queue "jobnames": a document takes the name set when it starts.
Set p = NewRawlet()
p.PrinterName = "jobnames"
p.PrinterDocumentName = "Invoice 7"
p.PrinterData = "a"
p.PrinterDocumentName = "Later name"
p.PrinterData = "b"
p.PrinterClose
p.PrinterData = "c"
p.PrinterClose
CheckNoError "documents with names"

' Queue "docname": names and translation are only stored; nothing is printed.
Set p = NewRawlet()
p.PrinterName = "docname"
p.PrinterDocumentName = "The document name "
Check "PrinterDocumentName reads back", p.PrinterDocumentName, "The document name "
p.PrinterTranslate = True
p.PrinterTranslate = False
CheckNoError "setting the document name and translation"

Finish
