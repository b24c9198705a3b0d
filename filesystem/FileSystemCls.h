#pragma once
// The FileSystemCls automation class: one adapter per member of _FileSystemCls.
// Where its members are:
//   browse_members.cpp: Show_Browse
//   deferred_delete_members.cpp: ElashReadyFile
//   directory_members.cpp: GetFiles, GetDirectries, GetDirectryTree, GetDirFiles, MoveDirFiles,
//       KillDirFiles, DeleteDirOnly
//   fileio_members.cpp: ReadFile, WriteFile, ReadBinaryFile, WriteBinaryFile_New, WriteBinaryFile
//   fileversion_members.cpp: GetFileVersion
//   multivolume_members.cpp: CnvMltVol, CnvSglVol, OpenMltFile
//   path_members.cpp: GetPrivatePath, ManyMkDir, FormatStringPath, GetFileName, GetFileExtension,
//       GetPath
//   shortcut_members.cpp: MkShortcut, GetShellLinkErrStr
//   split_members.cpp: SplitFile, JoinFile
//   takeout_members.cpp: TakeOutJoinFileEx
#include "frame/com_object.h"

class FileSystemCls final : public kro::ComObject<FileSystemCls, _FileSystemCls> {
public:
    HRESULT STDMETHODCALLTYPE GetShellLinkErrStr(LONG lngErrCode, VARIANT *result) override;
    HRESULT STDMETHODCALLTYPE GetPrivatePath(FolderPathContents *CSIDL_Folder, VARIANT *hWnd, VARIANT *result) override;
    HRESULT STDMETHODCALLTYPE ManyMkDir(BSTR *path, LONG *result) override;
    HRESULT STDMETHODCALLTYPE Show_Browse(BSTR *strTitle, LONG *hWnd, FolderPathContents *lngRoot, ENUM_FLAGS_FOLDER *lngFlags, BSTR *strDefault, BSTR *result) override;
    HRESULT STDMETHODCALLTYPE FormatStringPath(BSTR *path, LONG *hWnd, BSTR *result) override;
    HRESULT STDMETHODCALLTYPE GetDirectryTree(BSTR path, IDispatch **colFiles, VARIANT_BOOL *GetDir) override;
    HRESULT STDMETHODCALLTYPE DeleteDirOnly(BSTR path) override;
    HRESULT STDMETHODCALLTYPE MoveDirFiles(BSTR path, BSTR *SetupDestPath, BSTR *Extension, BSTR *Delimiter, IDispatch **col) override;
    HRESULT STDMETHODCALLTYPE KillDirFiles(BSTR path, BSTR *Extension, BSTR *Delimiter, IDispatch **col) override;
    HRESULT STDMETHODCALLTYPE GetDirFiles(BSTR path, IDispatch **col, BSTR *Extension, BSTR *Delimiter) override;
    HRESULT STDMETHODCALLTYPE GetFiles(BSTR *filespec, LONG *Attributes, SAFEARRAY **result) override;
    HRESULT STDMETHODCALLTYPE GetDirectries(BSTR *path, LONG *Attributes, VARIANT_BOOL *IncludePath, SAFEARRAY **result) override;
    HRESULT STDMETHODCALLTYPE GetFileVersion(BSTR *FileName, BSTR *FileVersion, BSTR *ProductVersion, VARIANT *result) override;
    HRESULT STDMETHODCALLTYPE GetFileName(BSTR *path, VARIANT *result) override;
    HRESULT STDMETHODCALLTYPE ReadFile(BSTR *FileName, VARIANT_BOOL *ErrorView, BSTR *result) override;
    HRESULT STDMETHODCALLTYPE WriteFile(BSTR *Text, BSTR *FileName, VARIANT_BOOL *AppendMode, VARIANT_BOOL *ErrorView) override;
    HRESULT STDMETHODCALLTYPE ReadBinaryFile(BSTR *FileName, SAFEARRAY **result) override;
    HRESULT STDMETHODCALLTYPE WriteBinaryFile_New(SAFEARRAY **Text, BSTR *FileName, LONG *Position) override;
    HRESULT STDMETHODCALLTYPE WriteBinaryFile(SAFEARRAY **Text, BSTR *FileName, LONG *Position, VARIANT_BOOL *AppendMode) override;
    HRESULT STDMETHODCALLTYPE GetFileExtension(BSTR *FileName, VARIANT *result) override;
    HRESULT STDMETHODCALLTYPE SplitFile(BSTR *Source, BSTR *Destination, LONG *SplitSize, VARIANT_BOOL *result) override;
    HRESULT STDMETHODCALLTYPE JoinFile(BSTR *Source, BSTR *Destination, VARIANT_BOOL *result) override;
    HRESULT STDMETHODCALLTYPE ElashReadyFile(BSTR path, LONG *result) override;
    HRESULT STDMETHODCALLTYPE MkShortcut(BSTR *TargetFile, BSTR *ShortcutFileSavePath, BSTR *CommandLine, BSTR *ShortcutIconFile, BSTR *ShortcutIconIndex, BSTR *WorkingDirectory, BSTR *Description, BSTR *HotKey, short *ShowCmd) override;
    HRESULT STDMETHODCALLTYPE GetPath(BSTR *path, BSTR *result) override;
    HRESULT STDMETHODCALLTYPE TakeOutJoinFileEx(BSTR *TargetExeFile, BSTR *TakeOutFile) override;
    HRESULT STDMETHODCALLTYPE CnvMltVol(BSTR *infnm, BSTR *outfnm, LONG *outsize, short *result) override;
    HRESULT STDMETHODCALLTYPE CnvSglVol(BSTR *infnm, BSTR *outfnm, VARIANT_BOOL *result) override;
    HRESULT STDMETHODCALLTYPE OpenMltFile(BSTR *outfnm, LONG *no, VARIANT_BOOL *chk, LONG *result) override;
};
