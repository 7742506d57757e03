' Reads this machine's three identifiers from nodmark.dll as any script host does:
' the object is created by its ProgID and its properties are read late bound,
' through the type library the DLL carries.
'
'   cscript //nologo vbscript_client.vbs [ProgID [application]]
'
' The ProgID defaults to "Nodmark.GerneralNodmark"; "Nodmark.GerneralNodmark.1"
' names the same class by its versioned ProgID. Given an application name (a reverse
' domain name such as "com.example.invoicing"), it also prints that application's
' three identifiers. nodmark.dll must be registered first (regsvr32 nodmark.dll).
' Prints one "<name> <value>" line per property or method and exits with 0, or prints
' what went wrong and exits with 1.
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
' and method is called as declared and once more spelt otherwise, and both must agree.
Dim declared, otherCase, names, count, application
declared = Array(nodmark.nodmark_old, nodmark.nodmark_new, nodmark.nodmark_complicate, _
                 "", "", "")
otherCase = Array(nodmark.NODMARK_OLD, nodmark.Nodmark_New, nodmark.NODMARK_Complicate, _
                  "", "", "")
names = Array("nodmark_old", "nodmark_new", "nodmark_complicate", _
              "nodmark_old_for", "nodmark_new_for", "nodmark_complicate_for")
count = 3
If WScript.Arguments.Count > 1 Then
  application = WScript.Arguments.Item(1)
  declared(3) = nodmark.nodmark_old_for(application)
  declared(4) = nodmark.nodmark_new_for(application)
  declared(5) = nodmark.nodmark_complicate_for(application)
  otherCase(3) = nodmark.NODMARK_OLD_FOR(application)
  otherCase(4) = nodmark.Nodmark_New_For(application)
  otherCase(5) = nodmark.nodmark_COMPLICATE_for(application)
  count = 6
End If
If Err.Number <> 0 Then
  WScript.Echo "cannot read the identifiers: " & Err.Description
  WScript.Quit 1
End If
On Error GoTo 0

Dim i
For i = 0 To count - 1
  If declared(i) <> otherCase(i) Then
    WScript.Echo names(i) & " differs with its name in another letter case"
    WScript.Quit 1
  End If
  WScript.Echo names(i) & " " & declared(i)
Next
WScript.Quit 0
