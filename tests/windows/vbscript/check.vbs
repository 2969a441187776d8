' Helpers for the VBScript clients: the runner puts them in front of each client.
' A client prints one line per check ("ok ..." or "FAIL ...") and ends with Finish.

Dim failures
failures = 0

Sub Check(label, actual, expected)
    If VarType(actual) = VarType(expected) And actual = expected Then
        WScript.Echo "ok   " & label
    Else
        WScript.Echo "FAIL " & label & ": got [" & Printable(actual) & "], expected [" & Printable(expected) & "]"
        failures = failures + 1
    End If
End Sub

' Compares the Err object with one row of the control's error table, then clears it.
Sub CheckError(label, number, source, description)
    Check label & ": Err.Number", Err.Number, number
    Check label & ": Err.Source", Err.Source, source
    Check label & ": Err.Description", Err.Description, description
    Err.Clear
End Sub

Sub CheckNoError(label)
    Check label & ": no error", Err.Number & " " & Err.Description, "0 "
    Err.Clear
End Sub

Function Printable(value)
    Dim text, i, c
    text = CStr(value)
    For i = 1 To Len(text)
        c = AscW(Mid(text, i, 1))
        If c < 32 Or c > 126 Then Printable = Printable & "\x" & Hex(c) Else Printable = Printable & ChrW(c)
        If i > 80 Then
            Printable = Printable & "... (" & Len(text) & " characters)"
            Exit Function
        End If
    Next
End Function

Function NewRawlet()
    Set NewRawlet = CreateObject("Rawleter.Rawlet")
End Function

Sub Finish()
    If failures > 0 Then
        WScript.Echo failures & " check(s) failed"
        WScript.Quit 1
    End If
    WScript.Echo "done"
    WScript.Quit 0
End Sub
