// Reads this machine's three identifiers from nodmark.dll as any script host does:
// the object is created by its ProgID and its properties are read late bound,
// through the type library the DLL carries.
//
//   cscript //nologo jscript_client.js [ProgID [application]]
//
// The ProgID defaults to "Nodmark.GerneralNodmark"; "Nodmark.GerneralNodmark.1"
// names the same class by its versioned ProgID. Given an application name (a reverse
// domain name such as "com.example.invoicing"), it also prints that application's
// three identifiers. nodmark.dll must be registered first (regsvr32 nodmark.dll).
// Prints one "<name> <value>" line per property or method and exits with 0, or prints
// what went wrong and exits with 1.

var defaultProgId = "Nodmark.GerneralNodmark";
var progId = WScript.Arguments.length > 0 ? WScript.Arguments.Item(0) : defaultProgId;

var nodmark;
try {
  nodmark = new ActiveXObject(progId);
} catch (e) {
  WScript.Echo("cannot create " + progId + " (is nodmark.dll registered?): " + e.message);
  WScript.Quit(1);
}

try {
  WScript.Echo("nodmark_old " + nodmark.nodmark_old);
  WScript.Echo("nodmark_new " + nodmark.nodmark_new);
  WScript.Echo("nodmark_complicate " + nodmark.nodmark_complicate);
  if (WScript.Arguments.length > 1) {
    var application = WScript.Arguments.Item(1);
    WScript.Echo("nodmark_old_for " + nodmark.nodmark_old_for(application));
    WScript.Echo("nodmark_new_for " + nodmark.nodmark_new_for(application));
    WScript.Echo("nodmark_complicate_for " + nodmark.nodmark_complicate_for(application));
  }
} catch (e) {
  WScript.Echo("cannot read the identifiers: " + e.message);
  WScript.Quit(1);
}
WScript.Quit(0);
