' A scripting client of vamuMapserver.clsMapServ: late-bound calls with
' script variables (passed as references to VARIANTs), before Initialize.
Option Explicit

Dim server, diagonal, zoomIn, zoomOut, zoomAll, panel, helpFile, helpTopic, shortName, captions
Set server = CreateObject("vamuMapserver.clsMapServ")

zoomAll = True
server.GetSupportedFeatures diagonal, zoomIn, zoomOut, zoomAll, panel, helpFile, helpTopic, shortName, captions
WScript.Echo "features", CStr(diagonal), CStr(zoomIn), CStr(zoomOut), CStr(zoomAll), CStr(panel), TypeName(zoomIn)
WScript.Echo "help", helpFile, helpTopic, TypeName(helpTopic), shortName
' An array of Variants (VT_ARRAY | VT_VARIANT = 8204) that a script can index.
WScript.Echo "captions", VarType(captions), LBound(captions), UBound(captions), TypeName(captions(1))
' (Only the ASCII parts are printed: the console's code page may lack the rest.)
WScript.Echo Right(captions(0), 4), Len(captions(0))
WScript.Echo Left(captions(1), 7), Len(captions(1))

zoomAll = False
server.GetSupportedFeatures diagonal, zoomIn, zoomOut, zoomAll, panel, helpFile, helpTopic, shortName, captions
WScript.Echo "zoom all kept", CStr(zoomAll)

server.strServerName = "scripted"
WScript.Echo "property", server.strServerName, CStr(server.strMapName = "")

Dim result
On Error Resume Next
server.SafeCall
WScript.Echo "SafeCall", Hex(Err.Number), Err.Source, Err.Description
Err.Clear

result = Empty
result = server.ZoomIn(Nothing)
WScript.Echo "ZoomIn", Hex(Err.Number), TypeName(result)
Err.Clear

result = Empty
result = server.ZoomOut(server)
WScript.Echo "ZoomOut", Hex(Err.Number), TypeName(result)
Err.Clear

Dim pan
pan = 2
result = Empty
result = server.ZoomPan(Nothing, pan)
WScript.Echo "ZoomPan", Hex(Err.Number), TypeName(result), pan
Err.Clear

result = server.ZoomPan(Nothing, "north")
WScript.Echo "ZoomPan text", Hex(Err.Number)
Err.Clear
