' A scripting client of vamuMapserver.clsMapServ: late-bound calls with
' script variables (passed as references to VARIANTs), before Initialize.
Option Explicit

Dim server, diagonal, zoomIn, zoomOut, zoomAll, panel, helpFile, helpTopic, shortName, captions
Set server = CreateObject("vamuMapserver.clsMapServ")

zoomAll = True
server.GetSupportedFeatures diagonal, zoomIn, zoomOut, zoomAll, panel, helpFile, helpTopic, shortName, captions
WScript.Echo "features", CStr(diagonal), CStr(zoomIn), CStr(zoomOut), CStr(zoomAll), CStr(panel), TypeName(zoomIn)
WScript.Echo "help", helpFile, helpTopic, TypeName(helpTopic), shortName
' A string array (VT_ARRAY | VT_BSTR = 8200); its elements are checked by the
' test host, as a script engine need not read arrays of strings.
WScript.Echo "captions", VarType(captions)

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
