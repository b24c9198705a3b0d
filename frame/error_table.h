#pragma once
// Every runtime error number the library raises, in one place: its name in code (err::Name), its
// number (Err.Number), the runtime's own wording (the description when a member adds none) and,
// for the error reference the build writes (docs/errors.md, tools/error_doc.py), when it is
// raised. errors.h and errors.cpp expand this table. One row a line.
//
// X(name, number, description, when it is raised)
#define KRO_ERROR_TABLE(X) \
X(InvalidCall, 5, L"Invalid procedure call or argument", "A by-reference argument that the member reads or writes is a null pointer (early-bound C and C++ callers); `SplitFile` with a piece size below 1; a pattern of the directory walkers that holds `\\`, `/` or `:`; a resource name holding a NUL (`LoadingRes`); an argument the variant arithmetic rejects (`division`, `math_*`).") \
X(Overflow, 6, L"Overflow", "A number does not fit its type: an argument outside the declared type (a font size outside Integer, NaN or infinity where an integer is needed), a result (`division`, `math_*`, `GetPassCode`'s running sum), a count in a file set's list; a text too long for its format: `StringToCode` above 32,767 bytes, `TrimEx`/`RTrimEx`/`LTrimEx` above 32,767 characters, `ReturnText` with 32,767 or more repetitions, `GetCommand` beyond the 32,767th piece; `DirectSoundCls` numbers at the Long maximum.") \
X(OutOfMemory, 7, L"Out of memory", "A result could not be held: a file of 2 GiB or more for the members that return a file's bytes or text (`ReadBinaryFile`, `ReadFile`, `CodeFileToFile`), a `ReturnText` result over 1 GiB, a list editor with more columns than it can make.") \
X(SubscriptOutOfRange, 9, L"Subscript out of range", "An array argument is missing or has no element 0 (`WriteBinaryFile`, `SetRegBinary`, `ByteToCode`, the INI array members); a key code outside 0 to 256 (`key_Down`); a sound number outside what `Setting` made room for; a file set's list with fewer than two lines (`JoinFile`, `CnvSglVol`, `OpenMltFile`).") \
X(ArrayFixedOrLocked, 10, L"This array is fixed or temporarily locked", "The array variable that `GetRegBinary` replaces with what it read (`strValue`) is a fixed-size array or is locked by the caller.") \
X(DivisionByZero, 11, L"Division by zero", "`division` or a `math_*` member divides by zero (two points with the same x, parallel lines).") \
X(TypeMismatch, 13, L"Type mismatch", "An argument cannot be converted to the parameter's type (text that is not a number, an array where a value is expected); an INI array argument that is not one-dimensional; a line of a file set's list that is not a number; a picture that is not a picture object; an owner window that is not empty, a window handle number or an object whose `hWnd` names a window.") \
X(InternalError, 51, L"Internal error", "A fault inside the library that a caller cannot cause; please report it.") \
X(BadFileNameOrNumber, 52, L"Bad file name or number", "A path is empty, holds a NUL character, is longer than Windows accepts or is not a valid name (file, INI, sound and animation members); `ElashFileEx`/`ElashReadyFile` given a name it may not set aside (a drive root, a relative name).") \
X(FileNotFound, 53, L"File not found", "A file to be read does not exist: `ReadFile`, `ReadBinaryFile`, the coders' input files, `LoadingFile`, the module of `LoadingRes`, a file set's list or a volume of it (`JoinFile`, `CnvSglVol`, `OpenMltFile`).") \
X(DeviceIoError, 57, L"Device I/O error", "The disk or network reported a read or write fault during a file member.") \
X(FileAlreadyExists, 58, L"File already exists", "Windows reports that a file or folder to be made exists already.") \
X(DiskFull, 61, L"Disk full", "The disk filled during a write: `WriteFile`, `WriteBinaryFile_New`, `WriteBinaryFile`, `SplitFile`, `JoinFile`, the coders' output files.") \
X(InputPastEnd, 62, L"Input past end of file", "A file became shorter while the member read it.") \
X(BadRecordNumber, 63, L"Bad record number", "`WriteBinaryFile` with a position that comes before the first byte (below 1).") \
X(TooManyFiles, 67, L"Too many files", "Windows has too many files open, or `ElashFileEx`/`ElashReadyFile` finds no free name to set the file aside under.") \
X(DeviceUnavailable, 68, L"Device unavailable", "A path names a drive or device that does not exist.") \
X(PermissionDenied, 70, L"Permission denied", "Windows denied access: a read-only file, a file open in another program, a folder the user may not write (Program Files or the Windows folder without administrator rights).") \
X(DiskNotReady, 71, L"Disk not ready", "A removable drive holds no medium.") \
X(PathFileAccessError, 75, L"Path/File access error", "A path names a folder where a file is needed; an output would overwrite its own input (`TakeOutJoinFileEx`); a folder to remove is not empty; an animation clip that is a folder; any Windows file error without a closer number.") \
X(PathNotFound, 76, L"Path not found", "A folder on the path does not exist: the file members, the directory walkers (`GetDirectryTree`, `GetDirFiles`, `MoveDirFiles`, `KillDirFiles`), a file set's folder.") \
X(ObjectNotSet, 91, L"Object variable or With block variable not set", "The collection of a directory walker is Nothing; `DirectSoundCls` is used before `Setting`, or with a number under which no sound is loaded.") \
X(InvalidFileFormat, 321, L"Invalid file format", "A sound that is not a PCM WAVE file (`LoadingFile`, `LoadingRes`); a `LoadingRes` module that is not a Windows module; an animation clip that is not an uncompressed AVI file.") \
X(ResourceNotFound, 326, L"Resource with this identifier not found", "`LoadingRes` names a resource the module does not hold.") \
X(ControlElementMissing, 340, L"Control array element doesn't exist", "A window is asked for a control it does not have: a fault inside the library; please report it.") \
X(InvalidPropertyValue, 380, L"Invalid property value", "A window member is given a value it cannot show: `Copy_SetValue` outside 0 to the maximum, a picture that is neither an icon nor a bitmap.") \
X(InvalidPropertyArrayIndex, 381, L"Invalid property array index", "`List_List`, `List_ListIndex` or `List_RemoveItem` with an index outside the list.") \
X(ObjectDoesNotSupport, 438, L"Object doesn't support this property or method", "An object argument lacks the member the library calls on it: a collection without `Add`; a window member used on the wrong kind of control (a library fault).")
