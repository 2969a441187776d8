' Helpers for the VBScript clients: the runner puts them in front of each client.
' A client prints one line per check ("ok ..." or "FAIL ...") and ends with Finish.

Dim failures
failures = 0

' A check counts as failed until it has passed: the clients run under On Error Resume Next,
' which would otherwise skip a check whose own code raised an error, silently.
Sub Check(label, actual, expected)
    failures = failures + 1
    If SameValue(actual, expected) Then
        failures = failures - 1
        WScript.Echo "ok   " & label
    Else
        WScript.Echo "FAIL " & label & ": got [" & Printable(actual) & "], expected [" & Printable(expected) & "]"
    End If
End Sub

' Numbers compare by value (Err.Number is a Long, a literal such as 32000 an Integer); other
' values must also be of the same type, so that "0" is not 0 and Empty is not "".
Function SameValue(actual, expected)
    If IsNumber(actual) And IsNumber(expected) Then
        SameValue = (actual = expected)
    ElseIf VarType(actual) = VarType(expected) Then
        SameValue = (actual = expected)
    Else
        SameValue = False
    End If
End Function

Function IsNumber(value)
    Select Case VarType(value)
        Case vbInteger, vbLong, vbSingle, vbDouble, vbCurrency, vbByte
            IsNumber = True
        Case Else
            IsNumber = False
    End Select
End Function

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
    Dim text, shown, i, c
    text = CStr(value)
    For i = 1 To Len(text)
        c = Asc(Mid(text, i, 1))
        If c < 32 Or c > 126 Then
            shown = shown & "\x" & Hex(c)
        Else
            shown = shown & Chr(c)
        End If
        If i > 80 Then
            Printable = shown & "... (" & Len(text) & " characters)"
            Exit Function
        End If
    Next
    Printable = shown
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
