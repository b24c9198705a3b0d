#pragma once
// Reads a shortcut file back for tests: the properties through the shell's link object, the
// show command straight from the file header (offset 0x3C), which not every shell restores on
// Load.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <string>

#include "tests/support/test_files.h"

namespace kro::test {

struct StoredShortcut {
    std::wstring target, arguments, folder, description, iconFile;
    int iconIndex = -1;
    WORD hotKey = 0xFFFF;
    int showCmd = -1;
};

inline StoredShortcut readShortcut(const std::wstring& path) {
    StoredShortcut s;
    IShellLinkW* link = nullptr;
    EXPECT_HRESULT_SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                                reinterpret_cast<void**>(&link)));
    if (!link) return s;
    IPersistFile* persist = nullptr;
    link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist));
    EXPECT_HRESULT_SUCCEEDED(persist->Load(path.c_str(), STGM_READ));
    wchar_t buf[1024] = {};
    link->GetPath(buf, 1024, nullptr, SLGP_RAWPATH);
    s.target = buf;
    buf[0] = 0;
    link->GetArguments(buf, 1024);
    s.arguments = buf;
    buf[0] = 0;
    link->GetWorkingDirectory(buf, 1024);
    s.folder = buf;
    buf[0] = 0;
    link->GetDescription(buf, 1024);
    s.description = buf;
    buf[0] = 0;
    link->GetIconLocation(buf, 1024, &s.iconIndex);
    s.iconFile = buf;
    link->GetHotkey(&s.hotKey);
    persist->Release();
    link->Release();
    auto bytes = readBytes(path);
    if (bytes.size() >= 0x40) s.showCmd = bytes[0x3C] | (bytes[0x3D] << 8) | (bytes[0x3E] << 16) | (bytes[0x3F] << 24);
    return s;
}

}  // namespace kro::test
