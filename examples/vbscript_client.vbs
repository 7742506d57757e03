' Reads this machine's three identifiers from nodmark.dll as any script host does:
' the object is created by its ProgID and its properties are read late bound,
' through the type library the DLL carries.
'
'   cscript //nologo vbscript_client.vbs [ProgID]
'
' The ProgID defaults to "Nodmark.GerneralNodmark"; "Nodmark.GerneralNodmark.1"
' names the same class by its versioned ProgID. nodmark.dll must be registered
' first (regsvr32 nodmark.dll). Prints one "<property> <value>" line per property
' and exits with 0, or prints what went wrong and exits with 1.
Option Explicit

Dim progId, nodmark
progId = "Nodmark.GerneralNodmark"
If WScript.Arguments.Count > 0 Then progId = WScript.Arguments.Item(0)

On Error Resume Next
Set nodmark = CreateObject(progId)
If Err.Number <> 0 Then
  WScript.Echo "cannot create " & progId & " (is nodmark.dll registered?): " & Err.Description
  WScript.Quit 1
End If

' VBScript ignores the letter case of names, and so does the object: each property
' is read as declared and once more spelt otherwise, and both must agree.
Dim declared, otherCase
declared = Array(nodmark.nodmark_old, nodmark.nodmark_new, nodmark.nodmark_complicate)
otherCase = Array(nodmark.NODMARK_OLD, nodmark.Nodmark_New, nodmark.NODMARK_Complicate)
If Err.Number <> 0 Then
  WScript.Echo "cannot read the identifiers: " & Err.Description
  WScript.Quit 1
End If
On Error GoTo 0

Dim names, i
names = Array("nodmark_old", "nodmark_new", "nodmark_complicate")
For i = 0 To 2
  If declared(i) <> otherCase(i) Then
    WScript.Echo names(i) & " differs with its name in another letter case"
    WScript.Quit 1
  End If
  WScript.Echo names(i) & " " & declared(i)
Next
WScript.Quit 0
