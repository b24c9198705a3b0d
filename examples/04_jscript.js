// The library from JScript. JScript passes every argument by value: members that hand a result
// back through a by-reference argument (GetRegValue, GetFileVersion) cannot give it to JScript, so
// use the members that return their result. Errors arrive as exceptions.
var CSIDL_APPDATA = 26;
var fs = new ActiveXObject("kroProgramDll.FileSystemCls");
WScript.Echo("GetFileName: " + fs.GetFileName("C:\\Program Files\\kro\\readme.txt"));

var win = new ActiveXObject("kroProgramDll.WindowsCls");
WScript.Echo("Windows " + win.GetWindowsVersion());
WScript.Echo("GetCommand: " + win.GetCommand('copy "my file.txt" backup', "|"));

var folder = fs.GetPrivatePath(CSIDL_APPDATA, 0) + "\\kro_js_example\\";
fs.ManyMkDir(folder);
fs.WriteFile("one", folder + "one.txt");
fs.WriteFile("two", folder + "two.txt");

// The directory walkers add to any object with an Add method.
var list = { items: [], Add: function (item) { this.items.push(item); } };
fs.GetDirFiles(folder, list, "*.txt");
WScript.Echo("GetDirFiles: " + list.items.length + " files");

// String arrays arrive as safe arrays: VBArray turns them into JScript arrays (element 0 is empty).
var names = new VBArray(fs.GetFiles(folder + "*.txt")).toArray();
WScript.Echo("GetFiles: " + names.slice(1).join(", "));

try {
    fs.ReadFile(folder + "missing.txt");
} catch (e) {
    WScript.Echo("ReadFile of a missing file: error " + (e.number & 0xFFFF) + ", " + e.description);
}

fs.KillDirFiles(folder, "*.*");
fs.DeleteDirOnly(folder);
WScript.Echo("All done.");
